// Loads the triangle world from "data/world.txt".
//
// The file's first data line is the header "NUMPOLLIES <count>"; every later
// data line is one vertex "x y z u v", three per triangle. How this loader
// treats a file that does not say enough:
// - A file that cannot be opened gives an empty world (count 0, no array).
// - A header that does not match, or a negative count, gives count 0.
// - A count above maxWorldTriangles is one whose array cannot be allocated,
//   as is a failed allocation: both give an empty world.
// - A first vertex line with fewer than five numbers fills the missing ones
//   with 0; later short lines repeat the values of the vertex before them.
// - When the file ends early (even inside comments), every vertex still
//   expected repeats the last values read, so the world always holds the
//   announced count; they are filled without reading again.
// - A reload frees the array it replaces, whatever the new file holds.
#include "scene/world.h"

#include <cstdlib>

#include "platform/data_path.h"
#include "scene/data_line.h"

World world;

void LoadWorld() {
  FILE* file = OpenDataFile("data/world.txt", "rt");
  LoadWorldFromStream(file);
  if (file) std::fclose(file);
}

void LoadWorldFromStream(FILE* stream) {
  // Nothing refers to the previous array any more.
  std::free(world.triangles);
  world.triangles = nullptr;
  world.triangleCount = 0;
  if (!stream) return;

  char line[dataLineSize] = "";
  ReadDataLine(stream, line);
  int32_t count = ReadHeaderCount(line, "NUMPOLLIES");
  if (count == 0 || count > maxWorldTriangles) return;

  auto* triangles = static_cast<WorldTriangle*>(std::malloc(sizeof(WorldTriangle) * count));
  if (!triangles) return;
  world.triangles = triangles;
  world.triangleCount = count;

  // One set of temporaries for the whole file: a line that stops early keeps
  // the trailing values of the vertex before it.
  float x = 0, y = 0, z = 0, u = 0, v = 0;
  bool fileEnded = false;
  for (int32_t i = 0; i < count; ++i) {
    for (WorldVertex& vertex : triangles[i].vertices) {
      // After the end of the file every read would leave the same line and
      // every parse the same values, so the rest repeats without reading.
      if (!fileEnded) {
        ReadDataLine(stream, line);
        std::sscanf(line, "%f %f %f %f %f", &x, &y, &z, &u, &v);
        fileEnded = std::feof(stream) || std::ferror(stream);
      }
      vertex = {x, y, z, u, v};
    }
  }
}
