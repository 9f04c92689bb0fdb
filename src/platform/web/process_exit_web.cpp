// Ending the process in the browser. The page has one thread, so a request
// from "another thread" is the same as ending at once. The page is told the
// status first, so it can show that the show has ended and with which code.
#include <emscripten/emscripten.h>

#include <cstdio>

#include "platform/process_exit.h"

void EndProcess(int status) {
  std::fflush(nullptr);
  EM_ASM(
      {
        if (Module.qebEnded) Module.qebEnded($0);
      },
      status);
  // Leaves the current call through Emscripten's exit: no exit handlers or
  // static destructors run, and the frame loop stops.
  emscripten_force_exit(status);
  __builtin_unreachable();
}

void EndProcessFromOtherThread(int status) { EndProcess(status); }

int RequestedEndStatus() { return -1; }
