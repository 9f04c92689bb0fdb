// The browser's frame loop. A page must return to the browser after every
// frame, so the demo's loop becomes a function the browser calls once per
// animation frame. Only the browser build has this service.
#pragma once

// Handles what is waiting and draws one frame. Ends the process itself
// (process_exit.h) when the show is over.
using DemoFrameFunction = void (*)();

// Draws the first frame at once: the picture under the page's "click to
// start" cover. From the start of the show on (the click, or the page
// script's start()), draws one frame per animation frame. While the show
// waits, the page's script may draw frames at once (step). Returns at once.
void RunOnAnimationFrames(DemoFrameFunction frame);
