#include "soundtrack.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/data_path.h"
#include "platform/mp3_decoder.h"

namespace {

constexpr size_t kBlockSize = 4096;  // the demo's reading block

// Sample frames [begin, end) of one pass, at the capture's rate.
struct PassRange {
  int64_t begin = 0, end = 0;
};

std::string SizeText(size_t bytes) {
  return bytes >= (size_t(1) << 20) ? std::to_string(bytes >> 20) + " MiB" : std::to_string(bytes >> 10) + " KiB";
}

// The decoder's output during one pass: brings the sound from whatever
// format the decoder gives to the capture's, counts the sample frames and
// keeps those inside the ranges, up to the memory limit.
class PassCollector {
 public:
  PassCollector(std::vector<PassRange> ranges, size_t memoryLimit, std::vector<int16_t>* kept)
      : ranges_(std::move(ranges)), memoryLimit_(memoryLimit), kept_(kept) {
    for (const PassRange& range : ranges_) lastEnd_ = std::max(lastEnd_, range.end);
  }
  ~PassCollector() { swr_free(&converter_); }

  // The decoder's samples: signed 16-bit interleaved, at the stream's own rate and channel count.
  bool Open(DecoderFormat format) {
    swr_free(&converter_);
    AVChannelLayout from, to;
    av_channel_layout_default(&from, format.channels);
    av_channel_layout_default(&to, soundtrackChannels);
    inputFrameBytes_ = size_t(format.channels) * sizeof(int16_t);
    if (swr_alloc_set_opts2(&converter_, &to, AV_SAMPLE_FMT_S16, soundtrackRate, &from, AV_SAMPLE_FMT_S16, format.rate,
                            0, nullptr) < 0)
      return false;
    // Mono is heard in both ears at its full level, as the demo plays it
    // (the converter's own mix would lower it by 3 dB).
    const double bothEars[2] = {1.0, 1.0};
    if (format.channels == 1 && swr_set_matrix(converter_, bothEars, 1) < 0) return false;
    return swr_init(converter_) >= 0;
  }

  void Take(const void* samples, size_t byteCount) {
    const auto* input = static_cast<const uint8_t*>(samples);
    Convert(&input, int(byteCount / inputFrameBytes_));
  }

  // What the resampler still holds belongs to the pass as well.
  void Close() {
    if (converter_) Convert(nullptr, 0);
    swr_free(&converter_);
  }

  // Every kept range is complete (or the limit is reached): the rest of the pass is not needed.
  bool Done() const { return overLimit_ || position_ >= lastEnd_; }
  bool OverLimit() const { return overLimit_; }
  int64_t FramesSeen() const { return position_; }

 private:
  void Convert(const uint8_t** input, int frameCount) {
    if (Done()) return;
    for (;;) {
      const int room = swr_get_out_samples(converter_, frameCount);
      if (room <= 0) return;
      converted_.resize(size_t(room) * soundtrackChannels);
      uint8_t* output = reinterpret_cast<uint8_t*>(converted_.data());
      const int made = swr_convert(converter_, &output, room, input, frameCount);
      if (made <= 0) return;
      Keep(converted_.data(), made);
      if (input) return;  // all input is consumed at once; only draining loops
    }
  }

  void Keep(const int16_t* frames, int64_t count) {
    for (const PassRange& range : ranges_) {
      const int64_t begin = std::max(range.begin, position_), end = std::min(range.end, position_ + count);
      if (begin >= end) continue;
      const size_t values = size_t(end - begin) * soundtrackChannels;
      if ((kept_->size() + values) * sizeof(int16_t) > memoryLimit_) {
        overLimit_ = true;
        return;
      }
      const int16_t* from = frames + (begin - position_) * soundtrackChannels;
      kept_->insert(kept_->end(), from, from + values);
    }
    position_ += count;
  }

  std::vector<PassRange> ranges_;
  size_t memoryLimit_;
  std::vector<int16_t>* kept_;
  int64_t lastEnd_ = 0;
  int64_t position_ = 0;
  bool overLimit_ = false;
  SwrContext* converter_ = nullptr;
  size_t inputFrameBytes_ = 0;
  std::vector<int16_t> converted_;
};

// The output the decoder is given: the pass's collector instead of a sound
// card. The decoder never waits on it, since nothing is ever queued unplayed.
PassCollector* collector = nullptr;

// The decoder opens its output again whenever the stream's format changes.
void* OpenCollector(DecoderFormat format) { return collector && collector->Open(format) ? collector : nullptr; }
size_t NothingQueued(void*) { return 0; }
void Collect(void* sink, const void* samples, size_t byteCount) {
  static_cast<PassCollector*>(sink)->Take(samples, byteCount);
}
void CloseCollector(void* sink) { static_cast<PassCollector*>(sink)->Close(); }

// Feeds the file block by block, as the music thread does, letting the
// decoder run dry after each block, until the collector has what it needs
// or the pass ends. One pass: the demo starts each pass of the file afresh,
// so every later pass gives the same samples.
std::string FeedOnePass(DecoderHandle decoder, FILE* stream) {
  unsigned char block[kBlockSize];
  while (!collector->Done()) {
    const size_t blockLength = std::fread(block, 1, kBlockSize, stream);
    if (blockLength == 0) return std::feof(stream) ? "" : "kan geen bytes van input lezen";
    decoder_input_send_message(decoder, DECODER_MESSAGE_INPUT_BLOCK, block, blockLength);
    int result;
    do result = decoder_play(decoder);
    while ((result == DECODER_PLAY_AGAIN || result == DECODER_PLAY_BUSY) && !collector->Done());
    if (result != DECODER_PLAY_NEED_INPUT && !collector->Done())
      return "";  // the decoder ended playback, as the demo's would
  }
  return "";
}

std::string DecodeWith(DecoderHandle decoder, const char* path) {
  DecoderCodecModule codecModule;
  mpeg_codec_module_register(&codecModule);
  decoder_codec_module_register(decoder, &codecModule);
  DecoderInputModule inputModule;
  memory_input_module_register(&inputModule);
  decoder_input_module_register(decoder, &inputModule);
  const DecoderOutputModule memoryOutput = {"memory", OpenCollector, NothingQueued, Collect, CloseCollector};
  decoder_output_module_register(decoder, &memoryOutput);
  decoder_output_new(decoder, nullptr, DECODER_MODULE_DEFAULT);
  if (decoder_output_open(decoder) != 0) return "Kan geen instantiatie van output maken";

  FILE* stream = OpenDataFile(path, "rb");
  if (!stream) return std::string("Er is geen file aanwezig met de naam : ") + path;
  std::string problem;
  if (decoder_input_new(decoder, nullptr, DECODER_MODULE_DEFAULT) != 0) problem = "kan geen input bakken";
  if (problem.empty() && decoder_input_open(decoder) != 0) problem = "kan geen input openen";
  if (problem.empty()) problem = FeedOnePass(decoder, stream);
  std::fclose(stream);
  return problem;
}

// Decodes one pass of the file, as far as the ranges need, keeping their
// samples in order of the pass. *framesSeen: the pass's sample frames up to
// where decoding stopped (the whole pass when it ended before the ranges).
std::string DecodeRanges(const char* path, std::vector<PassRange> ranges, size_t memoryLimit,
                         std::vector<int16_t>* kept, int64_t* framesSeen) {
  PassCollector passCollector(std::move(ranges), memoryLimit, kept);
  DecoderHandle decoder = nullptr;
  if (decoder_new(&decoder) != 0) return "MP3Player: Kan geen decoder bakken";
  collector = &passCollector;
  std::string problem = DecodeWith(decoder, path);
  decoder_delete(decoder);  // closes the output, which drains the resampler
  collector = nullptr;
  *framesSeen = passCollector.FramesSeen();
  if (!problem.empty()) return "MP3Player: " + problem;
  if (passCollector.OverLimit())
    return "the sound under this stretch takes more than " + SizeText(memoryLimit) +
           " once decoded at 44.1 kHz stereo; capture a shorter stretch with --from and --to";
  return "";
}

}  // namespace

void Soundtrack::CopyLooped(int64_t start, int frameCount, int16_t* interleaved) const {
  const int64_t keptFrames = int64_t(samples_.size()) / soundtrackChannels;
  // The stretch itself: no wrapping. A whole pass: wrap at its end.
  const int64_t period = passFrames_ > 0 ? passFrames_ : keptFrames;
  int64_t position = passFrames_ > 0 ? start % passFrames_ : start - firstFrame_;
  while (frameCount > 0) {
    if (position < 0 || position >= keptFrames) {  // outside what was decoded: silence, never a stray read
      std::fill_n(interleaved, size_t(frameCount) * soundtrackChannels, int16_t(0));
      return;
    }
    const int run = int(std::min<int64_t>(frameCount, period - position));
    std::memcpy(interleaved, samples_.data() + position * soundtrackChannels,
                size_t(run) * soundtrackChannels * sizeof(int16_t));
    interleaved += run * soundtrackChannels;
    frameCount -= run;
    position = passFrames_ > 0 ? 0 : position + run;
  }
}

std::string DecodeSoundtrack(const char* path, SoundStretch stretch, size_t memoryLimit, Soundtrack* soundtrack) {
  *soundtrack = Soundtrack{};
  const int64_t end = stretch.start + stretch.length;
  std::vector<int16_t>& samples = soundtrack->samples_;
  // Most stretches lie inside the first pass: then its samples are all there is to keep.
  samples.reserve(size_t(std::min<int64_t>(stretch.length, int64_t(memoryLimit / 4))) * soundtrackChannels);
  int64_t framesSeen = 0;
  std::string problem = DecodeRanges(path, {{stretch.start, end}}, memoryLimit, &samples, &framesSeen);
  if (!problem.empty()) return problem;
  soundtrack->firstFrame_ = stretch.start;
  if (framesSeen >= end) return "";

  // The pass ended before the stretch: the demo plays the file again from
  // its start. Keep the whole pass if the stretch covers it, else just the
  // part (or the end and the start) under the stretch, in the stretch's order.
  const int64_t pass = framesSeen;
  if (pass == 0) return std::string(path) + " holds no sound the decoder can play";
  std::vector<PassRange> ranges;
  int64_t wrapped = 0;  // frames of the pass's start that follow its end in the stretch
  if (stretch.length >= pass) {
    ranges = {{0, pass}};
    soundtrack->passFrames_ = pass;
  } else {
    const int64_t first = stretch.start % pass;
    wrapped = std::max<int64_t>(0, first + stretch.length - pass);
    ranges = wrapped > 0 ? std::vector<PassRange>{{0, wrapped}, {first, pass}}
                         : std::vector<PassRange>{{first, first + stretch.length}};
  }
  samples.clear();
  samples.shrink_to_fit();
  int64_t wanted = 0;
  for (const PassRange& range : ranges) wanted += range.end - range.begin;
  problem = DecodeRanges(path, ranges, memoryLimit, &samples, &framesSeen);
  if (!problem.empty()) return problem;
  if (int64_t(samples.size()) != wanted * soundtrackChannels) return std::string(path) + " changed while it was read";
  std::rotate(samples.begin(), samples.begin() + wrapped * soundtrackChannels, samples.end());
  return "";
}
