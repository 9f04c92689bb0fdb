// InitScene with the real texture bank and scene loaders, GL recorded,
// in a private directory of data files.
#include "render/init_scene.h"

#include <answered_message_boxes.h>
#include <fresh_working_directory.h>
#include <gl_recorder.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "render/draw_frame.h"
#include "render/wave_mesh.h"
#include "render/wave_walls.h"
#include "scene/camera_path.h"
#include "scene/scene_state.h"
#include "scene/world.h"

namespace {

// A 2 x 2 bottom-up 24-bit BMP file of one colour.
std::string SolidBmp() {
  const uint8_t header[54] = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  // file header
                              40,  0,   0,  0, 2, 0, 0, 0, 2, 0, 0,  0, 1, 0, 24, 0, 0, 0, 0, 0,
                              16,  0,   0,  0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0, 0};
  const uint8_t row[8] = {10, 20, 30, 10, 20, 30, 0, 0};  // two pixels and padding
  std::string file(reinterpret_cast<const char*>(header), sizeof header);
  for (int r = 0; r < 2; ++r) file.append(reinterpret_cast<const char*>(row), sizeof row);
  return file;
}

const char* const twoTriangleWorld =
    "NUMPOLLIES 2\n"
    "0 0 0 0 0\n1 0 0 1 0\n1 1 0 1 1\n"
    "0 0 0 0 0\n1 1 0 1 1\n0 1 0 0 1\n";
const char* const oneStepCamera = "NUMFRAMES 1\n0.25 0 0 0 0 0\n";

class InitSceneTest : public FreshWorkingDirectory {
 protected:
  void SetUp() override {
    FreshWorkingDirectory::SetUp();
    ResetGlRecorder();
    AnswerMessageBoxesFromScript();
    WriteFile("Data/world.txt", twoTriangleWorld);
    WriteFile("Data/cam.txt", oneStepCamera);
    ResetSceneState();
  }
  void TearDown() override {
    ResetSceneState();
    FreshWorkingDirectory::TearDown();
  }
};

TEST_F(InitSceneTest, WithoutAnyPictureTouchesNothingElse) {
  // Earlier contents that a failed set-up must leave alone.
  WavePoint marker{7.0f, 8.0f, 9.0f};
  for (auto& row : waveMesh.points)
    for (WavePoint& point : row) point = marker;
  world.triangles = static_cast<WorldTriangle*>(std::calloc(1, sizeof(WorldTriangle)));
  world.triangleCount = 1;
  const WorldTriangle* earlierWorld = world.triangles;
  EXPECT_EQ(InitScene(), 0);
  for (const GlCall& call : glRecorder.calls)
    EXPECT_TRUE(call.name == "glPixelStorei") << call.name << " on a failed set-up";
  EXPECT_EQ(world.triangleCount, 1) << "the world file was read";
  EXPECT_EQ(world.triangles, earlierWorld);
  EXPECT_EQ(cameraPath.steps[0].dPosX, 0.0f) << "the camera script was read";
  EXPECT_EQ(waveMesh.points[30][30].z, marker.z);
  EXPECT_TRUE(answeredMessageBoxes.shown.empty());
}

TEST_F(InitSceneTest, LoadsTexturesThenSetsTheFixedStateThenReadsTheScene) {
  WriteFile("Data/begin.bmp", SolidBmp());
  EXPECT_EQ(InitScene(), 1);
  const std::vector<GlCall>& calls = glRecorder.calls;
  const size_t upload = CountCalls("glTexImage2D");
  ASSERT_EQ(upload, 1u);
  // The fixed state comes after the texture upload, in this order, and nothing follows it.
  const std::vector<std::pair<std::string, std::vector<double>>> fixedState = {
      {"glEnable", {GL_TEXTURE_2D}},  {"glBlendFunc", {GL_SRC_ALPHA, GL_ONE}},
      {"glClearColor", {0, 0, 0, 0}}, {"glClearDepth", {1.0}},
      {"glDepthFunc", {GL_LESS}},     {"glEnable", {GL_DEPTH_TEST}},
      {"glShadeModel", {GL_SMOOTH}},  {"glHint", {GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST}},
  };
  ASSERT_GE(calls.size(), fixedState.size() + 1);
  const size_t first = calls.size() - fixedState.size();
  EXPECT_EQ(calls[first - 1].name, "glTexImage2D");
  for (size_t k = 0; k < fixedState.size(); ++k) {
    EXPECT_EQ(calls[first + k].name, fixedState[k].first);
    EXPECT_EQ(calls[first + k].args, fixedState[k].second) << fixedState[k].first;
  }
  EXPECT_EQ(world.triangleCount, 2);
  EXPECT_EQ(cameraPath.steps[0].dPosX, 0.25f);
  EXPECT_EQ(waveMesh.points[0][0].x, -0.45f);
}

TEST_F(InitSceneTest, ASecondSetUpRebuildsTheWaveButKeepsItsFrameCount) {
  WriteFile("Data/map1.bmp", SolidBmp());
  waveFrameCount = 0;
  ASSERT_EQ(InitScene(), 1);
  const WaveMesh built = waveMesh;
  for (int frame = 0; frame < 3; ++frame) DrawFrame();  // the 3rd shifts the wave
  ASSERT_NE(std::memcmp(&waveMesh, &built, sizeof built), 0);

  ASSERT_EQ(InitScene(), 1);
  EXPECT_EQ(std::memcmp(&waveMesh, &built, sizeof built), 0);
  // The count ran on: the 5th frame since start shifts, which is the 2nd
  // after the new set-up (a reset count would shift only after the 3rd).
  DrawFrame();
  EXPECT_EQ(std::memcmp(&waveMesh, &built, sizeof built), 0);
  DrawFrame();
  EXPECT_NE(std::memcmp(&waveMesh, &built, sizeof built), 0);
}

}  // namespace
