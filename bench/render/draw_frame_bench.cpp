// The cost of one DrawFrame at 640x480 on Mesa, against the same geometry
// replayed from a display list compiled once and against a clear alone, all
// in the same run. Needs a display: run it through run-draw-frame-bench.sh
// or scripts/run-benchmarks.sh, which interleave the three and give the
// ratios.
#include <GL/gl.h>
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "clock/demo_state.h"
#include "floor_world.h"
#include "gl_test_window.h"
#include "heap_state.h"
#include "image/texture_bank.h"
#include "render/draw_frame.h"
#include "render/projection.h"
#include "render/scene_gl_state.h"
#include "render/wave_mesh.h"

namespace {

constexpr int width = 640, height = 480;
constexpr int textureSize = 256;

GLuint frameList = 0;
// A checkerboard, so texturing is not one constant colour.
void UploadChecker(GLuint name, uint8_t shade) {
  std::vector<uint8_t> pixels(textureSize * textureSize * 3);
  for (int y = 0; y < textureSize; ++y)
    for (int x = 0; x < textureSize; ++x)
      for (int c = 0; c < 3; ++c)
        pixels[(y * textureSize + x) * 3 + c] = ((x / 32 + y / 32) % 2) ? shade : uint8_t(255 - shade);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, 3, textureSize, textureSize, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
}

// The demo's window and the state InitScene leaves, with hand-made textures.
bool OpenScene() {
  GlTestWindow screen;
  if (!OpenGlTestWindow("Qeb bench", width, height, false, &screen)) return false;
  SetDemoProjection(width, height);
  glGenTextures(textureBankSize, textureBank.names);
  for (int slot = 0; slot <= TextureSlot::begin; ++slot) UploadChecker(textureBank.names[slot], uint8_t(slot * 2));
  SetSceneGlState();
  BuildWaveMesh();
  UseFloorWorld();
  // The same calls, geometry and state, compiled once.
  frameList = glGenLists(1);
  glNewList(frameList, GL_COMPILE);
  DrawFrame();
  glEndList();
  return glGetError() == GL_NO_ERROR;
}

// glFinish makes each iteration include the rasterisation, not only the queuing.
void BM_DrawFrame(benchmark::State& state) {
  for (auto _ : state) {
    DrawFrame();
    glFinish();
  }
}
BENCHMARK(BM_DrawFrame)->Unit(benchmark::kMicrosecond);

void BM_DisplayList(benchmark::State& state) {
  for (auto _ : state) {
    glLoadIdentity();
    glCallList(frameList);
    glFinish();
  }
}
BENCHMARK(BM_DisplayList)->Unit(benchmark::kMicrosecond);

void BM_ClearOnly(benchmark::State& state) {
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFinish();
  }
}
BENCHMARK(BM_ClearOnly)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  FixHeapState();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (!OpenScene()) {
    std::fprintf(stderr, "draw_frame_bench: no GL window (%s); run it under a display\n", SDL_GetError());
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
