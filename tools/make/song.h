// The person's song as the demo's soundtrack: decoded with FFmpeg's
// libraries to 44.1 kHz stereo, brought to the default soundtrack's
// loudness (-14 LUFS integrated) with its true peak below -1 dBFS (a
// limiter from libavfilter takes the loudest peaks down when the gain
// alone would push them over), cut and faded out before the clock's end
// when it is longer than the show. A shorter song is kept as it is: the
// demo loops its soundtrack.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PreparedSong {
  std::vector<int16_t> samples;  // interleaved stereo at 44.1 kHz
  double sourceLoudness = 0;     // LUFS, as decoded
  double loudness = 0;           // LUFS, as written
  double truePeak = 0;           // dBFS, as written
  double seconds = 0;            // of the song itself
  bool fadedOut = false;
};

// False with a reason: the file cannot be decoded, or it is silent.
bool PrepareSong(const std::string& path, PreparedSong& song, std::string& error);

// The highest level of the signal between its samples, in dBFS: the
// samples are resampled to four times the rate and the largest is taken.
double TruePeak(const std::vector<float>& left, const std::vector<float>& right, int sampleRate);
