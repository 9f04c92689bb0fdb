// DemoMain in the browser. A page cannot block in a loop of its own: it
// opens the window and hands the frame loop to the browser, which calls one
// demo frame per animation frame (platform/frame_loop.h). The music's part
// follows once the soundtrack's files have arrived, after the first frame
// (platform/soundtrack_files.h), as the native music thread runs beside
// the first frames. Each animation frame handles the posted messages
// waiting and draws one frame, so the clock still counts frames. The
// shutdown runs when a pass says the show is done.
#include "clock/demo_state.h"
#include "music/music_thread.h"
#include "platform/audio_system.h"
#include "platform/frame_loop.h"
#include "platform/process_exit.h"
#include "platform/soundtrack_files.h"
#include "shell/demo_keys.h"
#include "shell/demo_main.h"
#include "shell/demo_pass.h"
#include "shell/demo_window.h"

namespace {

const char* const soundtrackPath = "Data/demo.mp3";

DemoMessage message;  // the loop's record, kept between animation frames

// The same shutdown as the native loop's end; the page then shows the
// exit code.
[[noreturn]] void EndShow() {
  musicStop.store(1);
  StopAudioSystem();
  CloseDemoWindow();
  EndProcess(int(message.wParam));
}

// One animation frame: the messages that arrived since the last one, then
// one frame.
void DemoFrame() {
  for (;;) {
    switch (RunDemoPass(&message)) {
      case DemoPassResult::message:
        continue;
      case DemoPassResult::frame:
        return;
      case DemoPassResult::done:
        EndShow();
    }
  }
}

// No threads in the page: the music thread's part runs on the main thread,
// between frames, and leaves the looping sound to the browser.
void PlayMusicPart() { MusicThread(soundtrackPath); }

}  // namespace

// What the page's script reads for window.qeb.state().
extern "C" __attribute__((used)) int qeb_tick() { return demoTick; }
extern "C" __attribute__((used)) int qeb_blend() { return blendOn; }
extern "C" __attribute__((used)) float qeb_heading() { return heading; }

int DemoMain(void*, void*, const char*, int) {
  if (!OpenDemoWindow("Qeb", 640, 480, 16, fullscreen)) EndProcess(0);
  // The audio system is there before the start click can come, so the
  // click's gesture can start it.
  StartAudioSystem();
  RunOnAnimationFrames(DemoFrame);
  FetchSoundtrackFilesThen(PlayMusicPart);
  return 0;  // the page's frames go on after main returns
}
