// The decoder handle: the modules, the order of calls, the output's format
// and its pacing, over the system's MP3 stream (mp3_stream.h).
#include "platform/mp3_decoder.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/mp3_stream.h"

struct Decoder {
  Mp3Stream* stream = nullptr;
  bool hasCodec = false;
  bool hasInputModule = false;
  bool hasOutputModule = false;
  DecoderOutputModule output;
  bool outputCreated = false;
  void* sink = nullptr;
  DecoderFormat sinkFormat = DECODER_FIRST_FORMAT;
  // The stream's latest format; the sink is reopened at it when they differ.
  DecoderFormat streamFormat = DECODER_FIRST_FORMAT;
  bool inputCreated = false;
  bool inputOpen = false;
  bool passGaveSound = false;  // since the last empty block
};

namespace {

// While the queue is full, the thread sleeps until about half of it has
// played, but never longer than this, so it sees a stop request promptly.
constexpr auto kLongestFullQueueWait = std::chrono::milliseconds(40);

// Sleeps while queuedBytes of sound at format play down to keptBytes: at
// least a millisecond, so a caller that loops never spins, and at most
// kLongestFullQueueWait.
void WaitWhileQueued(DecoderFormat format, size_t queuedBytes, size_t keptBytes) {
  const size_t bytesPerSecond = size_t(format.rate) * DecoderFrameBytes(format);
  const auto playing = std::chrono::milliseconds((queuedBytes - keptBytes) * 1000 / bytesPerSecond);
  std::this_thread::sleep_for(
      std::clamp<std::chrono::milliseconds>(playing, std::chrono::milliseconds(1), kLongestFullQueueWait));
}

void StartNextPass(Decoder* decoder) {
  decoder->inputOpen = RestartMp3Stream(decoder->stream);
  if (!decoder->passGaveSound && decoder->sink) {
    // Keeps a file without sound from being read over and over at full speed: 200 ms of silence.
    const std::vector<unsigned char> silence(DecoderQueueLimitBytes(decoder->sinkFormat), 0);
    decoder->output.queue(decoder->sink, silence.data(), silence.size());
  }
  decoder->passGaveSound = false;
}

// Reopens the output at the stream's format once what it holds has played.
// DECODER_PLAY_AGAIN when the output plays that format now.
int SwitchOutputFormat(Decoder* decoder) {
  if (decoder->streamFormat == decoder->sinkFormat) return DECODER_PLAY_AGAIN;
  if (const size_t queuedBytes = decoder->output.queuedBytes(decoder->sink); queuedBytes > 0) {
    WaitWhileQueued(decoder->sinkFormat, queuedBytes, 0);
    return DECODER_PLAY_BUSY;
  }
  decoder->output.close(decoder->sink);
  decoder->sink = decoder->output.open(decoder->streamFormat);
  if (!decoder->sink) return DECODER_PLAY_ENDED;
  decoder->sinkFormat = decoder->streamFormat;
  return DECODER_PLAY_AGAIN;
}

}  // namespace

int decoder_new(DecoderHandle* decoder) {
  if (!decoder) return -1;
  Mp3Stream* stream = NewMp3Stream();
  if (!stream) return -1;
  *decoder = new Decoder;
  (*decoder)->stream = stream;
  return 0;
}

void decoder_delete(DecoderHandle decoder) {
  if (!decoder) return;
  if (decoder->sink) decoder->output.close(decoder->sink);
  DeleteMp3Stream(decoder->stream);
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
  decoder->sink = decoder->output.open(DECODER_FIRST_FORMAT);
  decoder->sinkFormat = DECODER_FIRST_FORMAT;
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
  decoder->inputOpen = RestartMp3Stream(decoder->stream);
  return decoder->inputOpen ? 0 : -1;
}

int decoder_input_send_message(DecoderHandle decoder, int message, const void* data, size_t byteCount) {
  if (!decoder || !decoder->inputOpen || message != DECODER_MESSAGE_INPUT_BLOCK) return -1;
  if (byteCount == 0) {
    StartNextPass(decoder);
    return decoder->inputOpen ? 0 : -1;
  }
  if (!data) return -1;
  return FeedMp3Stream(decoder->stream, static_cast<const unsigned char*>(data), byteCount) ? 0 : -1;
}

int decoder_play(DecoderHandle decoder) {
  if (!decoder || !decoder->inputOpen || !decoder->sink) return DECODER_PLAY_ENDED;
  if (decoder->streamFormat != decoder->sinkFormat) {
    const int switched = SwitchOutputFormat(decoder);
    if (switched != DECODER_PLAY_AGAIN) return switched;
  }
  const size_t queuedBytes = decoder->output.queuedBytes(decoder->sink);
  const size_t queueLimit = DecoderQueueLimitBytes(decoder->sinkFormat);
  if (queuedBytes >= queueLimit) {
    // Fewer, longer sleeps: each wake-up costs about as much as decoding a frame.
    WaitWhileQueued(decoder->sinkFormat, queuedBytes, queueLimit / 2);
    return DECODER_PLAY_BUSY;
  }
  const unsigned char* samples = nullptr;
  size_t decodedBytes = 0;
  const Mp3Step step = DecodeMp3Stream(decoder->stream, &samples, &decodedBytes);
  if (decodedBytes > 0) {
    decoder->output.queue(decoder->sink, samples, decodedBytes);
    decoder->passGaveSound = true;
  }
  switch (step) {
    case Mp3Step::more:
      return DECODER_PLAY_AGAIN;
    case Mp3Step::newFormat:
      decoder->streamFormat = Mp3StreamFormat(decoder->stream);
      return SwitchOutputFormat(decoder);
    case Mp3Step::needInput:  // the pass is over; the next pass starts with the next block
      return DECODER_PLAY_NEED_INPUT;
    case Mp3Step::failed:
      break;
  }
  return DECODER_PLAY_ENDED;
}
