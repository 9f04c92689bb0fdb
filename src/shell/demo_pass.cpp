#include "shell/demo_pass.h"

#include "clock/demo_clock.h"
#include "music/music_thread.h"
#include "platform/process_exit.h"
#include "platform/window_system.h"
#include "render/draw_frame.h"
#include "shell/demo_keys.h"
#include "shell/demo_window.h"

DemoPassResult RunDemoPass(DemoMessage* message) {
  if (PeekDemoMessage(message)) {
    if (message->message == WM_QUIT) return DemoPassResult::done;
    DispatchDemoMessage(*message);
    return DemoPassResult::message;
  }

  const bool lastFrame = AdvanceDemoClock();  // the last frame is still drawn
  ApplyCameraStep();
  if (active && !DrawFrame()) return DemoPassResult::done;
  if (keyTable[VK_ESCAPE]) return DemoPassResult::done;  // the frame just drawn is not presented
  SwapDemoBuffers(hDC);
  if (!ApplyDemoKeys()) {
    // The window could not be re-opened: the demo ends at once with 0.
    // The music thread is not waited for (it may be showing a box), and
    // no static destructor runs under its feet while it still plays.
    musicStop.store(1);
    EndProcess(0);
  }
  return lastFrame ? DemoPassResult::done : DemoPassResult::frame;
}
