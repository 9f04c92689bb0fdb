#include "render/wave_mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

struct RowCase {
  int row;
  float x;  // the same for every column
  float z;  // the same for every column
};

// Rough values of a few rows, so a wrong formula shows as a readable number:
// x and y run in steps of 0.02 from -0.45, z samples sin(row * 4 degrees).
const RowCase builtRows[] = {
    {0, -0.45f, 0.0f},      {1, -0.43f, 0.0697565f}, {22, -0.01f, 0.999391f},
    {23, 0.01f, 0.999391f}, {44, 0.43f, 0.0697565f},
};

// Each coordinate is evaluated in double precision, with double constants, in
// this order, then rounded once to float. pi is 3.141592654 on purpose.
float ExpectedCoordinate(int index) { return float((index / 5.0 - 4.5) * 0.1); }
float ExpectedHeight(int row) { return float(std::sin(row / 5.0 * 40.0 / 360.0 * 3.141592654)); }

TEST(WaveMesh, BuildGivesTheRowsOfTheWave) {
  BuildWaveMesh();
  for (const RowCase& expected : builtRows) {
    SCOPED_TRACE(expected.row);
    EXPECT_NEAR(waveMesh.points[expected.row][0].x, expected.x, 1e-6);
    EXPECT_NEAR(waveMesh.points[expected.row][0].z, expected.z, 1e-6);
  }
  EXPECT_EQ(waveMesh.points[0][0].z, 0.0f);
}

// A mesh computed in single precision lies within 1e-6 of these values but
// differs in the last bit of about half the rows: every point is compared
// exactly.
TEST(WaveMesh, BuildMatchesTheDoublePrecisionFormulaBitForBit) {
  BuildWaveMesh();
  int differing = 0;
  for (int i = 0; i < waveMeshSize; ++i) {
    for (int j = 0; j < waveMeshSize; ++j) {
      const WavePoint& point = waveMesh.points[i][j];
      const WavePoint expected = {ExpectedCoordinate(i), ExpectedCoordinate(j), ExpectedHeight(i)};
      if (std::memcmp(&point, &expected, sizeof point) != 0) {
        ADD_FAILURE() << "point [" << i << "][" << j << "] is (" << point.x << ", " << point.y << ", " << point.z
                      << "), expected (" << expected.x << ", " << expected.y << ", " << expected.z << ")";
        if (++differing == 5) return;
      }
    }
  }
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
