// MPEG audio frame headers of each layer, and the ID3v2 tag before them.
#include "platform/mpeg_audio_header.h"

#include <gtest/gtest.h>

namespace {

TEST(MpegAudioHeaderTest, ReadsEachLayer) {
  struct Case {
    const char* name;
    uint8_t bytes[4];
    int layer, sampleRate, channels, bitrateKbps, frameBytes, samplesPerFrame;
    bool mpeg1, checksum;
  };
  const Case cases[] = {
      {"MPEG 1 layer I, 384 kbit/s, 44.1 kHz", {0xFF, 0xFF, 0xC0, 0x00}, 1, 44100, 2, 384, 416, 384, true, false},
      {"MPEG 1 layer II, 192 kbit/s, 48 kHz, mono", {0xFF, 0xFD, 0xA4, 0xC0}, 2, 48000, 1, 192, 576, 1152, true, false},
      {"MPEG 2 layer III, 64 kbit/s, 22.05 kHz, padded, checksum",
       {0xFF, 0xF2, 0x82, 0x00},
       3,
       22050,
       2,
       64,
       209,
       576,
       false,
       true},
  };
  for (const Case& c : cases) {
    MpegAudioHeader header;
    ASSERT_TRUE(ReadMpegAudioHeader(c.bytes, 4, &header)) << c.name;
    EXPECT_EQ(header.layer, c.layer) << c.name;
    EXPECT_EQ(header.sampleRate, c.sampleRate) << c.name;
    EXPECT_EQ(header.channels, c.channels) << c.name;
    EXPECT_EQ(header.bitrateKbps, c.bitrateKbps) << c.name;
    EXPECT_EQ(header.frameBytes, c.frameBytes) << c.name;
    EXPECT_EQ(header.samplesPerFrame, c.samplesPerFrame) << c.name;
    EXPECT_EQ(header.mpeg1, c.mpeg1) << c.name;
    EXPECT_EQ(header.checksum, c.checksum) << c.name;
  }
}

TEST(MpegAudioHeaderTest, RefusesWhatIsNoFrame) {
  struct Case {
    const char* name;
    uint8_t bytes[4];
  };
  const Case cases[] = {
      {"no sync", {0xFF, 0xDB, 0x90, 0x00}},          {"reserved version", {0xFF, 0xEB, 0x90, 0x00}},
      {"reserved layer", {0xFF, 0xF9, 0x90, 0x00}},   {"free format", {0xFF, 0xFB, 0x00, 0x00}},
      {"bitrate index 15", {0xFF, 0xFB, 0xF0, 0x00}}, {"reserved rate", {0xFF, 0xFB, 0x9C, 0x00}},
  };
  for (const Case& c : cases) {
    MpegAudioHeader header;
    EXPECT_FALSE(ReadMpegAudioHeader(c.bytes, 4, &header)) << c.name;
  }
  const uint8_t valid[4] = {0xFF, 0xFB, 0x90, 0x00};
  MpegAudioHeader header;
  EXPECT_FALSE(ReadMpegAudioHeader(valid, 3, &header)) << "cut short";
}

TEST(MpegAudioHeaderTest, Id3v2TagLength) {
  const uint8_t withFooter[10] = {'I', 'D', '3', 4, 0, 0x10, 0, 0, 2, 1};
  EXPECT_EQ(Id3v2TagBytes(withFooter, sizeof withFooter), 10u + 257u + 10u);
  const uint8_t notSyncSafe[10] = {'I', 'D', '3', 4, 0, 0, 0, 0, 0x82, 1};
  EXPECT_EQ(Id3v2TagBytes(notSyncSafe, sizeof notSyncSafe), 0u);
  EXPECT_EQ(Id3v2TagBytes(withFooter, 9), 0u);
}

}  // namespace
