// The command line of qeb-capture: what to capture and into which file.
#pragma once

#include <cstdint>
#include <string>

#include "clock/demo_state.h"

struct CaptureOptions {
  std::string outputPath;
  int width = 640;
  int height = 480;
  int framesPerSecond = 60;
  int32_t fromTick = 0;          // the first frame captured is the first whose clock reaches this
  int32_t toTick = demoEndTick;  // the last is the last whose clock is at most this
  bool lossless = false;         // Matroska with FFV1 and FLAC instead of H.264 and AAC
  bool overwrite = false;        // --force
  bool withAudio = true;         // --no-audio clears it
};

enum class CommandLine { capture, help, invalid };

// Reads argv[1..]. On 'invalid' the reason is in *error.
CommandLine ParseCaptureOptions(int argc, const char* const* argv, CaptureOptions* options, std::string* error);

// The text --help prints.
const char* CaptureUsage();
