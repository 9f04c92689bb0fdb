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
