// The window system on Win32 itself: a registered window class whose window
// procedure hands every message to the demo's, the display mode changed with
// ChangeDisplaySettingsA, a WGL context on the window's own device context,
// and the thread's message queue read with PeekMessageA. Handles are the
// Windows ones, passed through the shared header's opaque pointer types.
//
// What it does not do: more than one window class or window procedure at a
// time, or any message beyond what the demo's procedure and DefWindowProcA
// make of them.
#include "platform/win32/windows_api.h"

#include "platform/process_exit.h"
#include "platform/window_system.h"

#include "platform/win32/window_system_win32.h"

static_assert(sizeof(PixelFormatDescriptor) == sizeof(PIXELFORMATDESCRIPTOR),
              "the shared descriptor has the layout of the Windows one");

namespace {

WindowProcedure demoProcedure = nullptr;
MSG lastPosted{};  // the posted message PeekDemoMessage handed out last

HWND AsHwnd(WindowHandle hWnd) { return reinterpret_cast<HWND>(hWnd); }
WindowHandle AsHandle(HWND hwnd) { return reinterpret_cast<WindowHandle>(hwnd); }
HDC AsHdc(DeviceContext hDC) { return reinterpret_cast<HDC>(hDC); }
HGLRC AsHglrc(GlContext hRC) { return reinterpret_cast<HGLRC>(hRC); }

LRESULT CALLBACK ForwardToDemo(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!demoProcedure) return DefWindowProcA(hwnd, message, wParam, lParam);
  return demoProcedure(AsHandle(hwnd), message, wParam, lParam);
}

PIXELFORMATDESCRIPTOR AsWindowsDescriptor(const PixelFormatDescriptor& descriptor) {
  PIXELFORMATDESCRIPTOR windows{};
  windows.nSize = sizeof windows;
  windows.nVersion = descriptor.nVersion;
  windows.dwFlags = descriptor.dwFlags;
  windows.iPixelType = descriptor.iPixelType;
  windows.cColorBits = descriptor.cColorBits;
  windows.cAlphaBits = descriptor.cAlphaBits;
  windows.cAccumBits = descriptor.cAccumBits;
  windows.cDepthBits = descriptor.cDepthBits;
  windows.cStencilBits = descriptor.cStencilBits;
  windows.cAuxBuffers = descriptor.cAuxBuffers;
  windows.iLayerType = descriptor.iLayerType;
  return windows;
}

// The four key messages; the character messages that TranslateMessage
// makes of them go to the window procedure like any other.
bool IsKeyMessage(UINT message) {
  return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
}

// The display's own depth stands in when it has no mode of the asked depth
// (displays today have no 16-bit modes), as on every platform of the demo.
LONG ChangeTo(int width, int height, int bits) {
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  mode.dmPelsWidth = DWORD(width);
  mode.dmPelsHeight = DWORD(height);
  mode.dmBitsPerPel = DWORD(bits);
  mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
  LONG result = ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN);
  if (result == DISP_CHANGE_SUCCESSFUL) return result;
  mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
  return ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN);
}

}  // namespace

void PostWindowsQuitMessage(int exitCode) { WindowsPostQuitMessage(exitCode); }

bool RegisterWindowClass(const char* className, WindowProcedure procedure) {
  WNDCLASSA windowClass{};
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
  windowClass.lpfnWndProc = ForwardToDemo;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hIcon = LoadIconA(nullptr, IDI_WINLOGO);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = className;
  demoProcedure = procedure;
  return RegisterClassA(&windowClass) != 0;
}

bool UnregisterWindowClass(const char* className) {
  return UnregisterClassA(className, GetModuleHandleA(nullptr)) != 0;
}

bool ChangeDisplayMode(int width, int height, int bits) {
  return ChangeTo(width, height, bits) == DISP_CHANGE_SUCCESSFUL;
}

void RestoreDisplayMode() { ChangeDisplaySettingsA(nullptr, 0); }

void ShowMouseCursor(bool show) { ShowCursor(show ? TRUE : FALSE); }

WindowHandle CreateDemoWindow(const char* className, const char* title, int clientWidth, int clientHeight,
                              bool fullscreen) {
  const DWORD exStyle = fullscreen ? WS_EX_APPWINDOW : WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
  const DWORD style = fullscreen ? WS_POPUP : WS_OVERLAPPEDWINDOW;
  RECT outer{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&outer, style, FALSE, exStyle);
  HWND hwnd = CreateWindowExA(exStyle, className, title, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                              outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  return AsHandle(hwnd);
}

bool DestroyDemoWindow(WindowHandle hWnd) { return DestroyWindow(AsHwnd(hWnd)) != 0; }

DeviceContext GetDeviceContext(WindowHandle hWnd) { return reinterpret_cast<DeviceContext>(GetDC(AsHwnd(hWnd))); }

bool ReleaseDeviceContext(WindowHandle hWnd, DeviceContext hDC) { return ReleaseDC(AsHwnd(hWnd), AsHdc(hDC)) != 0; }

int ChoosePixelFormat(DeviceContext hDC, const PixelFormatDescriptor& descriptor) {
  const PIXELFORMATDESCRIPTOR windows = AsWindowsDescriptor(descriptor);
  return ::ChoosePixelFormat(AsHdc(hDC), &windows);
}

bool SetPixelFormat(DeviceContext hDC, int format, const PixelFormatDescriptor& descriptor) {
  const PIXELFORMATDESCRIPTOR windows = AsWindowsDescriptor(descriptor);
  return ::SetPixelFormat(AsHdc(hDC), format, &windows) != 0;
}

GlContext CreateGlContext(DeviceContext hDC) { return reinterpret_cast<GlContext>(wglCreateContext(AsHdc(hDC))); }

bool MakeGlContextCurrent(DeviceContext hDC, GlContext hRC) {
  if (!wglMakeCurrent(AsHdc(hDC), AsHglrc(hRC))) return false;
  // The demo's clock counts frames, so presentation in step with the display
  // is what paces it. Drivers without the extension run unsynchronised.
  using SwapInterval = BOOL(WINAPI*)(int);
  if (hRC) {
    void* entry = reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT"));
    if (auto setInterval = reinterpret_cast<SwapInterval>(entry)) setInterval(1);
  }
  return true;
}

bool DeleteGlContext(GlContext hRC) { return wglDeleteContext(AsHglrc(hRC)) != 0; }

void ShowDemoWindow(WindowHandle hWnd) {
  ShowWindow(AsHwnd(hWnd), SW_SHOW);
  SetForegroundWindow(AsHwnd(hWnd));
  SetFocus(AsHwnd(hWnd));
}

WindowHandle GetFocusWindow() { return AsHandle(GetFocus()); }

void SwapDemoBuffers(DeviceContext hDC) { SwapBuffers(AsHdc(hDC)); }

bool PeekDemoMessage(DemoMessage* message) {
  // Another thread (the music thread, after a fatal error) asked to end the
  // process: the desktop gets its display mode back first.
  if (const int status = RequestedEndStatus(); status >= 0) {
    RestoreDisplayMode();
    EndProcess(status);
  }
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT || IsKeyMessage(msg.message)) {
      lastPosted = msg;
      *message = DemoMessage{msg.message, msg.wParam, msg.lParam};
      return true;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return false;
}

intptr_t DispatchDemoMessage(const DemoMessage& message) {
  MSG msg = lastPosted;
  if (msg.message != message.message || msg.wParam != message.wParam || msg.lParam != message.lParam) {
    // A record the caller made up: it goes to the focused window.
    msg = MSG{};
    msg.hwnd = GetFocus();
    msg.message = message.message;
    msg.wParam = message.wParam;
    msg.lParam = message.lParam;
  }
  TranslateMessage(&msg);
  return DispatchMessageA(&msg);
}

intptr_t DefWindowProc(WindowHandle hWnd, unsigned message, uintptr_t wParam, intptr_t lParam) {
  return DefWindowProcA(AsHwnd(hWnd), message, wParam, lParam);
}
