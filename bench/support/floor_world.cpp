#include "floor_world.h"

#include <vector>

#include "scene/world.h"

void UseFloorWorld() {
  static std::vector<WorldTriangle> floorTriangles;
  floorTriangles.clear();
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 6; ++column) {
      const float x0 = -3.0f + column, x1 = x0 + 1.0f;
      const float z0 = -3.0f + 2.0f * row, z1 = z0 + 2.0f;
      const WorldVertex a{x0, 0, z0, 0, 0}, b{x1, 0, z0, 1, 0}, c{x1, 0, z1, 1, 2}, d{x0, 0, z1, 0, 2};
      floorTriangles.push_back({{a, b, c}});
      floorTriangles.push_back({{a, c, d}});
    }
  }
  world.triangleCount = int32_t(floorTriangles.size());
  world.triangles = floorTriangles.data();
}
