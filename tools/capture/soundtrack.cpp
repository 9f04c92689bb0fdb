#include "soundtrack.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/data_path.h"
#include "platform/mp3_decoder.h"

namespace {

constexpr size_t kBlockSize = 4096;  // the demo's reading block

// An output that keeps every sample instead of playing it. The decoder never
// waits on it, since nothing is ever queued unplayed.
std::vector<int16_t>* capturedSamples = nullptr;
// Whether the decoder asked for a format other than the soundtrack's.
bool otherFormatAsked = false;

void* OpenMemorySink(DecoderFormat format) {
  if (format != DecoderFormat{soundtrackRate, soundtrackChannels}) otherFormatAsked = true;
  return capturedSamples;
}
size_t NothingQueued(void*) { return 0; }
void KeepSamples(void* sink, const void* samples, size_t byteCount) {
  auto* kept = static_cast<std::vector<int16_t>*>(sink);
  const size_t oldSize = kept->size();
  kept->resize(oldSize + byteCount / sizeof(int16_t));
  std::memcpy(kept->data() + oldSize, samples, byteCount / sizeof(int16_t) * sizeof(int16_t));
}
void CloseMemorySink(void*) {}

// Feeds the whole file block by block, as the music thread does, letting
// the decoder run dry after each block. One pass: the demo starts each pass
// of the file afresh, so every later pass gives the same samples.
std::string DecodeOnePass(DecoderHandle decoder, FILE* stream) {
  unsigned char block[kBlockSize];
  for (;;) {
    const size_t blockLength = std::fread(block, 1, kBlockSize, stream);
    if (blockLength == 0) return std::feof(stream) ? "" : "kan geen bytes van input lezen";
    decoder_input_send_message(decoder, DECODER_MESSAGE_INPUT_BLOCK, block, blockLength);
    int result;
    do result = decoder_play(decoder);
    while (result == DECODER_PLAY_AGAIN || result == DECODER_PLAY_BUSY);
    if (result != DECODER_PLAY_NEED_INPUT) return "";  // the decoder ended playback, as the demo's would
  }
}

std::string Decode(DecoderHandle decoder, const char* path) {
  DecoderCodecModule codecModule;
  mpeg_codec_module_register(&codecModule);
  decoder_codec_module_register(decoder, &codecModule);
  DecoderInputModule inputModule;
  memory_input_module_register(&inputModule);
  decoder_input_module_register(decoder, &inputModule);
  const DecoderOutputModule memoryOutput = {"memory", OpenMemorySink, NothingQueued, KeepSamples, CloseMemorySink};
  decoder_output_module_register(decoder, &memoryOutput);
  decoder_output_new(decoder, nullptr, DECODER_MODULE_DEFAULT);
  if (decoder_output_open(decoder) != 0) return "Kan geen instantiatie van output maken";

  FILE* stream = OpenDataFile(path, "rb");
  if (!stream) return std::string("Er is geen file aanwezig met de naam : ") + path;
  std::string problem;
  if (decoder_input_new(decoder, nullptr, DECODER_MODULE_DEFAULT) != 0) problem = "kan geen input bakken";
  if (problem.empty() && decoder_input_open(decoder) != 0) problem = "kan geen input openen";
  if (problem.empty()) problem = DecodeOnePass(decoder, stream);
  std::fclose(stream);
  return problem;
}

}  // namespace

void Soundtrack::CopyLooped(int64_t start, int frameCount, int16_t* interleaved) const {
  const int64_t passFrames = PassFrames();
  int64_t position = start % passFrames;
  while (frameCount > 0) {
    const int run = int(std::min<int64_t>(frameCount, passFrames - position));
    std::memcpy(interleaved, onePass.data() + position * soundtrackChannels,
                size_t(run) * soundtrackChannels * sizeof(int16_t));
    interleaved += run * soundtrackChannels;
    frameCount -= run;
    position = 0;
  }
}

std::string DecodeSoundtrack(const char* path, Soundtrack* soundtrack) {
  soundtrack->onePass.clear();
  DecoderHandle decoder = nullptr;
  if (decoder_new(&decoder) != 0) return "Kan geen decoder bakken";
  capturedSamples = &soundtrack->onePass;
  otherFormatAsked = false;
  std::string problem = Decode(decoder, path);
  decoder_delete(decoder);
  capturedSamples = nullptr;
  if (problem.empty() && otherFormatAsked)
    problem = std::string(path) + " is not 44.1 kHz stereo, the only soundtrack format the capture takes";
  if (problem.empty() && soundtrack->PassFrames() == 0)
    problem = std::string(path) + " holds no sound the decoder can play";
  return problem;
}
