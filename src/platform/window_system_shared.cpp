// What the window systems that stand in for Windows' own share
// (window_system_shared.h): the device context and pixel-format checks made
// before the system's own step, and the posted quit message.
#include "platform/window_system_shared.h"

namespace {

bool quitPosted = false;
int quitCode = 0;

}  // namespace

DeviceContext GetDeviceContext(WindowHandle hWnd) { return hWnd; }

bool ReleaseDeviceContext(WindowHandle hWnd, DeviceContext hDC) { return hWnd && hDC == hWnd; }

int ChoosePixelFormat(DeviceContext hDC, const PixelFormatDescriptor& descriptor) {
  const uint32_t needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
  if (!hDC || (descriptor.dwFlags & needed) != needed || descriptor.iPixelType != PFD_TYPE_RGBA) return 0;
  return 1;
}

bool SetPixelFormat(DeviceContext hDC, int format, const PixelFormatDescriptor& descriptor) {
  if (!hDC || format != 1) return false;
  UseDemoPixelFormat(descriptor);
  return true;
}

void PostQuitMessage(int exitCode) {
  quitPosted = true;
  quitCode = exitCode;
}

bool TakePostedQuit(DemoMessage* message) {
  if (!quitPosted) return false;
  quitPosted = false;
  *message = {WM_QUIT, uintptr_t(quitCode), 0};
  return true;
}
