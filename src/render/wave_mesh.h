// The grid of points from which the four waving walls are drawn.
#pragma once

#include <cstdint>

struct WavePoint {
  float x;  // along the first grid axis; depends on the row only
  float y;  // along the second grid axis; depends on the column only
  float z;  // wave height; depends on the row only
};

constexpr int waveMeshSize = 45;  // rows and columns

// Indexed [row][column], stored row by row.
struct WaveMesh {
  WavePoint points[waveMeshSize][waveMeshSize];
};

extern WaveMesh waveMesh;

// Computes every point afresh: the wave returns to its starting phase.
void BuildWaveMesh();
// Moves the height profile one row towards row 0; row 0's heights go to row 44.
// Values are only moved, so 45 shifts give back the mesh bit for bit.
void ShiftWaveMesh();
