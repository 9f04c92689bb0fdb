// Fetching the soundtrack's files after the first frame. The page fetches
// them (index.html: the file packager's second package); this side waits
// for the first frame to be shown, asks for them and runs the task once
// they have arrived.
#include "platform/soundtrack_files.h"

#include <emscripten/emscripten.h>

namespace {

void (*taskAfterFetch)() = nullptr;

// The JavaScript below is the browser's; clang-format would split its operators.
// clang-format off

// The browser paints after its animation-frame callbacks, so a timeout set
// in one runs once that frame is on the screen. A page without the fetch
// (none of ours) goes on at once, with what its file system holds.
EM_JS(void, FetchAfterFirstPaint, (), {
  var fetchFiles = Module.qebFetchSoundtrack || function(done) { done(); };
  requestAnimationFrame(function() {
    setTimeout(function() {
      fetchFiles(function() {
        if (ABORT) return;  // the show ended meanwhile
        try {
          Module._qeb_soundtrack_files_arrived();
        } catch (error) {
          // The task may end the program (a missing soundtrack): that is
          // Emscripten's exit status thrown through here, not an error.
          if (!(error instanceof ExitStatus) && error !== 'unwind') throw error;
        }
      });
    }, 0);
  });
});

// clang-format on

}  // namespace

void FetchSoundtrackFilesThen(void (*task)()) {
  taskAfterFetch = task;
  FetchAfterFirstPaint();
}

extern "C" EMSCRIPTEN_KEEPALIVE void qeb_soundtrack_files_arrived() {
  void (*task)() = taskAfterFetch;
  taskAfterFetch = nullptr;
  if (task) task();
}
