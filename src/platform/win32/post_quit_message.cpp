// The demo's PostQuitMessage. Windows declares a function of the same name
// and signature with C linkage, so this definition lives in a file that does
// not include windows.h, and forwards to Windows' own.
#include "platform/win32/window_system_win32.h"
#include "platform/window_system.h"

void PostQuitMessage(int exitCode) { PostWindowsQuitMessage(exitCode); }
