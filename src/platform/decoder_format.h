// The format of the soundtrack's samples, shared by the decoder handle
// (mp3_decoder.h) and what each system gives under it: the MP3 stream
// (mp3_stream.h) and the audio device (audio_output.h).
#pragma once

#include <cstddef>

// Signed 16-bit native-endian samples, interleaved, one sample per channel
// in each sample frame.
struct DecoderFormat {
  int rate = 0;      // sample frames per second
  int channels = 0;  // 1 or 2
  bool operator==(const DecoderFormat&) const = default;
};
// The format the output opens at, before the stream has told its own.
constexpr DecoderFormat DECODER_FIRST_FORMAT{44100, 2};

constexpr size_t DecoderFrameBytes(DecoderFormat format) { return size_t(format.channels) * 2; }
// About 200 ms of sound: the most the output is given ahead of time.
constexpr size_t DecoderQueueLimitBytes(DecoderFormat format) {
  return size_t(format.rate) / 5 * DecoderFrameBytes(format);
}
// About 25 ms of sound, in whole sample frames: the most one play call hands on.
constexpr size_t DecoderPieceBytes(DecoderFormat format) {
  return size_t(format.rate) / 40 * DecoderFrameBytes(format);
}
