// The Win32 window system with real windows under the test's display
// (640x480, as scripts/run-windows-tests.sh starts it): display modes,
// messages posted, sent and dispatched, a WGL context that draws, and the
// end that another thread asks for.
#include "platform/win32/windows_api.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/process_exit.h"
#include "platform/window_system.h"

namespace {

struct ReceivedMessage {
  unsigned message;
  uintptr_t wParam;
  intptr_t lParam;
};
std::vector<ReceivedMessage> received;

intptr_t RecordingProcedure(WindowHandle hWnd, unsigned message, uintptr_t wParam, intptr_t lParam) {
  received.push_back({message, wParam, lParam});
  if (message == WM_CLOSE) return 0;  // as the demo: the window stays
  return DefWindowProc(hWnd, message, wParam, lParam);
}

bool Received(unsigned message) {
  for (const ReceivedMessage& each : received)
    if (each.message == message) return true;
  return false;
}

// Handles whatever is waiting, as the demo's loop does, and returns the posted messages.
std::vector<DemoMessage> DrainPosted() {
  std::vector<DemoMessage> posted;
  DemoMessage message;
  while (PeekDemoMessage(&message)) {
    posted.push_back(message);
    if (message.message != WM_QUIT) DispatchDemoMessage(message);
  }
  return posted;
}

class WindowTest : public testing::Test {
 protected:
  void SetUp() override {
    received.clear();
    ASSERT_TRUE(RegisterWindowClass("OpenGL", RecordingProcedure));
    hWnd = CreateDemoWindow("OpenGL", "Qeb test", 640, 480, false);
    ASSERT_NE(hWnd, nullptr);
  }
  void TearDown() override {
    if (hWnd) {
      EXPECT_TRUE(DestroyDemoWindow(hWnd));
    }
    EXPECT_TRUE(UnregisterWindowClass("OpenGL"));
    DrainPosted();
  }
  HWND Native() const { return reinterpret_cast<HWND>(hWnd); }
  WindowHandle hWnd = nullptr;
};

struct ModeCase {
  int width, height, bits;
  bool granted;
};

TEST(DisplayModeTest, OnlyTheDisplaysOwnSizeIsGranted) {
  // A 16-bit mode of the screen's size is granted; a size the screen does
  // not have is refused (ChangeDisplaySettingsA's BADMODE), at any depth.
  const ModeCase cases[] = {{640, 480, 16, true}, {640, 480, 32, true}, {800, 600, 16, false}, {1024, 768, 32, false}};
  for (const ModeCase& each : cases) {
    EXPECT_EQ(ChangeDisplayMode(each.width, each.height, each.bits), each.granted)
        << each.width << "x" << each.height << "x" << each.bits;
    RestoreDisplayMode();
  }
}

TEST_F(WindowTest, WindowedClientAreaIsTheAskedSizeWithTheFrameAroundIt) {
  // Smaller than the screen, which no window outgrows.
  DestroyDemoWindow(hWnd);
  hWnd = CreateDemoWindow("OpenGL", "Qeb test", 320, 240, false);
  ASSERT_NE(hWnd, nullptr);
  ShowDemoWindow(hWnd);
  RECT client, outer;
  ASSERT_TRUE(GetClientRect(Native(), &client));
  ASSERT_TRUE(GetWindowRect(Native(), &outer));
  EXPECT_EQ(client.right - client.left, 320);
  EXPECT_EQ(client.bottom - client.top, 240);
  EXPECT_GT(outer.right - outer.left, 320);
  EXPECT_GT(outer.bottom - outer.top, 240);
  EXPECT_EQ(outer.left, 0);
  EXPECT_EQ(outer.top, 0);
  EXPECT_EQ(GetFocusWindow(), hWnd);
  // Showing the window told the procedure its client size.
  bool sized = false;
  for (const ReceivedMessage& each : received)
    if (each.message == WM_SIZE && each.lParam == MakeSizeParam(320, 240)) sized = true;
  EXPECT_TRUE(sized);
}

TEST_F(WindowTest, KeysArePostedInOrderAndTheQuitComesOnceTheQueueIsEmpty) {
  WindowsPostQuitMessage(5);
  PostMessageA(Native(), WM_KEYDOWN, 'B', 0);
  PostMessageA(Native(), WM_KEYUP, 'B', 0xC0000001);
  PostMessageA(Native(), WM_SYSKEYDOWN, VK_MENU, 0x20000000);

  const std::vector<DemoMessage> posted = DrainPosted();
  ASSERT_EQ(posted.size(), 4u);
  EXPECT_EQ(posted[0].message, WM_KEYDOWN);
  EXPECT_EQ(posted[0].wParam, uintptr_t('B'));
  EXPECT_EQ(posted[1].message, WM_KEYUP);
  EXPECT_EQ(posted[2].message, WM_SYSKEYDOWN);
  EXPECT_EQ(posted[2].wParam, uintptr_t(VK_MENU));
  EXPECT_EQ(posted[3].message, WM_QUIT);
  EXPECT_EQ(posted[3].wParam, 5u);
  // Dispatching handed each key message to the window procedure.
  ASSERT_GE(received.size(), 3u);
  int keyMessages = 0;
  for (const ReceivedMessage& each : received)
    if (each.message == WM_KEYDOWN || each.message == WM_KEYUP || each.message == WM_SYSKEYDOWN) ++keyMessages;
  EXPECT_EQ(keyMessages, 3);
}

TEST_F(WindowTest, EscapeTypedOnTheKeyboardArrivesAsVirtualKey27) {
  ShowDemoWindow(hWnd);
  DrainPosted();
  INPUT presses[2] = {};
  presses[0].type = presses[1].type = INPUT_KEYBOARD;
  presses[0].ki.wVk = presses[1].ki.wVk = VK_ESCAPE;
  presses[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ASSERT_EQ(SendInput(2, presses, sizeof(INPUT)), 2u);

  std::vector<DemoMessage> posted;
  for (int attempt = 0; attempt < 100 && posted.size() < 2; ++attempt) {
    const std::vector<DemoMessage> more = DrainPosted();
    posted.insert(posted.end(), more.begin(), more.end());
    if (posted.size() < 2) Sleep(20);
  }
  ASSERT_EQ(posted.size(), 2u);
  EXPECT_EQ(posted[0].message, WM_KEYDOWN);
  EXPECT_EQ(posted[0].wParam, uintptr_t(VK_ESCAPE));
  EXPECT_EQ(posted[1].message, WM_KEYUP);
  EXPECT_EQ(posted[1].wParam, uintptr_t(VK_ESCAPE));
}

TEST_F(WindowTest, SentMessagesReachTheProcedureWithoutBeingPosted) {
  // The system menu's close command becomes WM_CLOSE through DefWindowProc.
  SendMessageA(Native(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(Received(WM_CLOSE));
  EXPECT_TRUE(DrainPosted().empty());
  EXPECT_TRUE(IsWindow(Native()));
}

TEST_F(WindowTest, GlContextOnTheWindowDrawsAndIsReleasedInOrder) {
  PixelFormatDescriptor descriptor;
  descriptor.cColorBits = 16;
  descriptor.cDepthBits = 16;
  DeviceContext hDC = GetDeviceContext(hWnd);
  ASSERT_NE(hDC, nullptr);
  const int format = ChoosePixelFormat(hDC, descriptor);
  ASSERT_GT(format, 0);
  ASSERT_TRUE(SetPixelFormat(hDC, format, descriptor));
  GlContext hRC = CreateGlContext(hDC);
  ASSERT_NE(hRC, nullptr);
  ASSERT_TRUE(MakeGlContextCurrent(hDC, hRC));
  ShowDemoWindow(hWnd);

  glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  unsigned char pixel[4] = {};
  glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  EXPECT_EQ(pixel[0], 255);
  EXPECT_EQ(pixel[1], 0);
  EXPECT_EQ(pixel[2], 0);
  SwapDemoBuffers(hDC);

  EXPECT_TRUE(MakeGlContextCurrent(nullptr, nullptr));
  EXPECT_TRUE(DeleteGlContext(hRC));
  EXPECT_TRUE(ReleaseDeviceContext(hWnd, hDC));
}

// Another thread's request to end the process (the music thread's, after its
// box) is carried out by the main thread's next message pass, with the
// status asked for, not by the requesting thread's own fallback, which comes
// only seconds later; a pass that ignored it would end with 5.
TEST(EndRequestTest, TheNextMessagePassEndsWithTheRequestedStatus) {
  EXPECT_EXIT(
      {
        if (!RegisterWindowClass("OpenGL", RecordingProcedure) || !ChangeDisplayMode(640, 480, 16)) std::_Exit(4);
        WindowHandle window = CreateDemoWindow("OpenGL", "Qeb test", 640, 480, true);
        if (!window) std::_Exit(4);
        ShowDemoWindow(window);
        std::thread([] { EndProcessFromOtherThread(7); }).detach();
        while (RequestedEndStatus() < 0) std::this_thread::yield();
        DemoMessage message;
        PeekDemoMessage(&message);
        std::_Exit(5);
      },
      testing::ExitedWithCode(7), "");
}

TEST(WindowFailureTest, FailedStepsAreReportedAsFailures) {
  // Nothing of these exists: each call must say it failed.
  EXPECT_FALSE(UnregisterWindowClass("NoSuchClass"));
  EXPECT_EQ(CreateDemoWindow("NoSuchClass", "Qeb test", 640, 480, false), nullptr);
  EXPECT_FALSE(DestroyDemoWindow(nullptr));
  EXPECT_FALSE(DeleteGlContext(nullptr));
}

}  // namespace
