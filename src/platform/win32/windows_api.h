// windows.h for the Win32 back-end, made to live beside the shared platform
// headers. Those define the message, key, box and pixel-format values as
// typed constants with the Windows names and values; windows.h defines the
// same names as macros, which would rewrite those definitions. So this header
// includes windows.h and then drops exactly those macros: include it first,
// then the shared headers. The values do not change (they are the Windows
// ones), only their spelling as constants instead of macros.
//
// The demo's own code is built with WINGDIAPI, APIENTRY and CALLBACK predefined, so
// that <GL/gl.h> does not pull windows.h into it; windows.h defines them in
// its own words.
#pragma once

#undef WINGDIAPI
#undef APIENTRY
#undef CALLBACK
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// Windows' values of those names, kept so that shared_values_check.cpp can
// hold the shared constants to them.
namespace windows_value {
constexpr auto of_MB_OK = MB_OK;
constexpr auto of_MB_YESNO = MB_YESNO;
constexpr auto of_MB_ICONSTOP = MB_ICONSTOP;
constexpr auto of_MB_ICONERROR = MB_ICONERROR;
constexpr auto of_MB_ICONEXCLAMATION = MB_ICONEXCLAMATION;
constexpr auto of_MB_ICONINFORMATION = MB_ICONINFORMATION;
constexpr auto of_IDOK = IDOK;
constexpr auto of_IDYES = IDYES;
constexpr auto of_IDNO = IDNO;
constexpr auto of_WM_ACTIVATE = WM_ACTIVATE;
constexpr auto of_WM_SIZE = WM_SIZE;
constexpr auto of_WM_CLOSE = WM_CLOSE;
constexpr auto of_WM_QUIT = WM_QUIT;
constexpr auto of_WM_KEYDOWN = WM_KEYDOWN;
constexpr auto of_WM_KEYUP = WM_KEYUP;
constexpr auto of_WM_SYSKEYDOWN = WM_SYSKEYDOWN;
constexpr auto of_WM_SYSKEYUP = WM_SYSKEYUP;
constexpr auto of_WM_SYSCOMMAND = WM_SYSCOMMAND;
constexpr auto of_SC_MINIMIZE = SC_MINIMIZE;
constexpr auto of_SC_CLOSE = SC_CLOSE;
constexpr auto of_SC_SCREENSAVE = SC_SCREENSAVE;
constexpr auto of_SC_MONITORPOWER = SC_MONITORPOWER;
constexpr auto of_VK_BACK = VK_BACK;
constexpr auto of_VK_TAB = VK_TAB;
constexpr auto of_VK_RETURN = VK_RETURN;
constexpr auto of_VK_SHIFT = VK_SHIFT;
constexpr auto of_VK_CONTROL = VK_CONTROL;
constexpr auto of_VK_MENU = VK_MENU;
constexpr auto of_VK_PAUSE = VK_PAUSE;
constexpr auto of_VK_CAPITAL = VK_CAPITAL;
constexpr auto of_VK_ESCAPE = VK_ESCAPE;
constexpr auto of_VK_SPACE = VK_SPACE;
constexpr auto of_VK_PRIOR = VK_PRIOR;
constexpr auto of_VK_NEXT = VK_NEXT;
constexpr auto of_VK_END = VK_END;
constexpr auto of_VK_HOME = VK_HOME;
constexpr auto of_VK_LEFT = VK_LEFT;
constexpr auto of_VK_UP = VK_UP;
constexpr auto of_VK_RIGHT = VK_RIGHT;
constexpr auto of_VK_DOWN = VK_DOWN;
constexpr auto of_VK_INSERT = VK_INSERT;
constexpr auto of_VK_DELETE = VK_DELETE;
constexpr auto of_VK_F1 = VK_F1;
constexpr auto of_VK_F10 = VK_F10;
constexpr auto of_VK_F12 = VK_F12;
constexpr auto of_PFD_DOUBLEBUFFER = PFD_DOUBLEBUFFER;
constexpr auto of_PFD_DRAW_TO_WINDOW = PFD_DRAW_TO_WINDOW;
constexpr auto of_PFD_SUPPORT_OPENGL = PFD_SUPPORT_OPENGL;
constexpr auto of_PFD_TYPE_RGBA = PFD_TYPE_RGBA;
constexpr auto of_PFD_MAIN_PLANE = PFD_MAIN_PLANE;
}  // namespace windows_value

// message_box.h
#undef MB_OK
#undef MB_YESNO
#undef MB_ICONSTOP
#undef MB_ICONERROR
#undef MB_ICONEXCLAMATION
#undef MB_ICONINFORMATION
#undef IDOK
#undef IDYES
#undef IDNO
// window_messages.h
#undef WM_ACTIVATE
#undef WM_SIZE
#undef WM_CLOSE
#undef WM_QUIT
#undef WM_KEYDOWN
#undef WM_KEYUP
#undef WM_SYSKEYDOWN
#undef WM_SYSKEYUP
#undef WM_SYSCOMMAND
#undef SC_MINIMIZE
#undef SC_CLOSE
#undef SC_SCREENSAVE
#undef SC_MONITORPOWER
#undef VK_BACK
#undef VK_TAB
#undef VK_RETURN
#undef VK_SHIFT
#undef VK_CONTROL
#undef VK_MENU
#undef VK_PAUSE
#undef VK_CAPITAL
#undef VK_ESCAPE
#undef VK_SPACE
#undef VK_PRIOR
#undef VK_NEXT
#undef VK_END
#undef VK_HOME
#undef VK_LEFT
#undef VK_UP
#undef VK_RIGHT
#undef VK_DOWN
#undef VK_INSERT
#undef VK_DELETE
#undef VK_F1
#undef VK_F10
#undef VK_F12
// window_system.h
#undef PFD_DOUBLEBUFFER
#undef PFD_DRAW_TO_WINDOW
#undef PFD_SUPPORT_OPENGL
#undef PFD_TYPE_RGBA
#undef PFD_MAIN_PLANE
#undef DefWindowProc

// The shared header declares a PostQuitMessage of the same signature as
// Windows' own, which would clash with it. After this header, Windows' own
// is WindowsPostQuitMessage, and the shared declaration is set aside under
// another name; post_quit_message.cpp, which does not include windows.h,
// defines the demo's.
inline void WindowsPostQuitMessage(int exitCode) { PostQuitMessage(exitCode); }
#define PostQuitMessage PostQuitMessageOfTheDemo
