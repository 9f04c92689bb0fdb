#include <gtest/gtest.h>

#include "clock/demo_clock.h"
#include "clock/demo_state.h"
#include "scene/camera_path.h"
#include "scene/scene_state.h"

namespace {

// Every test starts a run afresh, with an empty camera script.
class ClockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDemoClock();
    ResetSceneState();
  }
};

struct ClockCase {
  int32_t before;
  int32_t after;
  bool ends;
};

class DemoClockTest : public ClockTest, public ::testing::WithParamInterface<ClockCase> {};

TEST_P(DemoClockTest, AdvancesOneFrame) {
  demoTick = GetParam().before;
  EXPECT_EQ(AdvanceDemoClock(), GetParam().ends);
  EXPECT_EQ(demoTick, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Ticks, DemoClockTest,
                         ::testing::Values(ClockCase{0, 1, false},           // first frame
                                           ClockCase{1599, 1600, false},     // slot 15: normal pace
                                           ClockCase{1600, 1603, false},     // slot 16: fast
                                           ClockCase{5598, 5601, false},     // slot 55: still fast
                                           ClockCase{5600, 5601, false},     // slot 56: normal again
                                           ClockCase{7200, 7203, false},     // slot 72: fast
                                           ClockCase{11199, 11202, false},   // slot 111: fast
                                           ClockCase{11200, 11201, false},   // slot 112: normal
                                           ClockCase{19399, 19400, false},   // reaches the end
                                           ClockCase{19400, 19400, true}));  // at the end: stays

TEST_F(ClockTest, FullRunTakes14065FramesAndAppliesTheLastStepTwice) {
  cameraPath.steps[0].dPosX = 1.0f;
  cameraPath.steps[194].dYaw = 0.5f;
  int frames = 0;
  bool done = false;
  while (!done) {
    done = AdvanceDemoClock();
    ApplyCameraStep();
    ++frames;
  }
  EXPECT_EQ(frames, 14065);
  EXPECT_EQ(demoTick, 19400);
  EXPECT_FLOAT_EQ(cameraState.posX, 99.0f);  // slot 0 lasts ticks 1..99 after the advance
  EXPECT_FLOAT_EQ(cameraState.yaw, 1.0f);    // entry 194: the frame reaching 19400 and the final one
  EXPECT_FLOAT_EQ(cameraState.posZ, 1.0f);
}

TEST_F(ClockTest, CameraStepAddsEveryFieldOfTheCurrentSlot) {
  demoTick = 250;
  cameraPath.steps[2] = {0.5f, -0.25f, 0.125f, 1.0f, 2.0f, 3.0f};
  ApplyCameraStep();
  EXPECT_FLOAT_EQ(cameraState.posX, 0.5f);
  EXPECT_FLOAT_EQ(cameraState.posY, -0.25f);
  EXPECT_FLOAT_EQ(cameraState.posZ, 1.125f);
  EXPECT_FLOAT_EQ(cameraState.pitch, 1.0f);
  EXPECT_FLOAT_EQ(cameraState.yaw, 2.0f);
  EXPECT_FLOAT_EQ(cameraState.roll, 3.0f);
}

}  // namespace
