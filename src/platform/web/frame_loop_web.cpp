// The frame loop on requestAnimationFrame, and the page script's handle on
// it: start, step and the count of frames drawn (window.qeb in index.html).
#include "platform/frame_loop.h"

#include <emscripten/emscripten.h>

#include "platform/web/page_show.h"
#include "platform/web/web_frame_pacer.h"

namespace {

DemoFrameFunction demoFrame = nullptr;
bool started = false;
int framesDrawn = 0;
FramePacer pacer;

void DrawOneFrame() {
  ++framesDrawn;  // counted first: the last frame ends the process inside the call
  demoFrame();
}

// The JavaScript below is the browser's; clang-format would split it.
// clang-format off

// One call of qeb_animation_frame per animation frame, with the frame's
// time. The end of the process inside a frame (EndProcess) throws
// Emscripten's exit status through the call: that ends the loop, as does an
// end that came between frames (the soundtrack's error).
EM_JS(void, RunAnimationFrameLoop, (), {
  function onAnimationFrame(time) {
    if (ABORT) return;
    try {
      Module._qeb_animation_frame(time);
    } catch (error) {
      if (error && (error.name === 'ExitStatus' || error === 'unwind')) return;
      throw error;
    }
    if (!ABORT) requestAnimationFrame(onAnimationFrame);
  }
  requestAnimationFrame(onAnimationFrame);
});

// clang-format on

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
  StartShowInWindow();
  RunAnimationFrameLoop();
}

// An animation frame of the running show: a demo frame when it is due.
EMSCRIPTEN_KEEPALIVE void qeb_animation_frame(double time) {
  if (started && PaceAnimationFrame(pacer, time)) DrawOneFrame();
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
