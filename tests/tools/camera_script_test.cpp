// The camera script flown by the demo's own clock and camera code for a whole
// run: it stays inside the room, clear of the wave walls, the title pictures
// are in view while they are shown, and a wall is in view whenever the
// picture changes.
#include <cmath>

#include <gtest/gtest.h>

#include "clock/demo_clock.h"
#include "clock/demo_state.h"
#include "datagen/room.h"
#include "generated_data.h"
#include "render/timeline.h"
#include "scene/camera_path.h"
#include "scene/scene_state.h"

namespace {
struct Point {
  double x, y, z;
};

// A point in the camera's eye space, as the frame's camera transform puts
// it: moved by the eye position, then turned by roll, yaw and pitch.
Point ToEyeSpace(Point p, const CameraState& camera) {
  auto turn = [](double& a, double& b, double degrees) {
    const double c = std::cos(degrees * M_PI / 180), s = std::sin(degrees * M_PI / 180);
    const double a2 = c * a - s * b, b2 = s * a + c * b;
    a = a2;
    b = b2;
  };
  Point e = {p.x - camera.posX, p.y - (camera.posY + eyeHeight), p.z - camera.posZ};
  turn(e.x, e.y, camera.roll);   // about z
  turn(e.z, e.x, camera.yaw);    // about y
  turn(e.y, e.z, camera.pitch);  // about x
  return e;
}

// Inside the 45-degree, 4:3 view.
bool InView(Point p, const CameraState& camera) {
  const Point e = ToEyeSpace(p, camera);
  const double depth = -e.z, halfHeight = std::tan(22.5 * M_PI / 180);
  return depth > 0.1 && std::fabs(e.y) <= depth * halfHeight && std::fabs(e.x) <= depth * halfHeight * 4 / 3;
}

// The middle of each wave wall (lifted by 0.5), and the box its waves sweep.
struct WaveWall {
  Point middle;
  double minX, maxX, minZ, maxZ;
  bool readable;  // shows pictures the right way round, seen from inside
};
const WaveWall waveWalls[4] = {
    {{-0.01, 0.49, 3.5}, -0.45, 0.43, 3.0, 4.0, false},
    {{-0.01, 0.49, -2.5}, -0.45, 0.43, -3.0, -2.0, true},
    {{3.5, 0.49, -0.01}, 3.0, 4.0, -0.45, 0.43, true},
    {{-2.5, 0.49, -0.01}, -3.0, -2.0, -0.45, 0.43, false},
};

bool ShowsATitlePicture(int slot) { return slot < 16 || (slot >= 184 && slot <= 193); }
}  // namespace

TEST_F(InDataSetFolder, CameraStaysInTheRoomAndFramesTheWalls) {
  ResetSceneState();
  LoadCameraPath();
  ResetDemoClock();

  // The near plane lies 0.1 in front of the eye: keep it clear of the room,
  // and keep well away from the waves.
  const double roomClearance = 0.15, waveClearance = 0.3;
  int frames = 0, framesWithAWallInView = 0, titleFramesOutOfView = 0, changesOutOfView = 0;
  int picture = TimelineTextureSlot(0);
  bool ended = false;
  while (!ended) {
    ended = AdvanceDemoClock();
    const bool pictureChanges = TimelineTextureSlot(demoTick) != picture;
    picture = TimelineTextureSlot(demoTick);
    ApplyCameraStep();
    ++frames;
    const Point eye = {cameraState.posX, cameraState.posY + eyeHeight, cameraState.posZ};
    ASSERT_LT(std::fabs(eye.x), roomHalfWidth - roomClearance) << "tick " << demoTick;
    ASSERT_LT(std::fabs(eye.z), roomHalfWidth - roomClearance) << "tick " << demoTick;
    ASSERT_GT(eye.y, roomFloorY + roomClearance) << "tick " << demoTick;
    ASSERT_LT(eye.y, roomCeilingY - roomClearance) << "tick " << demoTick;

    bool wallInView = false, readableWallInView = false;
    for (const WaveWall& wall : waveWalls) {
      const bool insideSweep = eye.x > wall.minX - waveClearance && eye.x < wall.maxX + waveClearance &&
                               eye.z > wall.minZ - waveClearance && eye.z < wall.maxZ + waveClearance;
      ASSERT_FALSE(insideSweep) << "the camera flies through a wave wall at tick " << demoTick;
      const bool inView = InView(wall.middle, cameraState);
      wallInView = wallInView || inView;
      readableWallInView = readableWallInView || (inView && wall.readable);
    }
    framesWithAWallInView += wallInView;
    if (ShowsATitlePicture(demoTick / 100) && !readableWallInView) ++titleFramesOutOfView;
    if (pictureChanges && !wallInView) ++changesOutOfView;
  }
  EXPECT_EQ(titleFramesOutOfView, 0) << "title pictures shown while no readable wall is in view";
  EXPECT_EQ(changesOutOfView, 0) << "pictures changed while no wall was in view";
  // Turning from one wall to the next takes a moment, so not every frame can show one.
  EXPECT_GT(framesWithAWallInView, frames * 97 / 100) << framesWithAWallInView << " of " << frames;
  ResetSceneState();
}
