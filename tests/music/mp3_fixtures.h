// MP3 files for the soundtrack's tests and benchmark, made on the spot: a
// tone is synthesised into a WAV file and encoded with the lame command.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ToneMp3 {
  int sampleRate;
  int channels;
  double seconds;
  double frequency;         // the left channel; the right one is 1.5 times higher
  std::string lameOptions;  // e.g. "-b 128" or "-V 4"
};

// Encodes the tone into directory/name; returns the MP3 file's path, or ""
// when lame failed.
std::string MakeToneMp3(const std::string& directory, const std::string& name, const ToneMp3& tone);

std::vector<unsigned char> ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes);

// libmpg123's own decode of a whole file, at the file's own rate and channel
// count (signed 16-bit, interleaved), which it gives in *rate and *channels
// when they are not null.
std::vector<int16_t> DecodeWithMpg123(const std::vector<unsigned char>& mp3, int* rate = nullptr,
                                      int* channels = nullptr);
