#include "platform/web/mp3_length.h"

#include <algorithm>

#include "platform/mpeg_audio_header.h"

Mp3Length MeasureMp3(const unsigned char* bytes, size_t count) {
  Mp3Length length;
  // Frames start after an ID3v2 tag; a tag said to reach past the end leaves no frame.
  size_t at = std::min(Id3v2TagBytes(bytes, count), count);
  while (count - at >= 4) {
    MpegAudioHeader header;
    if (!ReadMpegAudioHeader(bytes + at, count - at, &header)) {
      ++at;
      continue;
    }
    if (length.sampleRate == 0) length.sampleRate = header.sampleRate;
    if (header.channels > length.channels) length.channels = header.channels;
    // Samples at the first frame's rate: a frame of another rate counts as
    // long as it plays.
    length.samples += int64_t(header.samplesPerFrame) * length.sampleRate / header.sampleRate;
    ++length.frames;
    if (size_t(header.frameBytes) > count - at) break;
    at += size_t(header.frameBytes);
  }
  return length;
}

uint64_t DecodedBytes(const Mp3Length& length, int playbackRate) {
  if (length.sampleRate <= 0 || playbackRate <= 0) return 0;
  const uint64_t played = (uint64_t(length.samples) * uint64_t(playbackRate) + uint64_t(length.sampleRate) - 1) /
                          uint64_t(length.sampleRate);
  return played * uint64_t(length.channels) * 4;
}
