// Reads a video file back with FFmpeg's libraries, for the capture tests:
// its streams' description, chosen video frames as packed 8-bit RGB and
// every audio sample.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

struct VideoFile {
  bool opened = false;
  std::string container;               // FFmpeg's short names, e.g. "mov,mp4,m4a,3gp,3g2,mj2"
  std::string videoCodec, audioCodec;  // "" when the stream is missing
  std::string pixelFormat;
  int width = 0, height = 0;
  int frameRateNum = 0, frameRateDen = 1;
  double durationSeconds = 0;  // the container's
  int decodedFrames = 0;
  std::vector<std::vector<uint8_t>> keptFrames;  // of the indices asked for, in order; top row first, R, G, B
  int audioRate = 0, audioChannels = 0;
  int64_t audioSampleFrames = 0;
  std::vector<int16_t> audioSamples;  // interleaved, when the decoder gives 16-bit samples or planar floats
};

// Decodes the whole file, keeping the video frames whose index (from 0) is in keepFrames.
VideoFile ReadVideoFile(const std::string& path, const std::set<int>& keepFrames = {});
