#include "platform/win32/mp3_frames.h"

#include <cstring>

namespace {

// Kilobits per second by bitrate index 1..14, layer III.
constexpr int mpeg1Bitrates[15] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
constexpr int mpeg2Bitrates[15] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
// Sample rates by index 0..2, for MPEG-1; MPEG-2 halves them, MPEG-2.5 quarters them.
constexpr int mpeg1Rates[3] = {44100, 48000, 32000};

// The decoder's own delay in samples, which encoders that record their delay leave out of it.
constexpr int decoderDelaySamples = 529;

bool SameKind(const Mp3FrameHeader& a, const Mp3FrameHeader& b) {
  return a.sampleRate == b.sampleRate && a.mpeg1 == b.mpeg1 && a.channels == b.channels;
}

uint32_t BigEndian32(const uint8_t* bytes) {
  return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
}

}  // namespace

bool ParseMp3FrameHeader(const uint8_t* bytes, size_t size, Mp3FrameHeader* header) {
  if (size < 4 || bytes[0] != 0xFF || (bytes[1] & 0xE0) != 0xE0) return false;
  const int version = (bytes[1] >> 3) & 3;  // 3: MPEG-1, 2: MPEG-2, 0: MPEG-2.5
  const int layer = (bytes[1] >> 1) & 3;    // 1: layer III
  const int bitrateIndex = bytes[2] >> 4;
  const int rateIndex = (bytes[2] >> 2) & 3;
  if (version == 1 || layer != 1 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return false;

  Mp3FrameHeader parsed;
  parsed.mpeg1 = version == 3;
  parsed.sampleRate = mpeg1Rates[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
  parsed.channels = (bytes[3] >> 6) == 3 ? 1 : 2;
  parsed.bitrateKbps = parsed.mpeg1 ? mpeg1Bitrates[bitrateIndex] : mpeg2Bitrates[bitrateIndex];
  const int padding = (bytes[2] >> 1) & 1;
  parsed.frameBytes = (parsed.mpeg1 ? 144000 : 72000) * parsed.bitrateKbps / parsed.sampleRate + padding;
  parsed.samplesPerFrame = parsed.mpeg1 ? 1152 : 576;
  parsed.crcBytes = (bytes[1] & 1) ? 0 : 2;  // the protection bit is 0 when a checksum follows
  parsed.sideInfoBytes = parsed.mpeg1 ? (parsed.channels == 1 ? 17 : 32) : (parsed.channels == 1 ? 9 : 17);
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

Mp3Search FindFirstMp3Frame(const uint8_t* bytes, size_t size, size_t* offset, Mp3FrameHeader* header) {
  for (size_t at = 0; at + 4 <= size; ++at) {
    Mp3FrameHeader first;
    if (!ParseMp3FrameHeader(bytes + at, size - at, &first)) continue;
    const size_t next = at + size_t(first.frameBytes);
    if (next + 4 > size) {
      *offset = at;
      return Mp3Search::needMore;
    }
    Mp3FrameHeader second;
    if (ParseMp3FrameHeader(bytes + next, size - next, &second) && SameKind(first, second)) {
      *offset = at;
      *header = first;
      return Mp3Search::found;
    }
  }
  // The last three bytes may start a header that the next bytes complete.
  *offset = size > 3 ? size - 3 : 0;
  return Mp3Search::notFound;
}

namespace {

// Whether an information frame's tag starts at bytes[at], within frameEnd.
bool IsInformationTag(const uint8_t* bytes, size_t at, size_t frameEnd) {
  return at + 8 <= frameEnd && (std::memcmp(bytes + at, "Xing", 4) == 0 || std::memcmp(bytes + at, "Info", 4) == 0);
}

}  // namespace

Mp3Gapless GaplessOf(const uint8_t* bytes, size_t size, const Mp3FrameHeader& header) {
  Mp3Gapless gapless;
  const size_t frameEnd = size < size_t(header.frameBytes) ? size : size_t(header.frameBytes);
  // The tag follows the side information, which follows the checksum when
  // there is one; some encoders put it where it would be without one.
  size_t tagAt = 4 + size_t(header.crcBytes) + size_t(header.sideInfoBytes);
  if (!IsInformationTag(bytes, tagAt, frameEnd)) {
    tagAt = 4 + size_t(header.sideInfoBytes);
    if (header.crcBytes == 0 || !IsInformationTag(bytes, tagAt, frameEnd)) return gapless;
  }
  gapless.leadingSamples = header.samplesPerFrame;
  const uint8_t* tag = bytes + tagAt;

  const uint32_t flags = BigEndian32(tag + 4);
  size_t encoderTagAt = tagAt + 8;
  long long frames = -1;
  if (flags & 1) {
    if (encoderTagAt + 4 > frameEnd) return gapless;
    frames = BigEndian32(bytes + encoderTagAt);
    encoderTagAt += 4;
  }
  if (flags & 2) encoderTagAt += 4;    // byte count
  if (flags & 4) encoderTagAt += 100;  // seek table
  if (flags & 8) encoderTagAt += 4;    // quality
  // The encoder's tag: a 9-byte name, 12 bytes of settings, then the delay
  // and the padding in 12 bits each.
  const size_t delayAt = encoderTagAt + 21;
  if (delayAt + 3 > frameEnd) return gapless;
  for (size_t i = encoderTagAt; i < encoderTagAt + 4; ++i)
    if (bytes[i] < 0x20 || bytes[i] > 0x7E) return gapless;  // no encoder's name: no delay recorded
  const int encoderDelay = bytes[delayAt] << 4 | bytes[delayAt + 1] >> 4;
  const int padding = (bytes[delayAt + 1] & 0x0F) << 8 | bytes[delayAt + 2];
  gapless.leadingSamples += encoderDelay + decoderDelaySamples;
  const long long sound = frames * header.samplesPerFrame - encoderDelay - padding;
  if (frames >= 0 && sound >= 0) gapless.soundSamples = sound;
  return gapless;
}
