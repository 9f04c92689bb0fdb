// The MP3 stream under the decoder handle: what each system decodes with
// (libmpg123 on Linux, the Audio Compression Manager on Windows). The handle
// in mp3_decoder.cpp keeps the modules, the call order and the output's
// pacing; a stream only turns fed MP3 bytes into samples at the stream's
// own format.
#pragma once

#include <cstddef>

#include "platform/decoder_format.h"

struct Mp3Stream;

// Null when the system's decoder cannot be made.
Mp3Stream* NewMp3Stream();
void DeleteMp3Stream(Mp3Stream* stream);

// Starts a pass through the file afresh, so the start of track handling
// (tags, the decoder's leading delay) applies to every pass alike. False
// when the stream cannot take input any more.
bool RestartMp3Stream(Mp3Stream* stream);

// Hands the stream the next bytes of the file. False on failure.
bool FeedMp3Stream(Mp3Stream* stream, const unsigned char* bytes, size_t count);

enum class Mp3Step {
  more,       // call again: there may be more samples
  newFormat,  // the samples after these are at Mp3StreamFormat; call again
  needInput,  // what was fed is used up
  failed,     // the stream cannot go on
};

// Decodes up to DecoderPieceBytes of samples, whole sample frames only,
// into memory the stream owns until the next call. Samples may come with
// any step, and are at the format the stream had before that step: with
// newFormat, the format changes after them. Every pass tells its format
// (newFormat) before its first samples.
Mp3Step DecodeMp3Stream(Mp3Stream* stream, const unsigned char** samples, size_t* byteCount);

// The format of the samples since the last newFormat step.
DecoderFormat Mp3StreamFormat(const Mp3Stream* stream);
