// Feeds arbitrary bytes to the soundtrack decoder as the music thread does:
// the file in blocks of 4096 bytes, an empty block at its end, twice round
// the loop. The output is a sink that takes everything at once, so nothing
// waits. Beyond the sanitizers' checks it insists that the decoder hands on
// only whole sample frames of the format it opened the sink at, never more
// than 200 ms at once, that decoder_play gives only its listed results, and
// that it asks for input again within a bounded number of calls.
#include <cstdint>
#include <cstdlib>

#include "platform/mp3_decoder.h"

namespace {

DecoderFormat sinkFormat;

void* OpenSink(DecoderFormat format) {
  if (format.rate < 8000 || format.rate > 48000 || (format.channels != 1 && format.channels != 2)) std::abort();
  sinkFormat = format;
  return &sinkFormat;
}
size_t NothingQueued(void*) { return 0; }
void TakeSamples(void*, const void* samples, size_t byteCount) {
  // The largest single hand-over is the 200 ms of silence that stands in
  // for a pass without sound; decoded sound comes a piece at a time.
  if (!samples || byteCount == 0 || byteCount % DecoderFrameBytes(sinkFormat) != 0 ||
      byteCount > DecoderQueueLimitBytes(sinkFormat))
    std::abort();
  volatile unsigned char last = static_cast<const unsigned char*>(samples)[byteCount - 1];
  (void)last;
}
void CloseSink(void*) {}

// Plays until the decoder asks for input; false when it ended playback.
bool PlayUntilHungry(DecoderHandle decoder) {
  for (int call = 0; call < 100000; ++call) {
    int result = decoder_play(decoder);
    if (result == DECODER_PLAY_NEED_INPUT) return true;
    if (result == DECODER_PLAY_ENDED) return false;
    if (result != DECODER_PLAY_AGAIN) std::abort();  // busy cannot happen: the sink is never full
  }
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DecoderHandle decoder = nullptr;
  if (decoder_new(&decoder) != 0) std::abort();
  DecoderCodecModule codec;
  mpeg_codec_module_register(&codec);
  decoder_codec_module_register(decoder, &codec);
  DecoderInputModule input;
  memory_input_module_register(&input);
  decoder_input_module_register(decoder, &input);
  DecoderOutputModule output;
  output.name = "sink";
  output.open = OpenSink;
  output.queuedBytes = NothingQueued;
  output.queue = TakeSamples;
  output.close = CloseSink;
  decoder_output_module_register(decoder, &output);
  if (decoder_output_new(decoder, nullptr, DECODER_MODULE_DEFAULT) != 0 || decoder_output_open(decoder) != 0 ||
      decoder_input_new(decoder, nullptr, DECODER_MODULE_DEFAULT) != 0 || decoder_input_open(decoder) != 0)
    std::abort();

  bool playing = true;
  size_t offset = 0;
  for (int pass = 0; pass < 2 && playing;) {
    size_t blockLength = size - offset < 4096 ? size - offset : 4096;
    decoder_input_send_message(decoder, DECODER_MESSAGE_INPUT_BLOCK, data + offset, blockLength);
    offset += blockLength;
    if (blockLength == 0) {  // the end of the file: the next block starts it again
      offset = 0;
      ++pass;
    }
    playing = PlayUntilHungry(decoder);
  }
  decoder_delete(decoder);
  return 0;
}
