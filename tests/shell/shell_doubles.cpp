#include "shell_doubles.h"

#include <chrono>
#include <thread>

#include "fake_window_system.h"
#include "music/music_thread.h"
#include "platform/audio_system.h"
#include "render/draw_frame.h"
#include "render/init_scene.h"

ShellDoubles shellDoubles;
std::atomic<uint8_t> musicStop{0};

void ResetShellDoubles() {
  shellDoubles = ShellDoubles{};
  musicStop.store(0);
}

int InitScene() {
  ++shellDoubles.initSceneCalls;
  fakeWindowSystem.log.push_back("InitScene");
  return shellDoubles.initSceneCalls == shellDoubles.initSceneFailsOnCall ? 0 : 1;
}

int DrawFrame() {
  ++shellDoubles.drawFrameCalls;
  return shellDoubles.drawFrameCalls == shellDoubles.drawFrameFailsOnCall ? 0 : 1;
}

int MusicThread(const char* path) {
  ++shellDoubles.musicThreadStarts;
  shellDoubles.audioStartedBeforeMusic = shellDoubles.audioSystemStarted;
  shellDoubles.musicPath = path;
  while (!musicStop.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  if (shellDoubles.musicThreadIgnoresStop) std::this_thread::sleep_for(std::chrono::seconds(5));
  shellDoubles.musicThreadEnded = true;
  fakeWindowSystem.log.push_back("MusicThread ends");  // the main thread is waiting: no other writer
  return 0;
}

bool StartAudioSystem() {
  shellDoubles.audioSystemStarted = true;
  return true;
}

void StopAudioSystem() {
  // The music thread has ended before the audio system stops.
  shellDoubles.audioStoppedAfterMusic = shellDoubles.musicThreadEnded;
  shellDoubles.audioSystemStarted = false;
}
