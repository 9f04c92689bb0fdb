// The triangle world, read from "data/world.txt".
#pragma once

#include <cstdint>

struct WorldVertex {
  float x, y, z;  // position in world units
  float u, v;     // texture coordinates
};

struct WorldTriangle {
  WorldVertex vertices[3];
};

struct World {
  // Number of triangles in the array; always the number that can be read,
  // even when the file announced more than could be allocated.
  int32_t triangleCount = 0;
  WorldTriangle* triangles = nullptr;
};

extern World world;

// Fills world from "data/world.txt". Reports nothing: a missing or broken file
// leaves an empty (or partly repeated) world.
void LoadWorld();
