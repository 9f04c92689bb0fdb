#include "platform/web/mp3_length.h"

namespace {

struct FrameHeader {
  size_t length = 0;  // bytes, header included
  int samples = 0;
  int sampleRate = 0;
  int channels = 0;
};

// kbit/s by MPEG version (1, or 2 and 2.5) and layer (I, II, III); index 0
// (free format) and 15 are refused.
constexpr int bitrates[2][3][15] = {{{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
                                     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
                                     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
                                    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
                                     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
                                     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
constexpr int mpeg1Rates[3] = {44100, 48000, 32000};

bool ReadHeader(const unsigned char* at, FrameHeader* header) {
  if (at[0] != 0xFF || (at[1] & 0xE0) != 0xE0) return false;
  const int version = (at[1] >> 3) & 3;    // 0: 2.5, 1: reserved, 2: 2, 3: 1
  const int layerBits = (at[1] >> 1) & 3;  // 1: III, 2: II, 3: I
  const int bitrateIndex = at[2] >> 4;
  const int rateIndex = (at[2] >> 2) & 3;
  if (version == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return false;
  const bool mpeg1 = version == 3;
  const int layer = 4 - layerBits;  // 1, 2 or 3
  const int bitrate = bitrates[mpeg1 ? 0 : 1][layer - 1][bitrateIndex] * 1000;
  const int rate = mpeg1Rates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
  const int padding = (at[2] >> 1) & 1;
  if (layer == 1) {
    header->samples = 384;
    header->length = size_t(12 * bitrate / rate + padding) * 4;
  } else {
    header->samples = layer == 3 && !mpeg1 ? 576 : 1152;
    header->length = size_t(header->samples / 8 * bitrate / rate + padding);
  }
  header->sampleRate = rate;
  header->channels = (at[3] >> 6) == 3 ? 1 : 2;
  return header->length > 4;
}

}  // namespace

Mp3Length MeasureMp3(const unsigned char* bytes, size_t count) {
  Mp3Length length;
  size_t at = 0;
  // An ID3v2 tag: "ID3", version, flags, then its size in four 7-bit bytes.
  if (count >= 10 && bytes[0] == 'I' && bytes[1] == 'D' && bytes[2] == '3') {
    const size_t size = size_t(bytes[6] & 0x7F) << 21 | size_t(bytes[7] & 0x7F) << 14 | size_t(bytes[8] & 0x7F) << 7 |
                        size_t(bytes[9] & 0x7F);
    at = size + 10 <= count ? size + 10 : count;
  }
  while (count - at >= 4) {
    FrameHeader header;
    if (!ReadHeader(bytes + at, &header)) {
      ++at;
      continue;
    }
    if (length.sampleRate == 0) length.sampleRate = header.sampleRate;
    if (header.channels > length.channels) length.channels = header.channels;
    // Samples at the first frame's rate: a frame of another rate counts as
    // long as it plays.
    length.samples += int64_t(header.samples) * length.sampleRate / header.sampleRate;
    ++length.frames;
    if (header.length > count - at) break;
    at += header.length;
  }
  return length;
}

uint64_t DecodedBytes(const Mp3Length& length, int playbackRate) {
  if (length.sampleRate <= 0 || playbackRate <= 0) return 0;
  const uint64_t played = (uint64_t(length.samples) * uint64_t(playbackRate) + uint64_t(length.sampleRate) - 1) /
                          uint64_t(length.sampleRate);
  return played * uint64_t(length.channels) * 4;
}
