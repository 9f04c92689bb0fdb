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
#include <vector>

#include "platform/mp3_decoder.h"

namespace {

TEST(AudioOutputWin32Test, PlaysTheQueuedSamplesInOrder) {
  std::remove(QEB_RECORDING);
  DecoderOutputModule output;
  ASSERT_EQ(audio_output_module_register(&output), 0);
  void* sink = output.open();
  ASSERT_NE(sink, nullptr);

  // Half a second of a ramp, in pieces of the decoder's size.
  std::vector<int16_t> samples(DECODER_OUTPUT_RATE / 2 * DECODER_OUTPUT_CHANNELS);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = int16_t((i * 37) % 20000 - 10000);
  const size_t pieceBytes = 4608;
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

}  // namespace
