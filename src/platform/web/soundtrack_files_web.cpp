// Fetching the soundtrack's files after the first frame. The page fetches
// them (index.html: the file packager's second package); this side waits
// for the first frame to be shown, asks for them and runs the task once
// they have arrived.
#include "platform/soundtrack_files.h"

#include <emscripten/emscripten.h>

namespace {

void (*taskAfterFetch)() = nullptr;

// The JavaScript below is the browser's; clang-format would split it.
// clang-format off

// The browser paints after its animation-frame callbacks, so a timeout set
// in one runs once that frame is on the screen. The page then fetches the
// files and calls qeb_soundtrack_files_arrived.
EM_JS(void, FetchAfterFirstPaint, (), {
  requestAnimationFrame(function() { setTimeout(function() { Module.qebFetchSoundtrack(); }, 0); });
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
