#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "clock/demo_state.h"
#include "music/music_thread.h"
#include "scene/camera_path.h"
#include "shell/demo_keys.h"
#include "shell/demo_main.h"
#include "shell/demo_window.h"
#include "shell_test_fixture.h"

namespace {

// Runs the demo; `atFrame(n)` runs after the n-th presented frame and may queue messages.
int RunDemo(std::function<void(int)> atFrame = {}) {
  fakeWindowSystem.onSwap = std::move(atFrame);
  return DemoMain(nullptr, nullptr, "", 1);
}

std::vector<double> Cap(GLenum cap) { return {double(cap)}; }

TEST_F(ShellTest, RunsToTheEndOfTheClockAndShutsDownInOrder) {
  cameraPath.steps[194].dPosX = 1.0f;
  EXPECT_EQ(RunDemo(), 0);  // no message retrieved: the record's 0
  EXPECT_EQ(demoTick, 19400);
  EXPECT_EQ(shellDoubles.drawFrameCalls, 14065);
  EXPECT_EQ(fakeWindowSystem.swaps, 14065);
  EXPECT_FLOAT_EQ(cameraState.posX, 2.0f);  // the last step is applied by two frames
  EXPECT_EQ(shellDoubles.musicThreadStarts, 1);
  EXPECT_EQ(shellDoubles.musicPath, "Data/demo.mp3");
  EXPECT_TRUE(shellDoubles.musicThreadEnded);  // stopped and waited for before the window closed
  // The main thread starts the audio system before the music thread and stops it after.
  EXPECT_TRUE(shellDoubles.audioStartedBeforeMusic);
  EXPECT_TRUE(shellDoubles.audioStoppedAfterMusic);
  EXPECT_FALSE(shellDoubles.audioSystemStarted);
  EXPECT_EQ(fakeWindowSystem.log.back(), "UnregisterWindowClass OpenGL");
  EXPECT_EQ(hWnd, nullptr);
}

// Full screen is left before the wait for the music thread, which may never
// end by itself (a box of its own up, after which it ends the process).
TEST_F(ShellTest, LeavesFullScreenBeforeWaitingForTheMusic) {
  RunDemo([](int frame) {
    if (frame == 5) QueuePostedMessage(WM_KEYDOWN, VK_ESCAPE);
  });
  const std::vector<std::string> shutdown = LogFrom("RestoreDisplayMode");
  ASSERT_GE(shutdown.size(), 3u);
  EXPECT_EQ(shutdown[1], "MusicThread ends");
  EXPECT_EQ(shutdown[2], "RestoreDisplayMode");  // closing the window leaves it as always
}

TEST_F(ShellTest, FailedOpenAtStartEndsWithZeroAndNoMusic) {
  fakeWindowSystem.failOnCall["CreateGlContext"] = 1;
  EXPECT_EQ(RunDemo(), 0);
  EXPECT_EQ(shellDoubles.musicThreadStarts, 0);
  EXPECT_EQ(shellDoubles.drawFrameCalls, 0);
}

struct ExitCase {
  const char* name;
  std::vector<FakeEvent> events;  // queued after the 5th frame
  int exitCode;
};

class ExitCodeTest : public ShellTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(ExitCodeTest, IsTheLastPostedMessage) {
  int code = RunDemo([this](int frame) {
    if (frame == 5)
      for (const FakeEvent& event : GetParam().events) fakeWindowSystem.events.push_back(event);
  });
  EXPECT_EQ(code, GetParam().exitCode);
  EXPECT_TRUE(shellDoubles.musicThreadEnded);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, ExitCodeTest,
    ::testing::Values(ExitCase{"CloseButton", {{false, WM_CLOSE, 0, 0}}, 0},
                      ExitCase{"EscapeAlone", {{true, WM_KEYDOWN, VK_ESCAPE, 0}}, 27},
                      ExitCase{
                          "EscapeThenAnotherKey", {{true, WM_KEYDOWN, VK_ESCAPE, 0}, {true, WM_KEYDOWN, 'A', 0}}, 65},
                      ExitCase{"KeyThenClockEnd", {{true, WM_KEYDOWN, 'Q', 0}, {true, WM_KEYUP, 'Q', 0}}, 'Q'},
                      ExitCase{"SizeAndActivationLeaveTheRecord",
                               {{true, WM_KEYUP, 'Z', 0},
                                {false, WM_SIZE, 0, MakeSizeParam(100, 100)},
                                {false, WM_ACTIVATE, 0, 0},
                                {false, WM_CLOSE, 0, 0}},
                               0}),
    [](const ::testing::TestParamInfo<ExitCase>& info) { return std::string(info.param.name); });

TEST_F(ShellTest, EscapeDrawsTheFrameButDoesNotPresentIt) {
  RunDemo([](int frame) {
    if (frame == 3) QueuePostedMessage(WM_KEYDOWN, VK_ESCAPE);
  });
  EXPECT_EQ(fakeWindowSystem.swaps, 3);
  EXPECT_EQ(shellDoubles.drawFrameCalls, 4);
}

TEST_F(ShellTest, FailingFrameEndsTheDemoWithAnOrderlyShutdown) {
  shellDoubles.drawFrameFailsOnCall = 7;
  RunDemo();
  EXPECT_EQ(shellDoubles.drawFrameCalls, 7);
  EXPECT_EQ(fakeWindowSystem.swaps, 6);
  EXPECT_TRUE(shellDoubles.musicThreadEnded);
  EXPECT_EQ(fakeWindowSystem.log.back(), "UnregisterWindowClass OpenGL");
}

TEST_F(ShellTest, MinimisedWindowKeepsTheClockButDrawsNothing) {
  RunDemo([](int frame) {
    if (frame == 2) QueueSentMessage(WM_ACTIVATE, MakeActivateParam(true), 0);
    if (frame == 12) QueueSentMessage(WM_ACTIVATE, MakeActivateParam(false), 0);
    if (frame == 20) QueuePostedMessage(WM_KEYDOWN, VK_ESCAPE);
  });
  EXPECT_EQ(demoTick, 21);
  EXPECT_EQ(fakeWindowSystem.swaps, 20);
  EXPECT_EQ(shellDoubles.drawFrameCalls, 2 + 9);  // frames 3..12 are not drawn; 21 is drawn, then Escape
}

TEST_F(ShellTest, BTogglesOncePerPressAndMatchesTheGlState) {
  RunDemo([](int frame) {
    if (frame == 1) QueuePostedMessage(WM_KEYDOWN, 'B');
    if (frame == 2 || frame == 3) QueuePostedMessage(WM_KEYDOWN, 'B');  // held: auto-repeat
    if (frame == 5) QueuePostedMessage(WM_KEYUP, 'B');
    if (frame == 6) QueueKeyPress('B');  // down and up before the next frame: no frame sees it
    if (frame == 7) QueuePostedMessage(WM_KEYDOWN, 'B');
    if (frame == 9) QueuePostedMessage(WM_KEYDOWN, VK_ESCAPE);
  });
  const std::vector<GlCall> enables = CallsNamed("glEnable"), disables = CallsNamed("glDisable");
  ASSERT_EQ(enables.size(), 2u);
  ASSERT_EQ(disables.size(), 2u);
  EXPECT_EQ(enables[0].args, Cap(GL_BLEND));  // first press: blended, no depth test
  EXPECT_EQ(disables[0].args, Cap(GL_DEPTH_TEST));
  EXPECT_EQ(disables[1].args, Cap(GL_BLEND));  // second press: back to depth-tested
  EXPECT_EQ(enables[1].args, Cap(GL_DEPTH_TEST));
  EXPECT_EQ(blendOn, 0);
}

TEST_F(ShellTest, ArrowsWalkAlongHeadingAndReplaceYaw) {
  cameraPath.steps[0].dYaw = 0.25f;
  RunDemo([](int frame) {
    if (frame == 1) QueuePostedMessage(WM_KEYDOWN, VK_LEFT);
    if (frame == 90) {
      QueuePostedMessage(WM_KEYUP, VK_LEFT);
      QueuePostedMessage(WM_KEYDOWN, VK_UP);
    }
    if (frame == 91) QueuePostedMessage(WM_KEYDOWN, VK_ESCAPE);
  });
  // Left acted in frames 2..90: heading 89 degrees. The script adds its yaw
  // on top of each replacement: frames 91 and 92 (the Escape frame) add 0.5.
  EXPECT_FLOAT_EQ(heading, 89.0f);
  EXPECT_FLOAT_EQ(cameraState.yaw, 89.0f + 0.5f);
  // One step forward along heading 89: x falls by sin(89) * 0.05, z by cos(89) * 0.05.
  const double angle = 89.0f * 0.017453292f;
  EXPECT_FLOAT_EQ(cameraState.posX, float(0.0 - std::sin(angle) * 0.05));
  EXPECT_FLOAT_EQ(cameraState.posZ, float(1.0 - std::cos(angle) * 0.05));
}

TEST_F(ShellTest, UpAndDownTogetherCancel) {
  heading = 30.0f;
  RunDemo([](int frame) {
    if (frame == 1) {
      QueuePostedMessage(WM_KEYDOWN, VK_UP);
      QueuePostedMessage(WM_KEYDOWN, VK_DOWN);
    }
    if (frame == 50) QueuePostedMessage(WM_KEYDOWN, VK_ESCAPE);
  });
  EXPECT_NEAR(cameraState.posX, 0.0f, 1e-6);
  EXPECT_NEAR(cameraState.posZ, 1.0f, 1e-6);
}

TEST_F(ShellTest, F1ReopensInTheOtherModeOncePerKeyDown) {
  RunDemo([](int frame) {
    if (frame == 10) QueuePostedMessage(WM_KEYDOWN, VK_F1);
    if (frame == 20) QueuePostedMessage(WM_KEYDOWN, 'B');
    if (frame == 30) {
      QueuePostedMessage(WM_KEYDOWN, VK_F1);  // auto-repeat: a second switch
      QueuePostedMessage(WM_KEYUP, 'B');
    }
    if (frame == 31) QueuePostedMessage(WM_KEYDOWN, VK_F1);
    if (frame == 40) QueuePostedMessage(WM_KEYDOWN, VK_ESCAPE);
  });
  const auto& log = fakeWindowSystem.log;
  EXPECT_EQ(std::count(log.begin(), log.end(), "CreateDemoWindow OpenGL Qeb 640x480 windowed"), 2);
  EXPECT_EQ(std::count(log.begin(), log.end(), "CreateDemoWindow OpenGL Qeb 640x480 fullscreen"), 2);
  EXPECT_EQ(shellDoubles.initSceneCalls, 4);     // every new context reloads the scene
  EXPECT_EQ(shellDoubles.musicThreadStarts, 1);  // the soundtrack plays on
  EXPECT_EQ(demoTick, 41);                       // the clock is kept
  EXPECT_EQ(blendOn, 1);                         // and so is the look B chose
  EXPECT_EQ(fullscreen, 0);                      // three switches: windowed again
}

int PrintBox(WindowHandle, const char* text, const char* caption, unsigned) {
  std::fprintf(stderr, "BOX %s|%s\n", caption, text);
  return IDOK;
}

// The re-open fails while the music thread cannot end (it is showing a box):
// the process ends at once with 0 all the same, after the failure's box.
TEST_F(ShellTest, FailedReopenAfterF1EndsAtOnceWithZero) {
  fakeWindowSystem.failOnCall["CreateDemoWindow"] = 2;
  shellDoubles.musicThreadIgnoresStop = true;
  EXPECT_EXIT(
      {
        SetMessageBoxAnswerer(PrintBox);
        RunDemo([](int frame) {
          if (frame == 10) QueuePostedMessage(WM_KEYDOWN, VK_F1);
        });
        std::fprintf(stderr, "DemoMain returned\n");
        std::exit(3);
      },
      testing::ExitedWithCode(0), "^BOX ERROR\\|Window Creation Error\\.\n$");
}

}  // namespace
