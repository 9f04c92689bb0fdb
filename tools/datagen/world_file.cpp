#include "datagen/world_file.h"

#include <array>

#include "datagen/decimal_text.h"
#include "datagen/room.h"

namespace {
// World units covered by one repeat of the floor and ceiling textures, and
// one repeat of the wall texture along the wall; the wall texture spans the
// height from floor to ceiling once.
constexpr double floorRepeat = 1.5;
constexpr double wallRepeat = 1.5;

struct Vertex {
  double x, y, z, u, v;
};
using Triangle = std::array<Vertex, 3>;

std::string VertexLine(const Vertex& vertex) {
  return FixedDecimal(vertex.x, 4) + " " + FixedDecimal(vertex.y, 4) + " " + FixedDecimal(vertex.z, 4) + " " +
         FixedDecimal(vertex.u, 4) + " " + FixedDecimal(vertex.v, 4) + "\n";
}

// Tile 'tile' (0..5) of a 3 x 2 grid over the room at height y, as two
// triangles. (Faces are not culled, so their winding does not matter.)
std::array<Triangle, 2> HorizontalTile(int tile, double y) {
  const double edgesX[] = {-roomHalfWidth, -roomHalfWidth / 3, roomHalfWidth / 3, roomHalfWidth};
  const double edgesZ[] = {-roomHalfWidth, 0.0, roomHalfWidth};
  const double x0 = edgesX[tile % 3], x1 = edgesX[tile % 3 + 1];
  const double z0 = edgesZ[tile / 3], z1 = edgesZ[tile / 3 + 1];
  auto corner = [&](double x, double z) { return Vertex{x, y, z, x / floorRepeat, z / floorRepeat}; };
  const Vertex a = corner(x0, z0), b = corner(x1, z0), c = corner(x1, z1), d = corner(x0, z1);
  return {Triangle{a, b, c}, Triangle{a, c, d}};
}

// Wall 'side' (0: -z, 1: +x, 2: +z, 3: -x) as three triangles fanned from the
// middle of its foot. Seen from inside, 'left' and 'right' are its ends and u
// runs from left to right.
std::array<Triangle, 3> RoomWall(int side) {
  const double h = roomHalfWidth;
  const double ends[4][4] = {{-h, -h, h, -h}, {h, -h, h, h}, {h, h, -h, h}, {-h, h, -h, -h}};
  const double leftX = ends[side][0], leftZ = ends[side][1], rightX = ends[side][2], rightZ = ends[side][3];
  auto point = [&](double along, double y) {
    const double t = along / (2 * h);
    return Vertex{leftX + (rightX - leftX) * t, y, leftZ + (rightZ - leftZ) * t, along / wallRepeat,
                  (y - roomFloorY) / (roomCeilingY - roomFloorY)};
  };
  const Vertex footLeft = point(0, roomFloorY), footMiddle = point(h, roomFloorY), footRight = point(2 * h, roomFloorY);
  const Vertex topLeft = point(0, roomCeilingY), topRight = point(2 * h, roomCeilingY);
  return {Triangle{footLeft, footMiddle, topLeft}, Triangle{footMiddle, topRight, topLeft},
          Triangle{footMiddle, footRight, topRight}};
}
}  // namespace

std::string MakeWorldText() {
  const char* const wallNames[] = {"back wall (-z)", "right wall (+x)", "front wall (+z)", "left wall (-x)"};
  std::array<Triangle, 12> walls;
  std::array<std::string, 12> wallNotes;
  for (int side = 0; side < 4; ++side) {
    const auto triangles = RoomWall(side);
    for (int k = 0; k < 3; ++k) {
      walls[side * 3 + k] = triangles[k];
      wallNotes[side * 3 + k] = std::string(wallNames[side]) + ", part " + std::to_string(k + 1) + " of 3";
    }
  }

  std::string text =
      "// Qeb's room: a box 9 units square and 1.6 high round the origin.\n"
      "// The demo textures triangle i by i modulo 6: map3, map3, map2, map2,\n"
      "// map1, map1. So each group below holds two floor triangles (map3),\n"
      "// two wall triangles (map2) and two ceiling triangles (map1).\n"
      "// Each vertex: x y z u v\n"
      "NUMPOLLIES 36\n";
  for (int group = 0; group < 6; ++group) {
    text += "\n// group " + std::to_string(group + 1) + " of 6\n";
    text += "// floor tile " + std::to_string(group + 1) + " of 6 (map3)\n";
    for (const Triangle& triangle : HorizontalTile(group, roomFloorY)) {
      for (const Vertex& vertex : triangle) text += VertexLine(vertex);
    }
    for (int k = 0; k < 2; ++k) {
      text += "// " + wallNotes[group * 2 + k] + " (map2)\n";
      for (const Vertex& vertex : walls[group * 2 + k]) text += VertexLine(vertex);
    }
    text += "// ceiling tile " + std::to_string(group + 1) + " of 6 (map1)\n";
    for (const Triangle& triangle : HorizontalTile(group, roomCeilingY)) {
      for (const Vertex& vertex : triangle) text += VertexLine(vertex);
    }
  }
  return text;
}
