#include "capture_options.h"

#include <charconv>
#include <cstring>
#include <string_view>

#include "clock/demo_state.h"

namespace {

constexpr int kMaxFramesPerSecond = 1000;

bool ParseInt(std::string_view text, int64_t low, int64_t high, int64_t* value) {
  int64_t parsed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (error != std::errc() || end != text.data() + text.size() || parsed < low || parsed > high) return false;
  *value = parsed;
  return true;
}

// "WxH", both even and positive. The upper limit is the GL's, checked when it opens.
bool ParseSize(std::string_view text, int* width, int* height, std::string* error) {
  const size_t x = text.find('x');
  int64_t w = 0, h = 0;
  if (x == std::string_view::npos || !ParseInt(text.substr(0, x), 0, 1 << 20, &w) ||
      !ParseInt(text.substr(x + 1), 0, 1 << 20, &h)) {
    *error = "--size wants WIDTHxHEIGHT, e.g. 1920x1440; got '" + std::string(text) + "'";
    return false;
  }
  if (w == 0 || h == 0 || w % 2 != 0 || h % 2 != 0) {
    // yuv420p halves both directions, so the video needs even sizes.
    *error = "--size " + std::string(text) + ": width and height must be even and above zero";
    return false;
  }
  *width = int(w);
  *height = int(h);
  return true;
}

}  // namespace

const char* CaptureUsage() {
  return "usage: qeb-capture [OPTIONS] OUT\n"
         "Renders Qeb's show from the data in the working directory into the video file OUT,\n"
         "every frame of the demo's clock, with the soundtrack under it. Needs no display.\n"
         "\n"
         "  --size WxH      picture size, even numbers (default 640x480; 4:3 sizes keep the\n"
         "                  demo's picture, e.g. 1920x1440)\n"
         "  --fps N         frames per second (default 60); the clock still moves once per frame\n"
         "  --from TICK     start at the first frame whose clock reaches TICK (default 0)\n"
         "  --to TICK       end at the last frame whose clock is at most TICK (default 19400)\n"
         "  --lossless      Matroska with FFV1 video and FLAC sound (name OUT .mkv)\n"
         "                  instead of H.264 (yuv420p) and AAC\n"
         "  --no-audio      a silent video; no soundtrack is needed\n"
         "  --force         overwrite OUT if it is a file (never a folder, device or FIFO)\n"
         "  --help          this text\n"
         "\n"
         "The container follows OUT's name: .mp4, .mkv, .mov ...; a name without a known\n"
         "extension gets MP4 (Matroska with --lossless). A .webm file gets VP9 and Opus, a\n"
         ".gif file 256 colours per frame and no sound (for short clips). Ctrl-C ends the\n"
         "capture early and keeps the frames written so far as a playable, shorter video;\n"
         "a second Ctrl-C ends it at once, leaving no file.\n";
}

CommandLine ParseCaptureOptions(int argc, const char* const* argv, CaptureOptions* options, std::string* error) {
  bool haveOutput = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    auto value = [&](std::string_view* out) {
      if (i + 1 >= argc) {
        *error = std::string(arg) + " needs a value";
        return false;
      }
      *out = argv[++i];
      return true;
    };
    std::string_view text;
    int64_t number = 0;
    if (arg == "--help" || arg == "-h") return CommandLine::help;
    if (arg == "--lossless") {
      options->lossless = true;
    } else if (arg == "--force") {
      options->overwrite = true;
    } else if (arg == "--no-audio") {
      options->withAudio = false;
    } else if (arg == "--size") {
      if (!value(&text) || !ParseSize(text, &options->width, &options->height, error)) return CommandLine::invalid;
    } else if (arg == "--fps") {
      if (!value(&text)) return CommandLine::invalid;
      if (!ParseInt(text, 1, kMaxFramesPerSecond, &number)) {
        *error = "--fps wants a whole number from 1 to 1000; got '" + std::string(text) + "'";
        return CommandLine::invalid;
      }
      options->framesPerSecond = int(number);
    } else if (arg == "--from" || arg == "--to") {
      if (!value(&text)) return CommandLine::invalid;
      if (!ParseInt(text, 0, demoEndTick, &number)) {
        *error = std::string(arg) + " wants a clock tick from 0 to 19400; got '" + std::string(text) + "'";
        return CommandLine::invalid;
      }
      (arg == "--from" ? options->fromTick : options->toTick) = int32_t(number);
    } else if (arg.size() > 1 && arg[0] == '-') {
      *error = "unknown option " + std::string(arg);
      return CommandLine::invalid;
    } else if (haveOutput) {
      *error = "only one output file, please: '" + options->outputPath + "' and '" + std::string(arg) + "'";
      return CommandLine::invalid;
    } else {
      options->outputPath = arg;
      haveOutput = true;
    }
  }
  if (!haveOutput) {
    *error = "no output file given";
    return CommandLine::invalid;
  }
  if (options->fromTick > options->toTick) {
    *error = "--from " + std::to_string(options->fromTick) + " comes after --to " + std::to_string(options->toTick);
    return CommandLine::invalid;
  }
  return CommandLine::capture;
}
