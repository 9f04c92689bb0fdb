#include "platform/mpeg_audio_header.h"

#include <cstring>

namespace {

// kbit/s by MPEG version (1, or 2 and 2.5), layer (I, II, III) and bitrate
// index 1..14.
constexpr int bitrates[2][3][15] = {{{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
                                     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
                                     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
                                    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
                                     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
                                     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
// Sample rates by index 0..2, for MPEG-1; MPEG-2 halves them, MPEG-2.5 quarters them.
constexpr int mpeg1Rates[3] = {44100, 48000, 32000};

}  // namespace

bool ReadMpegAudioHeader(const uint8_t* bytes, size_t size, MpegAudioHeader* header) {
  if (size < 4 || bytes[0] != 0xFF || (bytes[1] & 0xE0) != 0xE0) return false;
  const int version = (bytes[1] >> 3) & 3;    // 3: MPEG-1, 2: MPEG-2, 1: reserved, 0: MPEG-2.5
  const int layerBits = (bytes[1] >> 1) & 3;  // 1: III, 2: II, 3: I
  const int bitrateIndex = bytes[2] >> 4;
  const int rateIndex = (bytes[2] >> 2) & 3;
  if (version == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return false;

  MpegAudioHeader parsed;
  parsed.layer = 4 - layerBits;
  parsed.mpeg1 = version == 3;
  parsed.sampleRate = mpeg1Rates[rateIndex] >> (parsed.mpeg1 ? 0 : version == 2 ? 1 : 2);
  parsed.channels = (bytes[3] >> 6) == 3 ? 1 : 2;
  parsed.bitrateKbps = bitrates[parsed.mpeg1 ? 0 : 1][parsed.layer - 1][bitrateIndex];
  parsed.checksum = (bytes[1] & 1) == 0;  // the protection bit is 0 when a checksum follows
  const int padding = (bytes[2] >> 1) & 1;
  if (parsed.layer == 1) {
    parsed.samplesPerFrame = 384;
    parsed.frameBytes = (12000 * parsed.bitrateKbps / parsed.sampleRate + padding) * 4;
  } else {
    parsed.samplesPerFrame = parsed.layer == 3 && !parsed.mpeg1 ? 576 : 1152;
    parsed.frameBytes = parsed.samplesPerFrame / 8 * 1000 * parsed.bitrateKbps / parsed.sampleRate + padding;
  }
  *header = parsed;
  return true;
}

size_t Id3v2TagBytes(const uint8_t* bytes, size_t size) {
  if (size < 10 || std::memcmp(bytes, "ID3", 3) != 0) return 0;
  // The size is 28 bits, 7 in each of four bytes, excluding the 10-byte header.
  for (int i = 6; i < 10; ++i)
    if (bytes[i] & 0x80) return 0;
  const size_t body = size_t(bytes[6]) << 21 | size_t(bytes[7]) << 14 | size_t(bytes[8]) << 7 | bytes[9];
  const bool footer = bytes[5] & 0x10;
  return 10 + body + (footer ? 10 : 0);
}
