#include "render/wave_mesh.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct RowCase {
  int row;
  float x;  // the same for every column
  float z;  // the same for every column
};

// The values the mesh must hold after a build, as the wave is designed:
// x and y run in steps of 0.02 from -0.45, z samples sin(row * 4 degrees).
const RowCase builtRows[] = {
    {0, -0.45f, 0.0f},      {1, -0.43f, 0.0697565f}, {22, -0.01f, 0.999391f},
    {23, 0.01f, 0.999391f}, {44, 0.43f, 0.0697565f},
};

TEST(WaveMesh, BuildGivesTheDesignedRows) {
  BuildWaveMesh();
  for (const RowCase& expected : builtRows) {
    SCOPED_TRACE(expected.row);
    for (int j = 0; j < waveMeshSize; ++j) {
      const WavePoint& point = waveMesh.points[expected.row][j];
      EXPECT_NEAR(point.x, expected.x, 1e-6);
      EXPECT_NEAR(point.z, expected.z, 1e-6);
      // y belongs to the column alone: the same table read by column.
      EXPECT_EQ(point.y, waveMesh.points[j][0].x);
    }
  }
  EXPECT_EQ(waveMesh.points[0][0].z, 0.0f);
}

TEST(WaveMesh, ShiftMovesHeightsOneRowTowardsRowZero) {
  BuildWaveMesh();
  const WaveMesh before = waveMesh;
  ShiftWaveMesh();
  for (int j = 0; j < waveMeshSize; ++j) {
    for (int i = 0; i < waveMeshSize - 1; ++i) EXPECT_EQ(waveMesh.points[i][j].z, before.points[i + 1][j].z);
    EXPECT_EQ(waveMesh.points[44][j].z, before.points[0][j].z);
    for (int i = 0; i < waveMeshSize; ++i) {
      EXPECT_EQ(waveMesh.points[i][j].x, before.points[i][j].x);
      EXPECT_EQ(waveMesh.points[i][j].y, before.points[i][j].y);
    }
  }
}

TEST(WaveMesh, FortyFiveShiftsAndARebuildGiveTheBuiltMeshBitForBit) {
  BuildWaveMesh();
  const WaveMesh built = waveMesh;
  for (int shift = 1; shift <= 45; ++shift) {
    ShiftWaveMesh();
    const bool same = std::memcmp(&waveMesh, &built, sizeof built) == 0;
    EXPECT_EQ(same, shift == 45) << "after " << shift << " shifts";
  }
  for (int shift = 0; shift < 7; ++shift) ShiftWaveMesh();
  BuildWaveMesh();
  EXPECT_EQ(std::memcmp(&waveMesh, &built, sizeof built), 0);
}

}  // namespace
