// The sound under a captured stretch of the show, as the demo plays it: the
// soundtrack file decoded by the demo's own decoder, pass after pass from
// the show's first frame, brought to the capture's 44.1 kHz stereo signed
// 16-bit. Only the samples the stretch needs are decoded and kept, within a
// memory bound: a small file at a low rate can grow a hundredfold once
// decoded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int soundtrackRate = 44100;
constexpr int soundtrackChannels = 2;
// The most decoded sound one capture keeps: 256 MiB, over 25 minutes.
constexpr size_t soundtrackMemoryLimit = size_t(256) << 20;

// Sample frames of the looped soundtrack, counted from the show's start.
struct SoundStretch {
  int64_t start = 0;
  int64_t length = 0;
};

class Soundtrack {
 public:
  // Copies frameCount sample frames from sample frame 'start' of the looped
  // soundtrack; [start, start + frameCount) lies inside the decoded stretch.
  void CopyLooped(int64_t start, int frameCount, int16_t* interleaved) const;

  // One pass of the file, or only the stretch: what was kept.
  size_t KeptBytes() const { return samples_.size() * sizeof(int16_t); }

 private:
  friend std::string DecodeSoundtrack(const char*, SoundStretch, size_t, Soundtrack*);
  std::vector<int16_t> samples_;  // interleaved left, right
  // With passFrames_ 0, samples_ is the stretch itself, from firstFrame_ on;
  // otherwise it is one whole pass, which repeats every passFrames_.
  int64_t firstFrame_ = 0;
  int64_t passFrames_ = 0;
};

// Decodes what 'stretch' needs of the file at path (a data path, as the
// demo names it), keeping at most memoryLimit bytes. Returns "" on success,
// else the problem, in the demo's own words where it has them.
std::string DecodeSoundtrack(const char* path, SoundStretch stretch, size_t memoryLimit, Soundtrack* soundtrack);
