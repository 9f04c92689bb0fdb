// The shared platform headers spell the Windows message, key, box and
// pixel-format values as constants of their own; on Windows they must be
// Windows' values, or the demo would misread every message.
#include "platform/win32/windows_api.h"

#include "platform/message_box.h"
#include "platform/window_messages.h"
#include "platform/window_system.h"

static_assert(MB_OK == windows_value::of_MB_OK);
static_assert(MB_YESNO == windows_value::of_MB_YESNO);
static_assert(MB_ICONSTOP == windows_value::of_MB_ICONSTOP);
static_assert(MB_ICONERROR == windows_value::of_MB_ICONERROR);
static_assert(MB_ICONEXCLAMATION == windows_value::of_MB_ICONEXCLAMATION);
static_assert(MB_ICONINFORMATION == windows_value::of_MB_ICONINFORMATION);
static_assert(IDOK == windows_value::of_IDOK);
static_assert(IDYES == windows_value::of_IDYES);
static_assert(IDNO == windows_value::of_IDNO);
static_assert(WM_ACTIVATE == windows_value::of_WM_ACTIVATE);
static_assert(WM_SIZE == windows_value::of_WM_SIZE);
static_assert(WM_CLOSE == windows_value::of_WM_CLOSE);
static_assert(WM_QUIT == windows_value::of_WM_QUIT);
static_assert(WM_KEYDOWN == windows_value::of_WM_KEYDOWN);
static_assert(WM_KEYUP == windows_value::of_WM_KEYUP);
static_assert(WM_SYSKEYDOWN == windows_value::of_WM_SYSKEYDOWN);
static_assert(WM_SYSKEYUP == windows_value::of_WM_SYSKEYUP);
static_assert(WM_SYSCOMMAND == windows_value::of_WM_SYSCOMMAND);
static_assert(SC_MINIMIZE == windows_value::of_SC_MINIMIZE);
static_assert(SC_CLOSE == windows_value::of_SC_CLOSE);
static_assert(SC_SCREENSAVE == windows_value::of_SC_SCREENSAVE);
static_assert(SC_MONITORPOWER == windows_value::of_SC_MONITORPOWER);
static_assert(VK_BACK == windows_value::of_VK_BACK);
static_assert(VK_TAB == windows_value::of_VK_TAB);
static_assert(VK_RETURN == windows_value::of_VK_RETURN);
static_assert(VK_SHIFT == windows_value::of_VK_SHIFT);
static_assert(VK_CONTROL == windows_value::of_VK_CONTROL);
static_assert(VK_MENU == windows_value::of_VK_MENU);
static_assert(VK_PAUSE == windows_value::of_VK_PAUSE);
static_assert(VK_CAPITAL == windows_value::of_VK_CAPITAL);
static_assert(VK_ESCAPE == windows_value::of_VK_ESCAPE);
static_assert(VK_SPACE == windows_value::of_VK_SPACE);
static_assert(VK_PRIOR == windows_value::of_VK_PRIOR);
static_assert(VK_NEXT == windows_value::of_VK_NEXT);
static_assert(VK_END == windows_value::of_VK_END);
static_assert(VK_HOME == windows_value::of_VK_HOME);
static_assert(VK_LEFT == windows_value::of_VK_LEFT);
static_assert(VK_UP == windows_value::of_VK_UP);
static_assert(VK_RIGHT == windows_value::of_VK_RIGHT);
static_assert(VK_DOWN == windows_value::of_VK_DOWN);
static_assert(VK_INSERT == windows_value::of_VK_INSERT);
static_assert(VK_DELETE == windows_value::of_VK_DELETE);
static_assert(VK_F1 == windows_value::of_VK_F1);
static_assert(VK_F10 == windows_value::of_VK_F10);
static_assert(VK_F12 == windows_value::of_VK_F12);
static_assert(PFD_DOUBLEBUFFER == windows_value::of_PFD_DOUBLEBUFFER);
static_assert(PFD_DRAW_TO_WINDOW == windows_value::of_PFD_DRAW_TO_WINDOW);
static_assert(PFD_SUPPORT_OPENGL == windows_value::of_PFD_SUPPORT_OPENGL);
static_assert(PFD_TYPE_RGBA == windows_value::of_PFD_TYPE_RGBA);
static_assert(PFD_MAIN_PLANE == windows_value::of_PFD_MAIN_PLANE);
