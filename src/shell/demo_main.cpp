#include "shell/demo_main.h"

#include <system_error>
#include <thread>

#include "clock/demo_clock.h"
#include "music/music_thread.h"
#include "platform/audio_system.h"
#include "platform/process_exit.h"
#include "platform/window_system.h"
#include "render/draw_frame.h"
#include "shell/demo_keys.h"
#include "shell/demo_window.h"

namespace {

const char* const soundtrackPath = "Data/demo.mp3";

// Without a thread the demo runs silent; the wait at shutdown then returns at once.
// The audio system is started here, on the main thread, like the window system.
std::thread StartMusicThread() {
  StartAudioSystem();
  try {
    return std::thread(MusicThread, soundtrackPath);
  } catch (const std::system_error&) {
    return std::thread();
  }
}

void StopMusicThread(std::thread& music) {
  // The music thread may be inside a box of its own (a soundtrack error); it
  // then ends the process itself once the box is dismissed, and this thread
  // never comes back from the wait. So the desktop gets its mode back first.
  if (fullscreen) RestoreDisplayMode();
  musicStop.store(1);
  if (music.joinable()) music.join();
  StopAudioSystem();
}

}  // namespace

int DemoMain(void*, void*, const char*, int) {
  if (!OpenDemoWindow("Qeb", 640, 480, 16, fullscreen)) return 0;
  std::thread music = StartMusicThread();

  DemoMessage message;  // only posted messages (keys, quit) fill it
  bool done = false;
  while (!done) {
    if (PeekDemoMessage(&message)) {
      if (message.message == WM_QUIT)
        done = true;
      else
        DispatchDemoMessage(message);
      continue;
    }

    if (AdvanceDemoClock()) done = true;  // the last frame is still drawn
    ApplyCameraStep();
    if (active && !DrawFrame()) {
      done = true;
      continue;
    }
    if (keyTable[VK_ESCAPE]) {  // the frame just drawn is not presented
      done = true;
      continue;
    }
    SwapDemoBuffers(hDC);
    if (!ApplyDemoKeys()) {
      // The window could not be re-opened: the demo ends at once with 0.
      // The music thread is not waited for (it may be showing a box), and
      // no static destructor runs under its feet while it still plays.
      musicStop.store(1);
      EndProcess(0);
    }
  }

  StopMusicThread(music);
  CloseDemoWindow();
  return int(message.wParam);
}
