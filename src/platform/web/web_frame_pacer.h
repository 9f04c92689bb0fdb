// Which animation frames draw a demo frame. The clock counts frames and the
// soundtrack is written for 60 of them a second, so the page draws at most
// one frame per 1/60 s of animation-frame time: on a 120 Hz display every
// second animation frame, on a 144 Hz one the one nearest each 1/60 s, on
// a 60 Hz or slower one every animation frame. Frames are never made up
// for: a page hidden for a while starts afresh. Plain C++, so the native
// tests check it.
#pragma once

struct FramePacer {
  double nextDue = 0;      // milliseconds of animation-frame time
  double lastTime = 0;     // the last animation frame's time
  double interval = 0;     // the display's frame interval, smoothed (0: not known yet)
  bool drawnOnce = false;  // a frame has been drawn
};

constexpr double pacedFrameMilliseconds = 1000.0 / 60.0;

// An animation frame at `time` (milliseconds) has come: true when it draws
// a demo frame.
bool PaceAnimationFrame(FramePacer& pacer, double time);
