// The demo's one window and its OpenGL context: opening (with the full-screen
// fallback question), closing in reverse order, the window procedure that
// keeps the key table and the active flag, and the viewport.
#pragma once

#include <cstdint>

#include "platform/window_system.h"

extern WindowHandle hWnd;
extern DeviceContext hDC;
extern GlContext hRC;
extern uint8_t fullscreen;  // mode of the current or next window; starts set
extern uint8_t active;      // clear while the window is minimised

// One flag per virtual-key code, 1 while that key is down.
using KeyTable = uint8_t[256];
extern KeyTable keyTable;

// 1 when the window, its current GL context and the scene are ready; 0 after
// a failure that has been reported and cleaned up.
int OpenDemoWindow(const char* title, int width, int height, int bits, bool fullscreenFlag);
// Releases whatever is held, reporting each step that fails.
void CloseDemoWindow();
intptr_t DemoWindowProc(WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam);
void ResizeViewport(int width, int height);
