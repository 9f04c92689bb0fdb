// The triangle world, read from "data/world.txt".
#pragma once

#include <cstdint>
#include <cstdio>

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

// The largest triangle count a world file may announce (3.75 MiB of
// triangles); a larger count is treated as one whose array cannot be
// allocated. The demo draws 36.
constexpr int32_t maxWorldTriangles = 65536;

// Fills world from "data/world.txt". Reports nothing: a missing or broken file
// leaves an empty (or partly repeated) world.
void LoadWorld();

// Fills world from an open stream, the file's contents; a null stream is a
// file that could not be opened. LoadWorld opens the file and calls this.
void LoadWorldFromStream(FILE* stream);
