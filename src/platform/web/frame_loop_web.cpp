// The frame loop on requestAnimationFrame, and the page script's handle on
// it: start, step and the count of frames drawn (window.qeb in index.html).
#include "platform/frame_loop.h"

#include <emscripten/emscripten.h>

#include "platform/web/page_show.h"

namespace {

DemoFrameFunction demoFrame = nullptr;
bool started = false;
int framesDrawn = 0;

void DrawOneFrame() {
  ++framesDrawn;  // counted first: the last frame ends the process inside the call
  demoFrame();
}

// Emscripten's main loop rather than a bare animation-frame loop: it runs
// on requestAnimationFrame too, and it takes the end of the process inside
// a frame (EndProcess) as the end of the loop, not as an error.
void OnAnimationFrame() { DrawOneFrame(); }

}  // namespace

void RunOnAnimationFrames(DemoFrameFunction frame) {
  demoFrame = frame;
  DrawOneFrame();
  EM_ASM({
    if (Module.qebFirstFrame) Module.qebFirstFrame();
  });
}

extern "C" {

// The click on the cover: the show, the sound and full screen start
// together, inside the click, which the browser requires for the last two.
EMSCRIPTEN_KEEPALIVE void qeb_start() {
  if (started || !demoFrame) return;
  started = true;
  StartSoundtrackPlayback();
  EnterWishedFullScreen();
  emscripten_set_main_loop(OnAnimationFrame, 0, false);
}

// Draws count frames at once while the show waits for its start. Returns
// the number of frames drawn so far.
EMSCRIPTEN_KEEPALIVE int qeb_step(int count) {
  if (!started && demoFrame)
    for (int i = 0; i < count; ++i) DrawOneFrame();
  return framesDrawn;
}

EMSCRIPTEN_KEEPALIVE int qeb_frame() { return framesDrawn; }

}  // extern "C"
