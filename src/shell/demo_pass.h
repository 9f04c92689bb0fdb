// One pass of the demo's main loop: handle one posted message, or advance
// the clock and draw one frame. The native loop calls it until the show is
// done; the browser calls it from its animation frames.
#pragma once

#include "platform/window_messages.h"

enum class DemoPassResult {
  message,  // a posted message was handled; nothing was drawn
  frame,    // the clock moved on and one frame was drawn
  done,     // the show is over: quit, Escape, the clock's end or a failed draw
};

// *message is the loop's record: the last posted message retrieved stays
// in it, and its wParam is the demo's exit code once the pass says done.
DemoPassResult RunDemoPass(DemoMessage* message);
