// How long an MP3 file plays, read from its frame headers without decoding
// it. The browser decodes a soundtrack whole into 32-bit samples, so the
// page checks the decoded size first. Plain C++, so the native tests check it.
#pragma once

#include <cstddef>
#include <cstdint>

struct Mp3Length {
  int64_t samples = 0;  // per channel, at the file's own rate
  int sampleRate = 0;   // of the first frame (0: no frame found)
  int channels = 0;     // the most any frame has (1 or 2)
  int64_t frames = 0;
};

// Walks the MPEG audio frames (layers I to III, MPEG 1, 2 and 2.5) after an
// ID3v2 tag, skipping bytes that start no frame. Reads nothing outside
// [bytes, bytes + count).
Mp3Length MeasureMp3(const unsigned char* bytes, size_t count);

// The bytes the browser's decoded copy takes: 32-bit samples of every
// channel, at the rate the page plays at (frames of other rates are
// resampled to it).
uint64_t DecodedBytes(const Mp3Length& length, int playbackRate);
