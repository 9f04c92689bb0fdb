// The loaders read their files from the data directory, whatever its spelling.
#include <gtest/gtest.h>

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
#include "fifo_feeder.h"
#endif
#include "fresh_working_directory.h"
#include "memory_stream.h"
#include "scene/camera_path.h"
#include "scene/world.h"

namespace {

class SceneFilesTest : public FreshWorkingDirectory {};

TEST_F(SceneFilesTest, LoadsBothFilesFromDataSpelledOtherwise) {
  WriteFile("Data/world.txt", WithCrLf("NUMPOLLIES 1\n1 2 3 4 5\n6 7 8 9 10\n/ last\n11 12 13 14 15\n"));
  WriteFile("Data/CAM.TXT", WithCrLf("NUMFRAMES 1\n1 2 3 4 5 6\n"));
  LoadWorld();
  LoadCameraPath();
  ASSERT_EQ(world.triangleCount, 1);
  EXPECT_EQ(world.triangles[0].vertices[2].v, 15);
  EXPECT_EQ(cameraPath.steps[0].dRoll, 6);
}

TEST_F(SceneFilesTest, MissingFilesGiveAnEmptyWorldAndKeepThePath) {
  WriteFile("data/world.txt", "NUMPOLLIES 1\n1 2 3 4 5\n");
  LoadWorld();
  ASSERT_EQ(world.triangleCount, 1);
  cameraPath.steps[0].dYaw = 0.5f;

  std::filesystem::remove_all("data");
  LoadWorld();
  LoadCameraPath();
  EXPECT_EQ(world.triangleCount, 0);
  EXPECT_EQ(world.triangles, nullptr);
  EXPECT_EQ(cameraPath.steps[0].dYaw, 0.5f);
}

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)  // no FIFOs in Windows' file system or node's
// A FIFO under either name counts as missing: opening it for reading would
// wait for a writer. The feeder hands a well-formed file to a loader that
// waits anyway, so such a loader fails the test instead of hanging it.
TEST_F(SceneFilesTest, FifosCountAsMissingFiles) {
  std::filesystem::create_directory("data");
  cameraPath.steps[0].dYaw = 0.5f;
  FifoFeeder worldFifo("data/world.txt", "NUMPOLLIES 1\n1 2 3 4 5\n6 7 8 9 10\n11 12 13 14 15\n");
  FifoFeeder cameraFifo("data/cam.txt", "NUMFRAMES 1\n1 2 3 4 5 6\n");
  ASSERT_TRUE(worldFifo.Made() && cameraFifo.Made());
  LoadWorld();
  LoadCameraPath();
  EXPECT_EQ(world.triangleCount, 0);
  EXPECT_EQ(world.triangles, nullptr);
  EXPECT_EQ(cameraPath.steps[0].dYaw, 0.5f);
}
#endif

}  // namespace
