#include "shell/demo_main.h"

#include <system_error>
#include <thread>

#include "music/music_thread.h"
#include "platform/audio_system.h"
#include "shell/demo_pass.h"
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
  musicStop.store(1);
  if (music.joinable()) music.join();
  StopAudioSystem();
}

}  // namespace

int DemoMain(void*, void*, const char*, int) {
  if (!OpenDemoWindow("Qeb", 640, 480, 16, fullscreen)) return 0;
  std::thread music = StartMusicThread();

  DemoMessage message;  // only posted messages (keys, quit) fill it
  while (RunDemoPass(&message) != DemoPassResult::done) {
  }

  StopMusicThread(music);
  CloseDemoWindow();
  return int(message.wParam);
}
