// waveOut through Wine into ALSA's file device (the test's HOME holds an
// .asoundrc that records to QEB_RECORDING): what the sink was given is what
// was played.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/mp3_decoder.h"

namespace {

class AudioOutputWin32Test : public testing::TestWithParam<DecoderFormat> {};

// The device is opened at the format asked for and plays every queued
// buffer whole, in order.
TEST_P(AudioOutputWin32Test, PlaysTheQueuedSamplesInOrder) {
  const DecoderFormat format = GetParam();
  std::remove(QEB_RECORDING);
  DecoderOutputModule output;
  ASSERT_EQ(audio_output_module_register(&output), 0);
  void* sink = output.open(format);
  ASSERT_NE(sink, nullptr);

  // Half a second of a ramp, in pieces of the decoder's size.
  std::vector<int16_t> samples(format.rate / 2 * format.channels);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = int16_t((i * 37) % 20000 - 10000);
  const size_t pieceBytes = DecoderPieceBytes(format);
  const auto* bytes = reinterpret_cast<const uint8_t*>(samples.data());
  const size_t total = samples.size() * 2;
  for (size_t at = 0; at < total; at += pieceBytes) output.queue(sink, bytes + at, std::min(pieceBytes, total - at));
  EXPECT_GT(output.queuedBytes(sink), 0u);
  for (int wait = 0; wait < 500 && output.queuedBytes(sink) > 0; ++wait) Sleep(20);
  EXPECT_EQ(output.queuedBytes(sink), 0u);
  output.close(sink);

  std::ifstream in(QEB_RECORDING, std::ios::binary);
  const std::vector<uint8_t> recorded(std::istreambuf_iterator<char>(in), {});
  // The device may add silence around the sound; the sound itself is whole.
  const std::vector<uint8_t> sent(bytes, bytes + total);
  EXPECT_NE(std::search(recorded.begin(), recorded.end(), sent.begin(), sent.end()), recorded.end())
      << "recorded " << recorded.size() << " bytes, sent " << total;
}

INSTANTIATE_TEST_SUITE_P(Formats, AudioOutputWin32Test,
                         testing::Values(DecoderFormat{44100, 2}, DecoderFormat{48000, 2}, DecoderFormat{22050, 1}),
                         [](const testing::TestParamInfo<DecoderFormat>& info) {
                           return std::to_string(info.param.rate) + (info.param.channels == 1 ? "Mono" : "Stereo");
                         });

}  // namespace
