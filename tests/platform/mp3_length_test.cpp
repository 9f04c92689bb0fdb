// The MP3 file's length from its frame headers: what the browser's decoded
// copy would take, found before decoding.
#include "platform/web/mp3_length.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// count frames of the given 4-byte header, each `length` bytes long.
void AddFrames(std::vector<unsigned char>& file, std::vector<unsigned char> header, size_t length, int count) {
  for (int i = 0; i < count; ++i) {
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), length - header.size(), 0);
  }
}

const std::vector<unsigned char> mpeg1Layer3Stereo = {0xFF, 0xFB, 0x90, 0x00};  // 128 kbit/s, 44.1 kHz: 417 bytes
const std::vector<unsigned char> mpeg25Layer3Mono = {0xFF, 0xE3, 0x18, 0xC0};   // 8 kbit/s, 8 kHz: 72 bytes

TEST(Mp3LengthTest, CountsTheFramesOfEachKind) {
  struct Case {
    const char* name;
    std::vector<unsigned char> file;
    int64_t samples;
    int sampleRate, channels;
  };
  std::vector<unsigned char> stereo, mono, tagged, junk;
  AddFrames(stereo, mpeg1Layer3Stereo, 417, 100);
  AddFrames(mono, mpeg25Layer3Mono, 72, 1000);
  // An ID3v2 tag of 300 bytes (its size in 7-bit bytes), which could hold
  // anything, a frame's header included.
  tagged = {'I', 'D', '3', 4, 0, 0, 0, 0, 2, 44};
  AddFrames(tagged, mpeg1Layer3Stereo, 300, 1);
  AddFrames(tagged, mpeg25Layer3Mono, 72, 10);
  // Bytes that start no frame, between frames and at the end, and a last
  // frame cut short.
  junk = {0xFF, 0xFF, 0x00, 0x12};
  AddFrames(junk, mpeg1Layer3Stereo, 417, 3);
  junk.insert(junk.end(), {0xFF, 0xFB, 0xF0, 0x00, 0x01});  // bitrate index 15: no frame
  AddFrames(junk, mpeg1Layer3Stereo, 417, 2);
  junk.resize(junk.size() - 100);
  const Case cases[] = {
      {"MPEG 1 layer III, stereo", stereo, 115200, 44100, 2},
      {"MPEG 2.5 layer III, mono", mono, 576000, 8000, 1},
      {"after an ID3v2 tag", tagged, 5760, 8000, 1},
      {"junk and a cut frame", junk, 5 * 1152, 44100, 2},
      {"nothing", {}, 0, 0, 0},
  };
  for (const Case& c : cases) {
    const Mp3Length length = MeasureMp3(c.file.data(), c.file.size());
    EXPECT_EQ(length.samples, c.samples) << c.name;
    EXPECT_EQ(length.sampleRate, c.sampleRate) << c.name;
    EXPECT_EQ(length.channels, c.channels) << c.name;
  }
}

TEST(Mp3LengthTest, DecodedBytesAreFloatSamplesAtThePlaybackRate) {
  std::vector<unsigned char> mono;
  AddFrames(mono, mpeg25Layer3Mono, 72, 1000);  // 72 s
  const Mp3Length length = MeasureMp3(mono.data(), mono.size());
  EXPECT_EQ(DecodedBytes(length, 48000), uint64_t(72) * 48000 * 4);
  EXPECT_EQ(DecodedBytes(Mp3Length{}, 48000), 0u);
}

}  // namespace
