#include "show_replay.h"

#include <GL/gl.h>

#include "clock/demo_clock.h"
#include "clock/demo_state.h"
#include "render/draw_frame.h"
#include "render/init_scene.h"
#include "render/projection.h"
#include "render/wave_walls.h"

namespace {
int framesRun = 0;  // frames of the show run so far, drawn or skipped
}

ShowStretch FindShowStretch(int32_t fromTick, int32_t toTick) {
  // The clock alone decides which frames these are; the camera is not needed.
  const int32_t savedTick = demoTick;
  ShowStretch stretch;
  demoTick = 0;
  bool ended = false;
  for (int frame = 1; !ended; ++frame) {
    ended = AdvanceDemoClock();
    if (demoTick < fromTick || demoTick > toTick) continue;
    if (stretch.frameCount == 0) stretch.firstFrame = frame;
    ++stretch.frameCount;
  }
  demoTick = savedTick;
  return stretch;
}

int StartShow(int width, int height) {
  // The demo's window sets its projection before its scene set-up.
  SetDemoProjection(width, height);
  if (!InitScene()) return 0;
  ResetDemoClock();
  framesRun = 0;
  return 1;
}

void SkipToFrame(int frame) {
  while (framesRun + 1 < frame) {
    AdvanceDemoClock();
    ApplyCameraStep();
    AdvanceWave();
    ++framesRun;
  }
  // The first frame after set-up clears to black, every later one to the
  // fog's grey, which DrawFrame sets only after its own clear.
  if (framesRun > 0) glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
}

int DrawNextFrame() {
  AdvanceDemoClock();
  ApplyCameraStep();
  DrawFrame();
  return ++framesRun;
}

void ReadFramePixels(int width, int height, uint8_t* bgra) {
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, bgra);
}
