// Feeds arbitrary bytes to both scene loaders as the contents of their file.
// Beyond the sanitizers' checks it insists that the world holds exactly the
// triangles it counts: every one is read back.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "scene/camera_path.h"
#include "scene/world.h"

static FILE* OpenBytes(const uint8_t* data, size_t size) {
  // Opened for reading only, so the bytes are never written.
  return fmemopen(const_cast<uint8_t*>(data), size, "r");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* stream = OpenBytes(data, size);
  if (!stream) return 0;
  LoadWorldFromStream(stream);
  std::fclose(stream);

  if (world.triangleCount < 0 || world.triangleCount > maxWorldTriangles) std::abort();
  if ((world.triangles == nullptr) != (world.triangleCount == 0)) std::abort();
  volatile float sum = 0;
  for (int32_t i = 0; i < world.triangleCount; ++i) {
    for (const WorldVertex& vertex : world.triangles[i].vertices) sum = sum + vertex.x + vertex.v;
  }

  stream = OpenBytes(data, size);
  if (!stream) return 0;
  LoadCameraPathFromStream(stream);
  std::fclose(stream);
  return 0;
}
