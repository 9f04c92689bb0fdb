// The windowing services the demo shell needs: a window with an OpenGL
// context, a full-screen display mode, and a message queue that feeds a
// window procedure. Each function stands for one step of the shell's
// open/close sequence, so every step can fail (and be reported) on its own.
//
// Each system's back-end implements it (linux/ on SDL2, win32/, web/); tests
// link a scripted stand-in instead. Only the main thread calls these.
#pragma once

#include <cstdint>

#include "platform/window_messages.h"

struct PlatformWindow;
struct PlatformGlContext;
using WindowHandle = PlatformWindow*;
using DeviceContext = PlatformWindow*;  // the window's drawable: one per window
using GlContext = PlatformGlContext*;

using WindowProcedure = intptr_t (*)(WindowHandle hWnd, unsigned message, uintptr_t wParam, intptr_t lParam);

// What the shell asks of a pixel format. Same fields as the Windows
// descriptor; only those the shell sets are listed.
constexpr uint32_t PFD_DOUBLEBUFFER = 0x01;
constexpr uint32_t PFD_DRAW_TO_WINDOW = 0x04;
constexpr uint32_t PFD_SUPPORT_OPENGL = 0x20;
constexpr uint8_t PFD_TYPE_RGBA = 0;
constexpr uint8_t PFD_MAIN_PLANE = 0;

struct PixelFormatDescriptor {
  uint16_t nSize = 40;
  uint16_t nVersion = 1;
  uint32_t dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  uint8_t iPixelType = PFD_TYPE_RGBA;
  uint8_t cColorBits = 0;
  uint8_t cRedBits = 0, cRedShift = 0, cGreenBits = 0, cGreenShift = 0, cBlueBits = 0, cBlueShift = 0;
  uint8_t cAlphaBits = 0, cAlphaShift = 0;
  uint8_t cAccumBits = 0, cAccumRedBits = 0, cAccumGreenBits = 0, cAccumBlueBits = 0, cAccumAlphaBits = 0;
  uint8_t cDepthBits = 0;
  uint8_t cStencilBits = 0;
  uint8_t cAuxBuffers = 0;
  uint8_t iLayerType = PFD_MAIN_PLANE;
  uint8_t bReserved = 0;
  uint32_t dwLayerMask = 0, dwVisibleMask = 0, dwDamageMask = 0;
};

// Makes the window system usable and remembers the window procedure that
// receives every window's messages. False when there is no display.
bool RegisterWindowClass(const char* className, WindowProcedure procedure);
bool UnregisterWindowClass(const char* className);

// Full screen: true when the display offers width x height, which the next
// full-screen window then switches to. Displays today have no 16-bit modes,
// so a mode of that size at the display's own depth is granted.
bool ChangeDisplayMode(int width, int height, int bits);
// Back to the desktop's mode (leaves full screen on the current window).
void RestoreDisplayMode();
void ShowMouseCursor(bool show);

// A hidden window with the given client size at the screen's top-left
// corner: full screen in the mode granted above, or a normal resizable one.
WindowHandle CreateDemoWindow(const char* className, const char* title, int clientWidth, int clientHeight,
                              bool fullscreen);
bool DestroyDemoWindow(WindowHandle hWnd);
DeviceContext GetDeviceContext(WindowHandle hWnd);
bool ReleaseDeviceContext(WindowHandle hWnd, DeviceContext hDC);
// 0 when nothing fits the descriptor, else a format number for SetPixelFormat.
int ChoosePixelFormat(DeviceContext hDC, const PixelFormatDescriptor& descriptor);
bool SetPixelFormat(DeviceContext hDC, int format, const PixelFormatDescriptor& descriptor);
GlContext CreateGlContext(DeviceContext hDC);
// With (nullptr, nullptr) no context is current afterwards. Making a context
// current also asks for presentation synchronised to the display.
bool MakeGlContextCurrent(DeviceContext hDC, GlContext hRC);
bool DeleteGlContext(GlContext hRC);
// Shows the window, brings it to the front and gives it the keyboard focus.
void ShowDemoWindow(WindowHandle hWnd);
// The window that has the keyboard focus, or null (owner of message boxes).
WindowHandle GetFocusWindow();
void SwapDemoBuffers(DeviceContext hDC);

// Messages. PeekDemoMessage handles what is waiting: messages that the
// window system sends (activation, size, close, system commands) go straight
// to the window procedure; the first posted message (key down or up, quit)
// is removed and returned in *message. False when nothing was posted; the
// record is then left as it was.
bool PeekDemoMessage(DemoMessage* message);
// Hands a posted message to the window procedure.
intptr_t DispatchDemoMessage(const DemoMessage& message);
// Queues WM_QUIT with exitCode as wParam, retrieved once the queue is empty.
void PostQuitMessage(int exitCode);
// What the window system does with a message the procedure does not handle.
intptr_t DefWindowProc(WindowHandle hWnd, unsigned message, uintptr_t wParam, intptr_t lParam);
