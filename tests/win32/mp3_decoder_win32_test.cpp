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
void* OpenRecorder() { return &played; }
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

TEST(Mp3DecoderWin32Test, DecodesLikeMpg123FromTheFirstSample) {
  const std::vector<uint8_t> file = ReadFixture("tone44.mp3");
  const std::vector<int16_t> expected = AsSamples(ReadFixture("tone44.pcm"));
  ASSERT_FALSE(file.empty());
  ASSERT_GT(expected.size(), 44100u);

  DecoderHandle decoder = OpenDecoder();
  const std::vector<int16_t> decoded = AsSamples(PlayPass(decoder, file, 4096));
  decoder_delete(decoder);

  // The delay before the sound and the padding after it are gone, so the two
  // line up sample for sample; the decoders may round differently by a step or two.
  ASSERT_EQ(decoded.size(), expected.size());
  EXPECT_LE(LargestDifference(decoded, expected, decoded.size()), 2);
}

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

TEST(Mp3DecoderWin32Test, OtherRatesComeOutAtTheFixedRate) {
  // 48 kHz: the same 1.5 s of tone in 44.1 kHz sample frames.
  const std::vector<uint8_t> file = ReadFixture("tone48.mp3");
  DecoderHandle decoder = OpenDecoder();
  const std::vector<int16_t> decoded = AsSamples(PlayPass(decoder, file, 4096));
  decoder_delete(decoder);
  const size_t frames = decoded.size() / 2;
  EXPECT_NEAR(double(frames), 1.5 * 44100, 64);  // the converter's own rounding
  size_t loud = 0;
  for (size_t i = 0; i < frames; ++i)
    if (std::abs(decoded[2 * i]) > 1000 && std::abs(decoded[2 * i + 1]) > 1000) ++loud;
  EXPECT_GT(loud, frames / 2);  // the tone is there in both channels, not silence
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
  ASSERT_EQ(played.size(), DECODER_QUEUE_LIMIT_BYTES);
  EXPECT_TRUE(std::all_of(played.begin(), played.end(), [](uint8_t byte) { return byte == 0; }));
  decoder_delete(decoder);
}

TEST(Mp3FramesTest, DelayAndLengthComeFromTheEncodersTag) {
  const std::vector<uint8_t> file = ReadFixture("tone44.mp3");
  size_t offset = 0;
  Mp3FrameHeader header;
  ASSERT_EQ(FindFirstMp3Frame(file.data(), file.size(), &offset, &header), Mp3Search::found);
  EXPECT_EQ(header.sampleRate, 44100);
  EXPECT_EQ(header.channels, 2);
  EXPECT_EQ(header.bitrateKbps, 128);
  // lame records its delay of 576 samples; the decoder adds 529, and the
  // information frame itself decodes to one frame of silence.
  const Mp3Gapless gapless = GaplessOf(file.data() + offset, file.size() - offset, header);
  EXPECT_EQ(gapless.leadingSamples, 1152 + 576 + 529);
  EXPECT_EQ(gapless.soundSamples, 66150);  // the 1.5 s that were encoded

  // Cut inside the tag: nothing is read past the end, and nothing is known.
  EXPECT_EQ(GaplessOf(file.data() + offset, 40, header).soundSamples, -1);
  EXPECT_EQ(GaplessOf(file.data() + offset, 40, header).leadingSamples, 0);
}

TEST(Mp3FramesTest, Id3TagLengthIsSyncSafe) {
  const uint8_t tag[10] = {'I', 'D', '3', 4, 0, 0, 0, 0, 2, 1};
  EXPECT_EQ(Id3v2TagBytes(tag, sizeof tag), 10u + 257u);
  const uint8_t notSyncSafe[10] = {'I', 'D', '3', 4, 0, 0, 0, 0, 0x80, 1};
  EXPECT_EQ(Id3v2TagBytes(notSyncSafe, sizeof notSyncSafe), 0u);
  EXPECT_EQ(Id3v2TagBytes(tag, 9), 0u);
}

}  // namespace
