#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "shell/demo_window.h"
#include "shell_test_fixture.h"

namespace {

// ---- Opening: every step that can fail -------------------------------------

struct OpenFailure {
  const char* failingStep;  // fake window system step, or "InitScene"
  const char* message;
  std::vector<std::string> teardown;  // log from the failing step's first release on, then the box
};

class OpenFailureTest : public ShellTest, public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(OpenFailureTest, TearsDownWhatWasBuiltThenReports) {
  const OpenFailure& row = GetParam();
  if (std::string(row.failingStep) == "InitScene")
    shellDoubles.initSceneFailsOnCall = 1;
  else
    fakeWindowSystem.failOnCall[row.failingStep] = 1;

  EXPECT_EQ(OpenDemoWindow("Qeb", 640, 480, 16, true), 0);

  std::vector<std::string> expected = row.teardown;
  expected.push_back(std::string("MessageBox ERROR: ") + row.message);
  EXPECT_EQ(LogFrom("RestoreDisplayMode"), expected);
  ASSERT_EQ(answeredMessageBoxes.shown.size(), 1u);
  EXPECT_EQ(answeredMessageBoxes.shown[0].type, MB_OK | MB_ICONEXCLAMATION);
  EXPECT_EQ(hWnd, nullptr);
  EXPECT_EQ(hDC, nullptr);
  EXPECT_EQ(hRC, nullptr);
  EXPECT_FALSE(fakeWindowSystem.fullscreenActive);  // the desktop mode is back before the box shows
  EXPECT_FALSE(fakeWindowSystem.cursorHidden);
  EXPECT_FALSE(fakeWindowSystem.classRegistered);
}

const std::vector<std::string> releaseWindow = {"RestoreDisplayMode", "ShowMouseCursor on", "DestroyDemoWindow",
                                                "UnregisterWindowClass OpenGL"};
const std::vector<std::string> releaseDevice = {"RestoreDisplayMode", "ShowMouseCursor on", "ReleaseDeviceContext",
                                                "DestroyDemoWindow", "UnregisterWindowClass OpenGL"};
const std::vector<std::string> releaseContext = {
    "RestoreDisplayMode",   "ShowMouseCursor on", "MakeGlContextCurrent none",   "DeleteGlContext",
    "ReleaseDeviceContext", "DestroyDemoWindow",  "UnregisterWindowClass OpenGL"};

INSTANTIATE_TEST_SUITE_P(
    Steps, OpenFailureTest,
    ::testing::Values(OpenFailure{"CreateDemoWindow",
                                  "Window Creation Error.",
                                  {"RestoreDisplayMode", "ShowMouseCursor on", "UnregisterWindowClass OpenGL"}},
                      OpenFailure{"GetDeviceContext", "Can't Create A GL Device Context.", releaseWindow},
                      OpenFailure{"ChoosePixelFormat", "Can't Find A Suitable PixelFormat.", releaseDevice},
                      OpenFailure{"SetPixelFormat", "Can't Set The PixelFormat.", releaseDevice},
                      OpenFailure{"CreateGlContext", "Can't Create A GL Rendering Context.", releaseDevice},
                      OpenFailure{"MakeGlContextCurrent", "Can't Activate The GL Rendering Context.", releaseContext},
                      OpenFailure{"InitScene", "Initialization Failed.", releaseContext}));

TEST_F(ShellTest, FailedRegistrationReportsWithoutTeardown) {
  fakeWindowSystem.failOnCall["RegisterWindowClass"] = 1;
  EXPECT_EQ(OpenDemoWindow("Qeb", 640, 480, 16, true), 0);
  ASSERT_EQ(answeredMessageBoxes.shown.size(), 1u);
  EXPECT_EQ(answeredMessageBoxes.shown[0].text, "Failed To Register The Window Class.");
  EXPECT_EQ(answeredMessageBoxes.shown[0].caption, "ERROR");
  EXPECT_EQ(answeredMessageBoxes.shown[0].type, MB_OK | MB_ICONEXCLAMATION);
  const std::vector<std::string> nothingTornDown{"RegisterWindowClass OpenGL",
                                                 "MessageBox ERROR: Failed To Register The Window Class."};
  EXPECT_EQ(fakeWindowSystem.log, nothingTornDown);
}

TEST_F(ShellTest, RefusedFullScreenAnsweredYesOpensAWindow) {
  fakeWindowSystem.displayHasMode = false;
  answeredMessageBoxes.answers = {IDYES};
  ASSERT_EQ(OpenDemoWindow("Qeb", 640, 480, 16, true), 1);
  ASSERT_EQ(answeredMessageBoxes.shown.size(), 1u);
  EXPECT_EQ(answeredMessageBoxes.shown[0].text,
            "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?");
  EXPECT_EQ(answeredMessageBoxes.shown[0].caption, "Ravo GL");
  EXPECT_EQ(answeredMessageBoxes.shown[0].type, MB_YESNO | MB_ICONEXCLAMATION);
  EXPECT_EQ(fullscreen, 0);
  EXPECT_FALSE(fakeWindowSystem.cursorHidden);
  EXPECT_EQ(LogFrom("CreateDemoWindow OpenGL Qeb 640x480 windowed").back(), "InitScene");
  EXPECT_TRUE(LogFrom("ShowMouseCursor off").empty());
}

TEST_F(ShellTest, RefusedFullScreenAnsweredNoCloses) {
  fakeWindowSystem.displayHasMode = false;
  answeredMessageBoxes.answers = {IDNO};
  EXPECT_EQ(OpenDemoWindow("Qeb", 640, 480, 16, true), 0);
  ASSERT_EQ(answeredMessageBoxes.shown.size(), 2u);
  EXPECT_EQ(answeredMessageBoxes.shown[1].text, "Program Will Now Close.");
  EXPECT_EQ(answeredMessageBoxes.shown[1].caption, "ERROR");
  EXPECT_EQ(answeredMessageBoxes.shown[1].type, MB_OK | MB_ICONSTOP);
  EXPECT_EQ(fakeWindowSystem.windowsCreated, 0);
  EXPECT_TRUE(fakeWindowSystem.classRegistered);  // left registered; the program ends next
}

TEST_F(ShellTest, OpenBuildsInOrderAndSetsTheViewport) {
  ASSERT_EQ(OpenDemoWindow("Qeb", 640, 480, 16, true), 1);
  const std::vector<std::string> expected = {"RegisterWindowClass OpenGL",
                                             "ChangeDisplayMode 640x480x16",
                                             "ShowMouseCursor off",
                                             "CreateDemoWindow OpenGL Qeb 640x480 fullscreen",
                                             "GetDeviceContext",
                                             "ChoosePixelFormat colour 16 depth 16",
                                             "SetPixelFormat 1",
                                             "CreateGlContext",
                                             "MakeGlContextCurrent",
                                             "ShowDemoWindow",
                                             "InitScene"};
  EXPECT_EQ(fakeWindowSystem.log, expected);
  auto perspective = CallsNamed("gluPerspective");
  ASSERT_EQ(perspective.size(), 1u);
  EXPECT_EQ(perspective[0].args, (std::vector<double>{45.0, 640.0 / 480.0, 0.1, 100.0}));
  EXPECT_TRUE(fakeWindowSystem.contextCurrent);
}

TEST_F(ShellTest, PixelFormatKeepsTheFirstOpensColourDepth) {
  ASSERT_EQ(OpenDemoWindow("Qeb", 640, 480, 16, false), 1);
  CloseDemoWindow();
  ASSERT_EQ(OpenDemoWindow("Qeb", 640, 480, 32, false), 1);
  EXPECT_EQ(CountCalls("glViewport"), 2u);
  EXPECT_EQ(
      std::count(fakeWindowSystem.log.begin(), fakeWindowSystem.log.end(), "ChoosePixelFormat colour 16 depth 16"), 2);
}

// ---- Closing: each failed step is reported and the teardown goes on ---------

struct CloseFailure {
  const char* failingStep;
  const char* message;
};

class CloseFailureTest : public ShellTest, public ::testing::WithParamInterface<CloseFailure> {};

TEST_P(CloseFailureTest, ReportsAndGoesOn) {
  ASSERT_EQ(OpenDemoWindow("Qeb", 640, 480, 16, false), 1);
  fakeWindowSystem.failOnCall[GetParam().failingStep] = fakeWindowSystem.callCounts[GetParam().failingStep] + 1;
  CloseDemoWindow();
  ASSERT_EQ(answeredMessageBoxes.shown.size(), 1u);
  EXPECT_EQ(answeredMessageBoxes.shown[0].text, GetParam().message);
  EXPECT_EQ(answeredMessageBoxes.shown[0].caption, "SHUTDOWN ERROR");
  EXPECT_EQ(answeredMessageBoxes.shown[0].type, MB_OK | MB_ICONINFORMATION);
  EXPECT_EQ(hWnd, nullptr);
  EXPECT_EQ(hDC, nullptr);
  EXPECT_EQ(hRC, nullptr);
  const auto& log = fakeWindowSystem.log;  // the class is always unregistered, last
  EXPECT_EQ(LogFrom("DestroyDemoWindow").back(), GetParam().failingStep == std::string("UnregisterWindowClass")
                                                     ? "MessageBox SHUTDOWN ERROR: Could Not Unregister Class."
                                                     : "UnregisterWindowClass OpenGL");
  EXPECT_NE(std::find(log.begin(), log.end(), "UnregisterWindowClass OpenGL"), log.end());
}

INSTANTIATE_TEST_SUITE_P(Steps, CloseFailureTest,
                         ::testing::Values(CloseFailure{"MakeGlContextCurrent none", "Release Of DC And RC Failed."},
                                           CloseFailure{"DeleteGlContext", "Release Rendering Context Failed."},
                                           CloseFailure{"ReleaseDeviceContext", "Release Device Context Failed."},
                                           CloseFailure{"DestroyDemoWindow", "Could Not Release hWnd."},
                                           CloseFailure{"UnregisterWindowClass", "Could Not Unregister Class."}));

TEST_F(ShellTest, CloseOfAWindowedModeLeavesTheDisplayModeAlone) {
  ASSERT_EQ(OpenDemoWindow("Qeb", 640, 480, 16, false), 1);
  CloseDemoWindow();
  EXPECT_TRUE(LogFrom("RestoreDisplayMode").empty());
  EXPECT_TRUE(answeredMessageBoxes.shown.empty());
}

// ---- The window procedure ---------------------------------------------------

TEST_F(ShellTest, WindowProcedureKeepsKeysAndActiveState) {
  DemoWindowProc(nullptr, WM_KEYDOWN, 'B', 0);
  EXPECT_EQ(keyTable['B'], 1);
  DemoWindowProc(nullptr, WM_KEYUP, 'B', 0);
  EXPECT_EQ(keyTable['B'], 0);
  DemoWindowProc(nullptr, WM_KEYDOWN, 300, 0);  // no such key: nothing written
  DemoWindowProc(nullptr, WM_SYSKEYDOWN, VK_MENU, 0);
  EXPECT_EQ(keyTable[VK_MENU], 0);
  EXPECT_EQ(keyTable[300 & 0xFF], 0);

  DemoWindowProc(nullptr, WM_ACTIVATE, MakeActivateParam(true) | 1, 0);  // minimised, even if "activated"
  EXPECT_EQ(active, 0);
  DemoWindowProc(nullptr, WM_ACTIVATE, MakeActivateParam(false), 0);  // deactivated but visible
  EXPECT_EQ(active, 1);
}

TEST_F(ShellTest, WindowProcedureSwallowsScreenSaverAndPostsQuitOnClose) {
  DemoWindowProc(nullptr, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
  DemoWindowProc(nullptr, WM_SYSCOMMAND, SC_MONITORPOWER, 0);
  EXPECT_TRUE(fakeWindowSystem.log.empty());
  DemoWindowProc(nullptr, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_EQ(fakeWindowSystem.log, std::vector<std::string>{"DefWindowProc 274 61472"});

  EXPECT_EQ(DemoWindowProc(nullptr, WM_CLOSE, 0, 0), 0);
  EXPECT_TRUE(fakeWindowSystem.quitPosted);
  EXPECT_EQ(fakeWindowSystem.quitCode, 0);
}

TEST_F(ShellTest, SizeMessageSetsViewportAndProjection) {
  DemoWindowProc(nullptr, WM_SIZE, 0, MakeSizeParam(800, 600));
  EXPECT_TRUE(glRecorder.calls.empty());  // no context yet: nothing to set

  hRC = reinterpret_cast<GlContext>(uintptr_t(0x10));
  DemoWindowProc(nullptr, WM_SIZE, 0, MakeSizeParam(800, 0));
  ASSERT_EQ(CallsNamed("glViewport").size(), 1u);
  EXPECT_EQ(CallsNamed("glViewport")[0].args, (std::vector<double>{0, 0, 800, 1}));  // height 0 counts as 1
  EXPECT_EQ(CallsNamed("gluPerspective")[0].args, (std::vector<double>{45.0, 800.0, 0.1, 100.0}));
  const std::vector<double> projection{GL_PROJECTION}, modelview{GL_MODELVIEW};
  ASSERT_EQ(CallsNamed("glMatrixMode").size(), 2u);
  EXPECT_EQ(CallsNamed("glMatrixMode")[0].args, projection);
  EXPECT_EQ(CallsNamed("glMatrixMode")[1].args, modelview);
  EXPECT_EQ(glRecorder.calls.back().name, "glLoadIdentity");
}

}  // namespace
