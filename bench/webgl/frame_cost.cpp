// The CPU cost of one DrawFrame up to the GL calls, on whichever GL this
// program is linked with: the tests' call recorder (the native reference,
// with vertex calls not listed, so it costs little more than the calls
// themselves), or the browser's GL layer over a sink that draws nothing
// (natively, and as wasm under node). run-frame-cost-bench.sh runs them
// side by side and gives the ratios.
//   qeb_frame_cost [rounds] [frames per round]
// Prints "<GL> <median microseconds per frame>".
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "clock/demo_state.h"
#include "frame_end.h"
#include "image/texture_bank.h"
#include "render/draw_frame.h"
#include "render/projection.h"
#include "render/scene_gl_state.h"
#include "render/wave_mesh.h"
#include "scene/world.h"

namespace {

std::vector<WorldTriangle> floorTriangles;

// 36 triangles: a floor of 6 x 3 cells around the walls, as the Mesa benchmark draws.
void BuildFloorWorld() {
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

double MicrosecondsPerFrame(int frames) {
  const auto start = std::chrono::steady_clock::now();
  for (int frame = 0; frame < frames; ++frame) {
    DrawFrame();
    EndFrame();
  }
  const std::chrono::duration<double, std::micro> elapsed = std::chrono::steady_clock::now() - start;
  return elapsed.count() / frames;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  const int frames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 100;
  StartFrames();
  SetDemoProjection(640, 480);
  for (int slot = 0; slot < textureBankSize; ++slot) textureBank.names[slot] = GLuint(slot + 1);
  SetSceneGlState();
  BuildWaveMesh();
  BuildFloorWorld();
  cameraState = {0.0f, 0.0f, 0.0f, 10.0f, 20.0f, 0.0f};

  MicrosecondsPerFrame(frames);  // warm-up: caches, the batch's capacity, the JIT under node
  std::vector<double> perRound;
  for (int round = 0; round < rounds; ++round) perRound.push_back(MicrosecondsPerFrame(frames));
  std::sort(perRound.begin(), perRound.end());
  std::printf("%s %.2f\n", FrameEndName(), perRound[perRound.size() / 2]);
  return 0;
}
