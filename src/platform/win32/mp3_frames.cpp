#include "platform/win32/mp3_frames.h"

#include <cstring>

namespace {

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
  MpegAudioHeader mpeg;
  if (!ReadMpegAudioHeader(bytes, size, &mpeg) || mpeg.layer != 3) return false;
  Mp3FrameHeader parsed;
  parsed.mpeg1 = mpeg.mpeg1;
  parsed.sampleRate = mpeg.sampleRate;
  parsed.channels = mpeg.channels;
  parsed.bitrateKbps = mpeg.bitrateKbps;
  parsed.frameBytes = mpeg.frameBytes;
  parsed.samplesPerFrame = mpeg.samplesPerFrame;
  parsed.crcBytes = mpeg.checksum ? 2 : 0;
  parsed.sideInfoBytes = parsed.mpeg1 ? (parsed.channels == 1 ? 17 : 32) : (parsed.channels == 1 ? 9 : 17);
  *header = parsed;
  return true;
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
