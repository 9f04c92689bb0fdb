// MPEG audio frame headers (layers I to III; MPEG 1, 2 and 2.5) and the
// ID3v2 tag that may come before the first frame, read from the bytes of a
// file. Plain byte parsing, shared by the back-ends that look at an MP3
// before their system decodes it; reads only the bytes given.
#pragma once

#include <cstddef>
#include <cstdint>

struct MpegAudioHeader {
  int layer = 0;            // 1, 2 or 3
  bool mpeg1 = false;       // MPEG 1, else MPEG 2 or 2.5
  int sampleRate = 0;       // 8000 .. 48000
  int channels = 0;         // 1 or 2
  int bitrateKbps = 0;      // of this frame
  int frameBytes = 0;       // the whole frame, header included
  int samplesPerFrame = 0;  // 384 (layer I), 576 (layer III of MPEG 2 and 2.5) or 1152
  bool checksum = false;    // 2 bytes of checksum follow the 4 header bytes
};

// A frame header at bytes[0..3]; false for anything else (free format and
// reserved values included).
bool ReadMpegAudioHeader(const uint8_t* bytes, size_t size, MpegAudioHeader* header);

// The length of an ID3v2 tag at the start of bytes, footer included, or 0
// when there is none. Needs the tag's first 10 bytes.
size_t Id3v2TagBytes(const uint8_t* bytes, size_t size);
