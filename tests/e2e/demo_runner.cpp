// The demo as it ships, except that its message boxes are answered here:
// each box is printed to standard error as "BOX caption|text|type" and
// answered by the next of the arguments (yes, no or ok), or by the answer
// that ends the program when none are left.
//
// With --hold-music-box first, a box of the music thread ("MP3Player") stays
// up, as a real one does while nobody answers it, until a file named
// "dismiss-box" appears in the working directory.
//
// Leaving full screen is printed too, as "left full screen": Xvfb has one
// display mode, so the server cannot tell.
//
// With QEB_RUNNER_FRAME_RATE=N in the environment, frames are presented at
// most N times a second whenever the driver refused to present them in step
// with the display, as a display would pace them. The demo's clock counts
// frames: unpaced, a whole show lasts under a minute on a quiet machine and
// can end by itself in the middle of a scenario.
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <thread>

#include "platform/message_box.h"
#include "shell/demo_main.h"

struct SDL_Window;
extern "C" int SDL_SetWindowFullscreen(SDL_Window* window, uint32_t flags) {
  using Function = int (*)(SDL_Window*, uint32_t);
  static const Function real = reinterpret_cast<Function>(dlsym(RTLD_NEXT, "SDL_SetWindowFullscreen"));
  if (flags == 0) {
    std::fprintf(stderr, "left full screen\n");
    std::fflush(stderr);
  }
  return real(window, flags);
}

extern "C" int SDL_GL_GetSwapInterval(void);
extern "C" void SDL_GL_SwapWindow(SDL_Window* window) {
  using Function = void (*)(SDL_Window*);
  using Clock = std::chrono::steady_clock;
  static const Function real = reinterpret_cast<Function>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
  static const int rate = [] {
    const char* text = std::getenv("QEB_RUNNER_FRAME_RATE");
    return text ? std::atoi(text) : 0;
  }();
  static Clock::time_point next{};
  if (rate > 0 && SDL_GL_GetSwapInterval() == 0) {
    // Behind (a slow frame, a new window): the pace starts again from now.
    next = std::max(next, Clock::now());
    std::this_thread::sleep_until(next);
    next += Clock::duration(std::chrono::seconds(1)) / rate;
  }
  real(window);
}

namespace {

std::deque<int> answers;
bool holdMusicBox = false;

int AnswerFromArguments(WindowHandle, const char* text, const char* caption, unsigned type) {
  std::fprintf(stderr, "BOX %s|%s|%u\n", caption, text, type);
  std::fflush(stderr);
  if (holdMusicBox && std::strcmp(caption, "MP3Player") == 0) {
    while (access("dismiss-box", F_OK) != 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return IDOK;
  }
  if (answers.empty()) return EndingAnswer(type);
  const int answer = answers.front();
  answers.pop_front();
  return answer;
}

}  // namespace

int main(int argc, char** argv) {
  int first = 1;
  if (argc > 1 && std::strcmp(argv[1], "--hold-music-box") == 0) {
    holdMusicBox = true;
    first = 2;
  }
  for (int i = first; i < argc; ++i)
    answers.push_back(std::strcmp(argv[i], "yes") == 0 ? IDYES : std::strcmp(argv[i], "no") == 0 ? IDNO : IDOK);
  SetMessageBoxAnswerer(AnswerFromArguments);
  return DemoMain(nullptr, nullptr, "", 1);
}
