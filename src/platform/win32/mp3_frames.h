// What the Win32 decoder needs to know about an MP3 stream before the Audio
// Compression Manager can decode it: where the first frame starts, its
// format, and how many samples at the start are the encoder's and decoder's
// delay rather than sound. Pure byte parsing; reads only the bytes given.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/mpeg_audio_header.h"

struct Mp3FrameHeader {
  int sampleRate = 0;       // 8000 .. 48000
  int channels = 0;         // 1 or 2
  int bitrateKbps = 0;      // of this frame
  int frameBytes = 0;       // the whole frame, header included
  int samplesPerFrame = 0;  // 1152 (MPEG-1) or 576 (MPEG-2 and 2.5)
  int crcBytes = 0;         // 2 when a checksum follows the 4 header bytes, else 0
  int sideInfoBytes = 0;    // after the header and its checksum, before the main data
  bool mpeg1 = false;
};

// A layer III frame header at bytes[0..3]; false for anything else.
bool ParseMp3FrameHeader(const uint8_t* bytes, size_t size, Mp3FrameHeader* header);

enum class Mp3Search { found, needMore, notFound };

// Looks for the first frame in bytes: a header whose next frame, where the
// header says it begins, starts with a header of the same kind. On found,
// *offset is where the frame starts. needMore: a candidate reaches past the
// end of bytes (*offset is where it starts). notFound: no candidate at all;
// *offset is how many leading bytes can be dropped.
Mp3Search FindFirstMp3Frame(const uint8_t* bytes, size_t size, size_t* offset, Mp3FrameHeader* header);

// What the stream's information frame ("Xing" or "Info"), when the first
// frame at bytes[0..size) is one, says about the decoded samples: the frame
// itself decodes to silence and is dropped; an encoder's tag adds its delay
// (plus the decoder's own 529 samples) to what is dropped at the start, and
// with the frame count gives how many samples of sound follow. A stream
// without an information frame drops nothing and its length is not known.
struct Mp3Gapless {
  int leadingSamples = 0;
  long long soundSamples = -1;  // after the leading ones; -1 when not known
};
Mp3Gapless GaplessOf(const uint8_t* bytes, size_t size, const Mp3FrameHeader& header);
