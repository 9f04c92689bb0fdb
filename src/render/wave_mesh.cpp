#include "render/wave_mesh.h"

#include <cmath>

WaveMesh waveMesh;

namespace {
// The wave's own value of pi, 3.141592654: every height is this constant's
// sine rounded to float, and the pictures and tests rely on those exact bits.
constexpr double wavePi = 3.141592654;

// x of a row and y of a column: (index / 5 - 4.5) * 0.1, evaluated in double.
float GridCoordinate(int index) { return float((index / 5.0 - 4.5) * 0.1); }

// Four degrees per row: 45 rows sample half a sine period.
float WaveHeight(int row) { return float(std::sin(row / 5.0 * 40.0 / 360.0 * wavePi)); }
}  // namespace

void BuildWaveMesh() {
  for (int i = 0; i < waveMeshSize; ++i) {
    for (int j = 0; j < waveMeshSize; ++j) {
      WavePoint& point = waveMesh.points[i][j];
      point.x = GridCoordinate(i);
      point.y = GridCoordinate(j);
      point.z = WaveHeight(i);
    }
  }
}

void ShiftWaveMesh() {
  constexpr int last = waveMeshSize - 1;
  for (int j = 0; j < waveMeshSize; ++j) {
    const float firstHeight = waveMesh.points[0][j].z;
    for (int i = 0; i < last; ++i) waveMesh.points[i][j].z = waveMesh.points[i + 1][j].z;
    waveMesh.points[last][j].z = firstHeight;
  }
}
