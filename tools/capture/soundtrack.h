// The soundtrack as the demo plays it: decoded by the demo's own decoder
// (libmpg123, signed 16-bit at the file's own rate and channel count, which
// must be 44.1 kHz stereo here), one pass of the file, which the demo
// repeats for as long as the show runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int soundtrackRate = 44100;
constexpr int soundtrackChannels = 2;

struct Soundtrack {
  std::vector<int16_t> onePass;  // interleaved left, right

  int64_t PassFrames() const { return int64_t(onePass.size()) / soundtrackChannels; }
  // Copies frameCount sample frames starting at sample frame 'start' of the
  // looped soundtrack (pass after pass, from the show's first frame).
  void CopyLooped(int64_t start, int frameCount, int16_t* interleaved) const;
};

// Decodes the file at path (a data path, as the demo names it). Returns ""
// on success, else the problem, in the demo's own words where it has them.
std::string DecodeSoundtrack(const char* path, Soundtrack* soundtrack);
