#include "platform/web/web_frame_pacer.h"

#include <algorithm>

bool PaceAnimationFrame(FramePacer& pacer, double time) {
  constexpr double period = pacedFrameMilliseconds;
  if (pacer.drawnOnce) {
    // Gaps of a hidden page or a busy machine say nothing of the display.
    const double step = time - pacer.lastTime;
    if (step > 0 && step < 4 * period)
      pacer.interval = pacer.interval > 0 ? pacer.interval + (step - pacer.interval) / 8 : step;
  }
  pacer.lastTime = time;
  if (!pacer.drawnOnce || time - pacer.nextDue > period) {
    // The first frame, or the animation frames stopped for a while.
    pacer.drawnOnce = true;
    pacer.nextDue = time + period;
    return true;
  }
  // The animation frame nearest each due time draws: half a display frame
  // early is on time. Each drawn frame moves the due time on by exactly
  // 1/60 s, so the pace holds on average whatever the display's rate.
  const double slack = std::min(pacer.interval > 0 ? pacer.interval : period, period) / 2;
  if (time < pacer.nextDue - slack) return false;
  pacer.nextDue += period;
  return true;
}
