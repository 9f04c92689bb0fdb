#include "fake_window_system.h"

FakeWindowSystem fakeWindowSystem;

namespace {

// Counts the call and says whether the test asked this one to fail.
bool Fails(const std::string& step) {
  FakeWindowSystem& fake = fakeWindowSystem;
  int number = ++fake.callCounts[step];
  auto found = fake.failOnCall.find(step);
  return found != fake.failOnCall.end() && found->second == number;
}

void Log(std::string line) { fakeWindowSystem.log.push_back(std::move(line)); }

// Distinct non-null fake handles, never dereferenced.
WindowHandle FakeWindowHandle(int number) { return reinterpret_cast<WindowHandle>(uintptr_t(0x1000 + 16 * number)); }
GlContext FakeContextHandle(int number) { return reinterpret_cast<GlContext>(uintptr_t(0x8000 + 16 * number)); }

}  // namespace

void ResetFakeWindowSystem() { fakeWindowSystem = FakeWindowSystem{}; }

void QueuePostedMessage(unsigned message, uintptr_t wParam) {
  fakeWindowSystem.events.push_back({true, message, wParam, 0});
}
void QueueSentMessage(unsigned message, uintptr_t wParam, intptr_t lParam) {
  fakeWindowSystem.events.push_back({false, message, wParam, lParam});
}
void QueueKeyPress(unsigned virtualKey) {
  QueuePostedMessage(WM_KEYDOWN, virtualKey);
  QueuePostedMessage(WM_KEYUP, virtualKey);
}

bool RegisterWindowClass(const char* className, WindowProcedure procedure) {
  Log(std::string("RegisterWindowClass ") + className);
  if (Fails("RegisterWindowClass")) return false;
  fakeWindowSystem.procedure = procedure;
  fakeWindowSystem.classRegistered = true;
  return true;
}

bool UnregisterWindowClass(const char* className) {
  Log(std::string("UnregisterWindowClass ") + className);
  if (Fails("UnregisterWindowClass")) return false;
  fakeWindowSystem.classRegistered = false;
  return true;
}

bool ChangeDisplayMode(int width, int height, int bits) {
  Log("ChangeDisplayMode " + std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(bits));
  if (Fails("ChangeDisplayMode") || !fakeWindowSystem.displayHasMode) return false;
  fakeWindowSystem.fullscreenActive = true;
  return true;
}

void RestoreDisplayMode() {
  Log("RestoreDisplayMode");
  fakeWindowSystem.fullscreenActive = false;
}

void ShowMouseCursor(bool show) {
  Log(show ? "ShowMouseCursor on" : "ShowMouseCursor off");
  fakeWindowSystem.cursorHidden = !show;
}

WindowHandle CreateDemoWindow(const char* className, const char* title, int clientWidth, int clientHeight,
                              bool fullscreen) {
  Log(std::string("CreateDemoWindow ") + className + " " + title + " " + std::to_string(clientWidth) + "x" +
      std::to_string(clientHeight) + (fullscreen ? " fullscreen" : " windowed"));
  if (Fails("CreateDemoWindow")) return nullptr;
  fakeWindowSystem.window = FakeWindowHandle(++fakeWindowSystem.windowsCreated);
  return fakeWindowSystem.window;
}

bool DestroyDemoWindow(WindowHandle hWnd) {
  Log("DestroyDemoWindow");
  if (Fails("DestroyDemoWindow")) return false;
  if (hWnd == fakeWindowSystem.window) fakeWindowSystem.window = nullptr;
  return true;
}

DeviceContext GetDeviceContext(WindowHandle hWnd) {
  Log("GetDeviceContext");
  if (Fails("GetDeviceContext")) return nullptr;
  return hWnd;
}

bool ReleaseDeviceContext(WindowHandle, DeviceContext) {
  Log("ReleaseDeviceContext");
  return !Fails("ReleaseDeviceContext");
}

int ChoosePixelFormat(DeviceContext, const PixelFormatDescriptor& descriptor) {
  Log("ChoosePixelFormat colour " + std::to_string(descriptor.cColorBits) + " depth " +
      std::to_string(descriptor.cDepthBits));
  return Fails("ChoosePixelFormat") ? 0 : 1;
}

bool SetPixelFormat(DeviceContext, int format, const PixelFormatDescriptor&) {
  Log("SetPixelFormat " + std::to_string(format));
  return !Fails("SetPixelFormat");
}

GlContext CreateGlContext(DeviceContext) {
  Log("CreateGlContext");
  if (Fails("CreateGlContext")) return nullptr;
  fakeWindowSystem.context = FakeContextHandle(fakeWindowSystem.windowsCreated);
  return fakeWindowSystem.context;
}

bool MakeGlContextCurrent(DeviceContext hDC, GlContext hRC) {
  Log(hRC ? "MakeGlContextCurrent" : "MakeGlContextCurrent none");
  if (Fails(hRC ? "MakeGlContextCurrent" : "MakeGlContextCurrent none")) return false;
  fakeWindowSystem.contextCurrent = hDC && hRC;
  return true;
}

bool DeleteGlContext(GlContext hRC) {
  Log("DeleteGlContext");
  if (Fails("DeleteGlContext")) return false;
  if (hRC == fakeWindowSystem.context) fakeWindowSystem.context = nullptr;
  return true;
}

void ShowDemoWindow(WindowHandle) { Log("ShowDemoWindow"); }

WindowHandle GetFocusWindow() { return fakeWindowSystem.window; }

void SwapDemoBuffers(DeviceContext) {
  ++fakeWindowSystem.swaps;
  if (fakeWindowSystem.onSwap) fakeWindowSystem.onSwap(fakeWindowSystem.swaps);
}

bool PeekDemoMessage(DemoMessage* message) {
  FakeWindowSystem& fake = fakeWindowSystem;
  while (!fake.events.empty()) {
    FakeEvent event = fake.events.front();
    fake.events.pop_front();
    if (event.posted) {
      *message = {event.message, event.wParam, event.lParam};
      return true;
    }
    if (fake.procedure) fake.procedure(fake.window, event.message, event.wParam, event.lParam);
  }
  if (fake.quitPosted) {
    fake.quitPosted = false;
    *message = {WM_QUIT, uintptr_t(fake.quitCode), 0};
    return true;
  }
  return false;
}

intptr_t DispatchDemoMessage(const DemoMessage& message) {
  if (!fakeWindowSystem.procedure) return 0;
  return fakeWindowSystem.procedure(fakeWindowSystem.window, message.message, message.wParam, message.lParam);
}

void PostQuitMessage(int exitCode) {
  fakeWindowSystem.quitPosted = true;
  fakeWindowSystem.quitCode = exitCode;
}

intptr_t DefWindowProc(WindowHandle, unsigned message, uintptr_t wParam, intptr_t) {
  Log("DefWindowProc " + std::to_string(message) + " " + std::to_string(wParam));
  return 0;
}
