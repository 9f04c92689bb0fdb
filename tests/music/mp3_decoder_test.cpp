// The decoder handle over libmpg123 with an output that records what it is
// asked to do: at which formats it is opened, what each opening is given,
// and how full its queue is kept.
#include "platform/mp3_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "mp3_fixtures.h"
#include "temporary_directory.h"

namespace {

// One opening of the recording output.
struct Opening {
  DecoderFormat format;
  std::vector<int16_t> samples;
  size_t largestQueue = 0;   // the most it held once the decoder had checked it
  size_t queuedAtClose = 0;  // unplayed sound it still held when closed
  bool closed = false;
};

// The output's queue plays playedPerCheck bytes each time the decoder looks
// at it; 0 keeps everything queued.
struct Recorder {
  std::vector<Opening> openings;
  size_t queued = 0;
  size_t playedPerCheck = 0;
} recorder;

void* OpenRecorder(DecoderFormat format) {
  recorder.openings.push_back({format, {}, 0, 0, false});
  recorder.queued = 0;
  return &recorder;
}
size_t QueuedInRecorder(void*) {
  recorder.queued -= std::min(recorder.queued, recorder.playedPerCheck);
  Opening& opening = recorder.openings.back();
  opening.largestQueue = std::max(opening.largestQueue, recorder.queued);
  return recorder.queued;
}
void Record(void*, const void* samples, size_t byteCount) {
  std::vector<int16_t>& kept = recorder.openings.back().samples;
  const size_t oldSize = kept.size();
  kept.resize(oldSize + byteCount / 2);
  std::memcpy(kept.data() + oldSize, samples, byteCount / 2 * 2);
  recorder.queued += byteCount;
}
void CloseRecorder(void*) {
  recorder.openings.back().queuedAtClose = recorder.queued;
  recorder.openings.back().closed = true;
}

class Mp3DecoderTest : public testing::Test {
 protected:
  void SetUp() override {
    recorder = Recorder{};
    ASSERT_EQ(decoder_new(&decoder), 0);
    DecoderCodecModule codec;
    mpeg_codec_module_register(&codec);
    decoder_codec_module_register(decoder, &codec);
    DecoderInputModule input;
    memory_input_module_register(&input);
    decoder_input_module_register(decoder, &input);
    const DecoderOutputModule output{"recorder", OpenRecorder, QueuedInRecorder, Record, CloseRecorder};
    ASSERT_EQ(decoder_output_module_register(decoder, &output), 0);
    ASSERT_EQ(decoder_output_new(decoder, nullptr, DECODER_MODULE_DEFAULT), 0);
    ASSERT_EQ(decoder_output_open(decoder), 0);
    ASSERT_EQ(decoder_input_new(decoder, nullptr, DECODER_MODULE_DEFAULT), 0);
    ASSERT_EQ(decoder_input_open(decoder), 0);
  }
  void TearDown() override { decoder_delete(decoder); }

  // Feeds the file in blocks of 4096 bytes as the music thread does, playing
  // after each block until the decoder asks for more. The last result.
  int PlayFile(const std::vector<unsigned char>& mp3) {
    int result = DECODER_PLAY_NEED_INPUT;
    for (size_t at = 0; at < mp3.size() && result == DECODER_PLAY_NEED_INPUT; at += 4096) {
      decoder_input_send_message(decoder, DECODER_MESSAGE_INPUT_BLOCK, mp3.data() + at,
                                 std::min<size_t>(4096, mp3.size() - at));
      do result = decoder_play(decoder);
      while (result == DECODER_PLAY_AGAIN || result == DECODER_PLAY_BUSY);
    }
    return result;
  }

  std::string Tone(const std::string& name, const ToneMp3& tone) {
    const std::string path = MakeToneMp3(temporary.path().string(), name, tone);
    EXPECT_FALSE(path.empty()) << "lame failed";
    return path;
  }

  TemporaryDirectory temporary{"qeb-decoder"};
  DecoderHandle decoder = nullptr;
};

// Pearson's correlation of one channel of two interleaved signals, over the
// length of the shorter.
double Correlation(const std::vector<int16_t>& a, const std::vector<int16_t>& b, int channels, int channel) {
  double sumA = 0, sumB = 0, sumAA = 0, sumBB = 0, sumAB = 0;
  size_t count = 0;
  for (size_t i = channel; i < std::min(a.size(), b.size()); i += channels, ++count) {
    sumA += a[i], sumB += b[i], sumAA += double(a[i]) * a[i], sumBB += double(b[i]) * b[i];
    sumAB += double(a[i]) * b[i];
  }
  const double covariance = sumAB - sumA * sumB / count;
  return covariance / std::sqrt((sumAA - sumA * sumA / count) * (sumBB - sumB * sumB / count));
}

struct QueueCase {
  const char* name;
  ToneMp3 tone;
};

void PrintTo(const QueueCase& queue, std::ostream* out) { *out << queue.name; }

class QueueLimitTest : public Mp3DecoderTest, public testing::WithParamInterface<QueueCase> {};

// The output is opened once at the first format and again only for another
// one, and is never given more than about 200 ms of sound at the format it
// plays: the first play call that finds the queue at the limit waits.
TEST_P(QueueLimitTest, OpensAtTheStreamsFormatAndQueuesAbout200Ms) {
  const ToneMp3& tone = GetParam().tone;
  const std::vector<unsigned char> mp3 = ReadFileBytes(Tone("tone.mp3", tone));
  const DecoderFormat own{tone.sampleRate, tone.channels};

  int result = DECODER_PLAY_NEED_INPUT;
  for (size_t at = 0; at < mp3.size() && result != DECODER_PLAY_BUSY; at += 4096) {
    decoder_input_send_message(decoder, DECODER_MESSAGE_INPUT_BLOCK, mp3.data() + at,
                               std::min<size_t>(4096, mp3.size() - at));
    do result = decoder_play(decoder);
    while (result == DECODER_PLAY_AGAIN);
  }
  ASSERT_EQ(result, DECODER_PLAY_BUSY);

  const bool ownIsFirst = own == DECODER_FIRST_FORMAT;
  ASSERT_EQ(recorder.openings.size(), ownIsFirst ? 1u : 2u);
  EXPECT_EQ(recorder.openings.front().format, DECODER_FIRST_FORMAT);
  EXPECT_EQ(recorder.openings.front().closed, !ownIsFirst);
  EXPECT_TRUE(recorder.openings.front().samples.empty() || ownIsFirst);
  const Opening& playing = recorder.openings.back();
  EXPECT_EQ(playing.format, own);
  const double queuedSeconds = double(recorder.queued) / DecoderFrameBytes(own) / own.rate;
  EXPECT_GE(queuedSeconds, 0.2 - 0.001);
  EXPECT_LT(queuedSeconds, 0.2 + 0.026);  // one piece more at most
}

const QueueCase kQueueCases[] = {
    {"At22kMono", {22050, 1, 1.0, 440, "-b 32"}},
    {"At44kStereo", {44100, 2, 1.0, 440, "-b 128"}},
    {"At44kMono", {44100, 1, 1.0, 440, "-b 64"}},
    {"At48kStereo", {48000, 2, 1.0, 440, "-b 128"}},
};

INSTANTIATE_TEST_SUITE_P(Formats, QueueLimitTest, testing::ValuesIn(kQueueCases),
                         [](const testing::TestParamInfo<QueueCase>& info) { return std::string(info.param.name); });

// Two files one after the other in one stream, the second at another rate
// and channel count: the first plays out at its format, then the output is
// reopened, empty, at the second's, which plays whole.
TEST_F(Mp3DecoderTest, AFormatChangeMidStreamPlaysBothPartsAtTheirOwnFormats) {
  // No information frame (-t): a stream that simply goes on.
  const std::vector<unsigned char> first = ReadFileBytes(Tone("first.mp3", {44100, 2, 0.5, 440, "-b 128 -t"}));
  const std::vector<unsigned char> second = ReadFileBytes(Tone("second.mp3", {22050, 1, 0.5, 660, "-b 48 -t"}));
  std::vector<unsigned char> both = first;
  both.insert(both.end(), second.begin(), second.end());
  // The queue plays half a piece each time the decoder looks: it fills up, and is full when the format changes.
  recorder.playedPerCheck = DecoderPieceBytes({44100, 2}) / 2;

  EXPECT_EQ(PlayFile(both), DECODER_PLAY_NEED_INPUT);

  ASSERT_EQ(recorder.openings.size(), 2u);
  const Opening& firstPart = recorder.openings[0];
  const Opening& secondPart = recorder.openings[1];
  EXPECT_EQ(firstPart.format, (DecoderFormat{44100, 2}));
  EXPECT_EQ(secondPart.format, (DecoderFormat{22050, 1}));
  EXPECT_TRUE(firstPart.closed);
  EXPECT_EQ(firstPart.queuedAtClose, 0u) << "sound of the first format was cut off";
  EXPECT_LE(firstPart.largestQueue, DecoderQueueLimitBytes(firstPart.format) + DecoderPieceBytes(firstPart.format));

  // Each part as libmpg123 decodes it alone. Where the parts meet, the
  // decoder's filter state carries over, so the comparison is of the sound.
  const std::vector<int16_t> firstAlone = DecodeWithMpg123(first);
  const std::vector<int16_t> secondAlone = DecodeWithMpg123(second);
  EXPECT_EQ(firstPart.samples.size(), firstAlone.size());
  EXPECT_EQ(secondPart.samples.size(), secondAlone.size());
  for (int channel = 0; channel < 2; ++channel)
    EXPECT_GT(Correlation(firstPart.samples, firstAlone, 2, channel), 0.99) << "channel " << channel;
  EXPECT_GT(Correlation(secondPart.samples, secondAlone, 1, 0), 0.99);
}

}  // namespace
