// Ending the process in the browser. The page has one thread, so a request
// from "another thread" is the same as ending at once. The page is told the
// status first, so it can show that the show has ended and with which code,
// and the demo's event handlers are removed.
#include <emscripten/emscripten.h>

#include <cstdio>

#include "platform/process_exit.h"

void EndProcess(int status) {
  std::fflush(nullptr);
  // The demo's handlers of keys, focus and full screen go first: from now
  // on the browser's keys are the page's again.
  EM_ASM(
      {
        if (typeof JSEvents != 'undefined') JSEvents.removeAllEventListeners();
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
