#include "shell/demo_window.h"

#include "platform/message_box.h"
#include "render/init_scene.h"
#include "render/projection.h"

WindowHandle hWnd = nullptr;
DeviceContext hDC = nullptr;
GlContext hRC = nullptr;
uint8_t fullscreen = 1;
uint8_t active = 1;
KeyTable keyTable = {};

namespace {

const char* const windowClassName = "OpenGL";

// One descriptor for every open: completed by the first open that gets past
// window creation, so later opens reuse its colour depth.
PixelFormatDescriptor pixelFormat;
bool pixelFormatCompleted = false;

void CompletePixelFormat(int bits) {
  pixelFormat.cColorBits = uint8_t(bits);
  pixelFormat.cDepthBits = 16;
  pixelFormatCompleted = true;
}

// A failed set-up step: tear down what was built, then tell the user.
int FailOpen(const char* text) {
  CloseDemoWindow();
  ShowMessageBox(nullptr, text, "ERROR", MB_OK | MB_ICONEXCLAMATION);
  return 0;
}

void ReportShutdownError(const char* text) {
  ShowMessageBox(nullptr, text, "SHUTDOWN ERROR", MB_OK | MB_ICONINFORMATION);
}

}  // namespace

int OpenDemoWindow(const char* title, int width, int height, int bits, bool fullscreenFlag) {
  fullscreen = fullscreenFlag;

  if (!RegisterWindowClass(windowClassName, DemoWindowProc)) {
    ShowMessageBox(nullptr, "Failed To Register The Window Class.", "ERROR", MB_OK | MB_ICONEXCLAMATION);
    return 0;
  }

  if (fullscreen && !ChangeDisplayMode(width, height, bits)) {
    if (ShowMessageBox(nullptr,
                       "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?",
                       "Ravo GL", MB_YESNO | MB_ICONEXCLAMATION) == IDYES) {
      fullscreen = 0;
    } else {
      ShowMessageBox(nullptr, "Program Will Now Close.", "ERROR", MB_OK | MB_ICONSTOP);
      return 0;
    }
  }
  if (fullscreen) ShowMouseCursor(false);

  // The window system sizes windows by their client area, so no outer
  // rectangle needs computing here.
  hWnd = CreateDemoWindow(windowClassName, title, width, height, fullscreen);
  if (!hWnd) return FailOpen("Window Creation Error.");

  if (!pixelFormatCompleted) CompletePixelFormat(bits);

  hDC = GetDeviceContext(hWnd);
  if (!hDC) return FailOpen("Can't Create A GL Device Context.");
  const int format = ChoosePixelFormat(hDC, pixelFormat);
  if (format == 0) return FailOpen("Can't Find A Suitable PixelFormat.");
  if (!SetPixelFormat(hDC, format, pixelFormat)) return FailOpen("Can't Set The PixelFormat.");
  hRC = CreateGlContext(hDC);
  if (!hRC) return FailOpen("Can't Create A GL Rendering Context.");
  if (!MakeGlContextCurrent(hDC, hRC)) return FailOpen("Can't Activate The GL Rendering Context.");

  ShowDemoWindow(hWnd);
  ResizeViewport(width, height);
  if (!InitScene()) return FailOpen("Initialization Failed.");
  return 1;
}

void CloseDemoWindow() {
  if (fullscreen) {
    RestoreDisplayMode();
    ShowMouseCursor(true);
  }
  if (hRC) {
    if (!MakeGlContextCurrent(nullptr, nullptr)) ReportShutdownError("Release Of DC And RC Failed.");
    if (!DeleteGlContext(hRC)) ReportShutdownError("Release Rendering Context Failed.");
    hRC = nullptr;
  }
  if (hDC) {
    if (!ReleaseDeviceContext(hWnd, hDC)) ReportShutdownError("Release Device Context Failed.");
    hDC = nullptr;
  }
  if (hWnd) {
    if (!DestroyDemoWindow(hWnd)) ReportShutdownError("Could Not Release hWnd.");
    hWnd = nullptr;
  }
  if (!UnregisterWindowClass(windowClassName)) ReportShutdownError("Could Not Unregister Class.");
}

intptr_t DemoWindowProc(WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case WM_ACTIVATE:
      // Only minimising stops the frames; losing the focus does not.
      active = HighWord(wParam) == 0;
      return 0;
    case WM_SYSCOMMAND:
      if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) return 0;
      return DefWindowProc(window, message, wParam, lParam);
    case WM_CLOSE:
      PostQuitMessage(0);
      return 0;
    case WM_KEYDOWN:
      if (wParam < 256) keyTable[wParam] = 1;
      return 0;
    case WM_KEYUP:
      if (wParam < 256) keyTable[wParam] = 0;
      return 0;
    case WM_SIZE:
      ResizeViewport(int(LowWord(uintptr_t(lParam))), int(HighWord(uintptr_t(lParam))));
      return 0;
    default:
      return DefWindowProc(window, message, wParam, lParam);
  }
}

void ResizeViewport(int width, int height) {
  // A size can be reported while no context is current (a window being
  // built or torn down); the open sets the viewport again once it is.
  if (!hRC) return;
  SetDemoProjection(width, height);
}
