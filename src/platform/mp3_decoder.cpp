// The decoder handle: libmpg123 in feed mode, forced to the fixed output
// format, handing its samples to the registered output module.
#include "platform/mp3_decoder.h"

#include <mpg123.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

struct Decoder {
  mpg123_handle* mpg = nullptr;
  bool hasCodec = false;
  bool hasInputModule = false;
  bool hasOutputModule = false;
  DecoderOutputModule output;
  bool outputCreated = false;
  void* sink = nullptr;
  bool inputCreated = false;
  bool inputOpen = false;
  bool passGaveSound = false;   // since the last empty block
  unsigned char samples[4608];  // one MPEG-1 layer III frame at the output format
};

namespace {

// While the queue is full, the thread sleeps until about half of it has
// played, but never longer than this, so it sees a stop request promptly.
constexpr auto kLongestFullQueueWait = std::chrono::milliseconds(40);
constexpr size_t kSilentPassBytes = DECODER_QUEUE_LIMIT_BYTES;  // 200 ms

bool OpenFeed(Decoder* decoder) { return mpg123_open_feed(decoder->mpg) == MPG123_OK; }

// Every pass of the file starts on a fresh stream, so the decoder's start
// of track handling (tags, encoder delay) applies to each pass alike.
void StartNextPass(Decoder* decoder) {
  mpg123_close(decoder->mpg);
  decoder->inputOpen = OpenFeed(decoder);
  if (!decoder->passGaveSound) {
    // Keeps a file without sound from being read over and over at full speed.
    static const std::vector<unsigned char> silence(kSilentPassBytes, 0);
    decoder->output.queue(decoder->sink, silence.data(), silence.size());
  }
  decoder->passGaveSound = false;
}

}  // namespace

int decoder_new(DecoderHandle* decoder) {
  if (!decoder) return -1;
  int error = MPG123_OK;
  mpg123_handle* mpg = mpg123_new(nullptr, &error);
  if (!mpg) return -1;
  // MPG123_ADD_FLAGS keeps the default flags (gapless decoding among them).
  bool configured = mpg123_param(mpg, MPG123_ADD_FLAGS, MPG123_QUIET, 0) == MPG123_OK &&
                    mpg123_format_none(mpg) == MPG123_OK &&
                    mpg123_format(mpg, DECODER_OUTPUT_RATE, MPG123_STEREO, MPG123_ENC_SIGNED_16) == MPG123_OK;
  if (!configured) {
    mpg123_delete(mpg);
    return -1;
  }
  *decoder = new Decoder;
  (*decoder)->mpg = mpg;
  return 0;
}

void decoder_delete(DecoderHandle decoder) {
  if (!decoder) return;
  if (decoder->sink) decoder->output.close(decoder->sink);
  mpg123_close(decoder->mpg);
  mpg123_delete(decoder->mpg);
  delete decoder;
}

int mpeg_codec_module_register(DecoderCodecModule* module) {
  if (!module) return -1;
  module->name = "mpeg";
  return 0;
}

int decoder_codec_module_register(DecoderHandle decoder, const DecoderCodecModule* module) {
  if (!decoder || !module || !module->name) return -1;
  decoder->hasCodec = true;
  return 0;
}

int memory_input_module_register(DecoderInputModule* module) {
  if (!module) return -1;
  module->name = "memory";
  return 0;
}

int decoder_input_module_register(DecoderHandle decoder, const DecoderInputModule* module) {
  if (!decoder || !module || !module->name) return -1;
  decoder->hasInputModule = true;
  return 0;
}

int decoder_output_module_register(DecoderHandle decoder, const DecoderOutputModule* module) {
  if (!decoder || !module || !module->open || !module->queuedBytes || !module->queue || !module->close) return -1;
  if (decoder->sink) return -1;  // the open output keeps its module
  decoder->output = *module;
  decoder->hasOutputModule = true;
  return 0;
}

int decoder_output_new(DecoderHandle decoder, const char*, int module) {
  if (!decoder || !decoder->hasOutputModule || module != DECODER_MODULE_DEFAULT) return -1;
  decoder->outputCreated = true;
  return 0;
}

int decoder_output_open(DecoderHandle decoder) {
  if (!decoder || !decoder->outputCreated) return -1;
  if (decoder->sink) return 0;
  decoder->sink = decoder->output.open();
  return decoder->sink ? 0 : -1;
}

int decoder_input_new(DecoderHandle decoder, const char*, int module) {
  if (!decoder || !decoder->hasInputModule || module != DECODER_MODULE_DEFAULT) return -1;
  decoder->inputCreated = true;
  return 0;
}

int decoder_input_open(DecoderHandle decoder) {
  if (!decoder || !decoder->inputCreated || !decoder->hasCodec || !decoder->sink) return -1;
  if (decoder->inputOpen) return 0;
  decoder->inputOpen = OpenFeed(decoder);
  return decoder->inputOpen ? 0 : -1;
}

int decoder_input_send_message(DecoderHandle decoder, int message, const void* data, size_t byteCount) {
  if (!decoder || !decoder->inputOpen || message != DECODER_MESSAGE_INPUT_BLOCK) return -1;
  if (byteCount == 0) {
    StartNextPass(decoder);
    return decoder->inputOpen ? 0 : -1;
  }
  if (!data) return -1;
  return mpg123_feed(decoder->mpg, static_cast<const unsigned char*>(data), byteCount) == MPG123_OK ? 0 : -1;
}

int decoder_play(DecoderHandle decoder) {
  if (!decoder || !decoder->inputOpen) return DECODER_PLAY_ENDED;
  const size_t queuedBytes = decoder->output.queuedBytes(decoder->sink);
  if (queuedBytes >= DECODER_QUEUE_LIMIT_BYTES) {
    // Fewer, longer sleeps: each wake-up costs about as much as decoding a frame.
    const size_t bytesPerMillisecond = DECODER_OUTPUT_RATE / 1000 * DECODER_OUTPUT_FRAME_BYTES;
    const auto untilHalfPlayed =
        std::chrono::milliseconds((queuedBytes - DECODER_QUEUE_LIMIT_BYTES / 2) / bytesPerMillisecond);
    std::this_thread::sleep_for(std::min(untilHalfPlayed, kLongestFullQueueWait));
    return DECODER_PLAY_BUSY;
  }
  size_t decodedBytes = 0;
  int result = mpg123_read(decoder->mpg, decoder->samples, sizeof decoder->samples, &decodedBytes);
  if (decodedBytes > 0) {
    decoder->output.queue(decoder->sink, decoder->samples, decodedBytes);
    decoder->passGaveSound = true;
  }
  switch (result) {
    case MPG123_OK:
    case MPG123_NEW_FORMAT:  // the format is fixed; nothing to change
      return DECODER_PLAY_AGAIN;
    case MPG123_NEED_MORE:
    case MPG123_DONE:  // the pass is over; the next pass starts with the next block
      return DECODER_PLAY_NEED_INPUT;
    default:
      return DECODER_PLAY_ENDED;
  }
}
