// The ACM decoder behind the decoder handle, fed as the music thread feeds
// it, against mpg123's decode of the same file (made on the build machine).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "platform/mp3_decoder.h"
#include "platform/win32/mp3_frames.h"

namespace {

std::vector<uint8_t> ReadFixture(const char* name) {
  std::ifstream in(std::string(QEB_MP3_FIXTURES) + "/" + name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::vector<int16_t> AsSamples(const std::vector<uint8_t>& bytes) {
  std::vector<int16_t> samples(bytes.size() / 2);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = int16_t(bytes[2 * i] | bytes[2 * i + 1] << 8);
  return samples;
}

// An output that keeps what it is given and never fills up.
std::vector<uint8_t> played;
DecoderFormat playedFormat;  // the format it was last opened at
void* OpenRecorder(DecoderFormat format) {
  playedFormat = format;
  return &played;
}
size_t NothingQueued(void*) { return 0; }
void Record(void*, const void* samples, size_t byteCount) {
  const auto* bytes = static_cast<const uint8_t*>(samples);
  played.insert(played.end(), bytes, bytes + byteCount);
}
void CloseRecorder(void*) {}

// Sets a decoder up as the music thread does, with the recording output.
DecoderHandle OpenDecoder() {
  DecoderHandle decoder = nullptr;
  EXPECT_EQ(decoder_new(&decoder), 0);
  DecoderCodecModule codec;
  DecoderInputModule input;
  mpeg_codec_module_register(&codec);
  decoder_codec_module_register(decoder, &codec);
  memory_input_module_register(&input);
  decoder_input_module_register(decoder, &input);
  DecoderOutputModule output;
  output.name = "recorder";
  output.open = OpenRecorder;
  output.queuedBytes = NothingQueued;
  output.queue = Record;
  output.close = CloseRecorder;
  decoder_output_module_register(decoder, &output);
  EXPECT_EQ(decoder_output_new(decoder, nullptr, DECODER_MODULE_DEFAULT), 0);
  EXPECT_EQ(decoder_output_open(decoder), 0);
  EXPECT_EQ(decoder_input_new(decoder, nullptr, DECODER_MODULE_DEFAULT), 0);
  EXPECT_EQ(decoder_input_open(decoder), 0);
  return decoder;
}

// One pass through the file in blocks of blockSize bytes, then the empty
// block that ends the pass; the output of that pass.
std::vector<uint8_t> PlayPass(DecoderHandle decoder, const std::vector<uint8_t>& file, size_t blockSize) {
  played.clear();
  for (size_t at = 0; at < file.size(); at += blockSize) {
    const size_t length = std::min(blockSize, file.size() - at);
    EXPECT_EQ(decoder_input_send_message(decoder, DECODER_MESSAGE_INPUT_BLOCK, file.data() + at, length), 0);
    int result;
    while ((result = decoder_play(decoder)) == DECODER_PLAY_AGAIN) {
    }
    EXPECT_EQ(result, DECODER_PLAY_NEED_INPUT);
  }
  std::vector<uint8_t> pass = played;
  EXPECT_EQ(decoder_input_send_message(decoder, DECODER_MESSAGE_INPUT_BLOCK, file.data(), 0), 0);
  return pass;
}

// The largest difference between the two, sample by sample, over the first `count`.
int LargestDifference(const std::vector<int16_t>& a, const std::vector<int16_t>& b, size_t count) {
  int largest = 0;
  for (size_t i = 0; i < count; ++i) largest = std::max(largest, std::abs(a[i] - b[i]));
  return largest;
}

struct FixtureCase {
  const char* name;  // NAME.mp3 and mpg123's decode of it, NAME.pcm
  DecoderFormat format;
};

void PrintTo(const FixtureCase& fixture, std::ostream* out) { *out << fixture.name; }

class Mp3DecoderWin32FormatTest : public testing::TestWithParam<FixtureCase> {};

// Played at the file's own rate and channel count, like mpg123's decode from
// the first sample to the last: the delay before the sound and the padding
// after it are gone, so the two line up sample for sample; the decoders may
// round differently by a step or two.
TEST_P(Mp3DecoderWin32FormatTest, DecodesLikeMpg123AtItsOwnFormat) {
  const FixtureCase& fixture = GetParam();
  const std::vector<uint8_t> file = ReadFixture((std::string(fixture.name) + ".mp3").c_str());
  const std::vector<int16_t> expected = AsSamples(ReadFixture((std::string(fixture.name) + ".pcm").c_str()));
  ASSERT_FALSE(file.empty());
  ASSERT_GT(expected.size(), size_t(fixture.format.rate));

  DecoderHandle decoder = OpenDecoder();
  const std::vector<int16_t> decoded = AsSamples(PlayPass(decoder, file, 4096));
  decoder_delete(decoder);

  EXPECT_EQ(playedFormat, fixture.format);
  ASSERT_EQ(decoded.size(), expected.size());
  EXPECT_LE(LargestDifference(decoded, expected, decoded.size()), 2);
}

INSTANTIATE_TEST_SUITE_P(Files, Mp3DecoderWin32FormatTest,
                         testing::Values(FixtureCase{"tone44", {44100, 2}}, FixtureCase{"tone44crc", {44100, 2}},
                                         FixtureCase{"tone48", {48000, 2}}, FixtureCase{"tone22mono", {22050, 1}}),
                         [](const testing::TestParamInfo<FixtureCase>& info) { return std::string(info.param.name); });

TEST(Mp3DecoderWin32Test, BlockSizeDoesNotChangeTheSound) {
  // Blocks that end inside frames, and a codec that takes only whole frames.
  const std::vector<uint8_t> file = ReadFixture("tone44.mp3");
  DecoderHandle decoder = OpenDecoder();
  const std::vector<uint8_t> whole = PlayPass(decoder, file, 4096);
  const std::vector<uint8_t> small = PlayPass(decoder, file, 333);
  decoder_delete(decoder);
  EXPECT_FALSE(whole.empty());
  EXPECT_EQ(small, whole);
}

TEST(Mp3DecoderWin32Test, EveryPassSoundsTheSame) {
  const std::vector<uint8_t> file = ReadFixture("tone44.mp3");
  DecoderHandle decoder = OpenDecoder();
  const std::vector<uint8_t> first = PlayPass(decoder, file, 4096);
  const std::vector<uint8_t> second = PlayPass(decoder, file, 4096);
  decoder_delete(decoder);
  EXPECT_FALSE(first.empty());
  EXPECT_EQ(second, first);
}

TEST(Mp3DecoderWin32Test, JunkGivesNoSoundButAShortSilencePerPass) {
  std::vector<uint8_t> junk(20000);
  std::mt19937 random(7);
  for (uint8_t& byte : junk) byte = uint8_t(random());
  // A frame header that promises a next frame which never comes.
  junk[100] = 0xFF, junk[101] = 0xFB, junk[102] = 0x90, junk[103] = 0x00;

  DecoderHandle decoder = OpenDecoder();
  EXPECT_TRUE(PlayPass(decoder, junk, 4096).empty());
  // Ending a pass without sound queues 200 ms of silence.
  ASSERT_EQ(played.size(), DecoderQueueLimitBytes(DECODER_FIRST_FORMAT));
  EXPECT_TRUE(std::all_of(played.begin(), played.end(), [](uint8_t byte) { return byte == 0; }));
  decoder_delete(decoder);
}

// The first frame of a file, as FindFirstMp3Frame finds it.
std::vector<uint8_t> FirstFrame(const std::vector<uint8_t>& file, Mp3FrameHeader* header) {
  size_t offset = 0;
  EXPECT_EQ(FindFirstMp3Frame(file.data(), file.size(), &offset, header), Mp3Search::found);
  return std::vector<uint8_t>(file.begin() + offset, file.end());
}

// tone44crc.mp3's first frame with its tag where the checksum's two bytes
// push it, after the side information, rather than where lame writes it.
std::vector<uint8_t> TagAfterTheChecksum(std::vector<uint8_t> frame, const Mp3FrameHeader& header) {
  const size_t lameTagAt = 4 + header.sideInfoBytes;
  frame.insert(frame.begin() + lameTagAt, 2, 0);
  frame.erase(frame.begin() + header.frameBytes, frame.begin() + header.frameBytes + 2);  // trailing zeros
  return frame;
}

struct GaplessCase {
  const char* name;
  const char* file;
  bool tagAfterTheChecksum;
};

void PrintTo(const GaplessCase& gapless, std::ostream* out) { *out << gapless.name; }

class GaplessTest : public testing::TestWithParam<GaplessCase> {};

TEST_P(GaplessTest, DelayAndLengthComeFromTheEncodersTag) {
  const GaplessCase& c = GetParam();
  Mp3FrameHeader header;
  std::vector<uint8_t> frame = FirstFrame(ReadFixture(c.file), &header);
  EXPECT_EQ(header.sampleRate, 44100);
  EXPECT_EQ(header.channels, 2);
  EXPECT_EQ(header.bitrateKbps, 128);
  if (c.tagAfterTheChecksum) frame = TagAfterTheChecksum(frame, header);
  // lame records its delay of 576 samples; the decoder adds 529, and the
  // information frame itself decodes to one frame of silence.
  const Mp3Gapless gapless = GaplessOf(frame.data(), frame.size(), header);
  EXPECT_EQ(gapless.leadingSamples, 1152 + 576 + 529);
  EXPECT_EQ(gapless.soundSamples, 66150);  // the 1.5 s that were encoded

  // Cut inside the tag: nothing is read past the end, and nothing is known.
  EXPECT_EQ(GaplessOf(frame.data(), 40, header).soundSamples, -1);
  EXPECT_EQ(GaplessOf(frame.data(), 40, header).leadingSamples, 0);
}

INSTANTIATE_TEST_SUITE_P(Files, GaplessTest,
                         testing::Values(GaplessCase{"NoChecksum", "tone44.mp3", false},
                                         GaplessCase{"ChecksumTagWhereLameWritesIt", "tone44crc.mp3", false},
                                         GaplessCase{"ChecksumTagAfterTheChecksum", "tone44crc.mp3", true}),
                         [](const testing::TestParamInfo<GaplessCase>& info) { return std::string(info.param.name); });

TEST(Mp3FramesTest, ChecksumBytesComeFromTheProtectionBit) {
  Mp3FrameHeader header;
  FirstFrame(ReadFixture("tone44.mp3"), &header);
  EXPECT_EQ(header.crcBytes, 0);
  FirstFrame(ReadFixture("tone44crc.mp3"), &header);
  EXPECT_EQ(header.crcBytes, 2);
}

TEST(Mp3FramesTest, Id3TagLengthIsSyncSafe) {
  const uint8_t tag[10] = {'I', 'D', '3', 4, 0, 0, 0, 0, 2, 1};
  EXPECT_EQ(Id3v2TagBytes(tag, sizeof tag), 10u + 257u);
  const uint8_t notSyncSafe[10] = {'I', 'D', '3', 4, 0, 0, 0, 0, 0x80, 1};
  EXPECT_EQ(Id3v2TagBytes(notSyncSafe, sizeof notSyncSafe), 0u);
  EXPECT_EQ(Id3v2TagBytes(tag, 9), 0u);
}

}  // namespace
