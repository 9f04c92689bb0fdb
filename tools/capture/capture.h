// One capture from start to finish: the show rendered headless on this
// thread, converted and encoded on another, the soundtrack laid under it,
// the file named OUT only once it is complete.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "capture_options.h"

struct CaptureReport {
  int framesPlanned = 0;
  int framesWritten = 0;
  bool interrupted = false;
  double videoSeconds = 0;  // framesWritten at the frame rate
  uintmax_t fileBytes = 0;
  // Where the time went: the whole run, and the four stages, each summed
  // over all frames. Rendering and reading back run on one thread,
  // conversion and encoding on another, beside them.
  double wallSeconds = 0;
  double renderSeconds = 0;
  double readBackSeconds = 0;
  double convertSeconds = 0;
  double encodeSeconds = 0;
};

// Called after each rendered frame with the frames rendered so far and the total.
using CaptureProgress = std::function<void(int done, int total)>;

// Runs the capture in the working directory's data. Returns "" on success
// (the whole stretch, or the part before 'stop' was raised), else why it
// failed; then no output file is left behind. Prints the data loaders' own
// problems to standard error as they come.
std::string RunCapture(const CaptureOptions& options, const std::atomic<bool>& stop, const CaptureProgress& progress,
                       CaptureReport* report);

// The show drawn and read back frame by frame, as a capture draws it, with
// nothing encoded: what rendering alone costs. Returns "" or the problem.
std::string RenderOnly(const CaptureOptions& options, CaptureReport* report);
