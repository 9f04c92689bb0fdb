#include "mp3_fixtures.h"

#include <mpg123.h>
#include <stdlib.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace {

void PutLittleEndian(std::vector<unsigned char>& out, uint32_t value, int byteCount) {
  for (int i = 0; i < byteCount; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

std::vector<unsigned char> ToneWav(const ToneMp3& tone) {
  const uint32_t frames = static_cast<uint32_t>(tone.seconds * tone.sampleRate);
  const uint32_t dataBytes = frames * tone.channels * 2;
  std::vector<unsigned char> wav{'R', 'I', 'F', 'F'};
  PutLittleEndian(wav, 36 + dataBytes, 4);
  wav.insert(wav.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  PutLittleEndian(wav, 16, 4);
  PutLittleEndian(wav, 1, 2);  // PCM
  PutLittleEndian(wav, tone.channels, 2);
  PutLittleEndian(wav, tone.sampleRate, 4);
  PutLittleEndian(wav, tone.sampleRate * tone.channels * 2, 4);
  PutLittleEndian(wav, tone.channels * 2, 2);
  PutLittleEndian(wav, 16, 2);
  wav.insert(wav.end(), {'d', 'a', 't', 'a'});
  PutLittleEndian(wav, dataBytes, 4);
  for (uint32_t i = 0; i < frames; ++i) {
    for (int channel = 0; channel < tone.channels; ++channel) {
      double frequency = tone.frequency * (channel == 0 ? 1.0 : 1.5);
      double value = 12000.0 * std::sin(2.0 * M_PI * frequency * i / tone.sampleRate);
      PutLittleEndian(wav, static_cast<uint16_t>(static_cast<int16_t>(std::lround(value))), 2);
    }
  }
  return wav;
}

}  // namespace

std::string MakeToneMp3(const std::string& directory, const std::string& name, const ToneMp3& tone) {
  std::string wavPath = directory + "/" + name + ".wav";
  std::string mp3Path = directory + "/" + name;
  if (!WriteFileBytes(wavPath, ToneWav(tone))) return "";
  std::string command = "lame --quiet " + tone.lameOptions + " '" + wavPath + "' '" + mp3Path + "'";
  if (std::system(command.c_str()) != 0) return "";
  std::remove(wavPath.c_str());
  return mp3Path;
}

std::vector<unsigned char> ReadFileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

std::vector<int16_t> DecodeWithMpg123(const std::vector<unsigned char>& mp3, int* rate, int* channels) {
  std::vector<int16_t> samples;
  mpg123_handle* mpg = mpg123_new(nullptr, nullptr);
  if (!mpg) return samples;
  mpg123_param(mpg, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
  // Any rate, mono or stereo as the file is, always 16-bit.
  mpg123_format_none(mpg);
  const long* rates = nullptr;
  size_t rateCount = 0;
  mpg123_rates(&rates, &rateCount);
  for (size_t i = 0; i < rateCount; ++i)
    mpg123_format(mpg, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
  mpg123_open_feed(mpg);
  if (!mp3.empty()) mpg123_feed(mpg, mp3.data(), mp3.size());
  int16_t piece[4096];
  for (;;) {
    size_t bytes = 0;
    int result = mpg123_read(mpg, piece, sizeof piece, &bytes);
    samples.insert(samples.end(), piece, piece + bytes / sizeof(int16_t));
    if (result != MPG123_OK && result != MPG123_NEW_FORMAT) break;
  }
  long formatRate = 0;
  int formatChannels = 0, encoding = 0;
  mpg123_getformat(mpg, &formatRate, &formatChannels, &encoding);
  if (rate) *rate = int(formatRate);
  if (channels) *channels = formatChannels;
  mpg123_delete(mpg);
  return samples;
}
