// Pictures and songs for the tests, written with FFmpeg's own encoders.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// An RGBA picture, top row first.
struct RgbaPicture {
  int width = 0, height = 0;
  std::vector<uint8_t> bytes;
};

RgbaPicture MakeRgba(int width, int height, const std::function<void(int x, int y, uint8_t* rgba)>& colour);

// One picture as a complete file from an encoder that writes whole files
// ("mjpeg", "png", "bmp", "tiff", "libwebp"); empty when it fails.
std::vector<uint8_t> EncodePicture(const char* encoder, const RgbaPicture& picture);

// A JPEG with an EXIF block that gives the orientation (1..8) and, when
// not empty, the date and time ("YYYY:MM:DD HH:MM:SS").
std::vector<uint8_t> WithExif(std::vector<uint8_t> jpeg, int orientation, const std::string& dateTime = "");

// An animated GIF of the pictures, one a tenth of a second.
bool WriteGif(const std::string& path, const std::vector<RgbaPicture>& frames);

// A stereo song: `seconds` of a tone at `amplitude` (0..1) in the format the
// muxer and encoder give ("flac"/"flac", "wav"/"pcm_s16le", ...); with
// `clicks`, a full-scale beep of 10 ms every quarter second instead of the tone.
bool WriteSong(const std::string& path, const char* muxer, const char* encoder, double seconds, double amplitude,
               bool clicks = false, int sampleRate = 44100);

// A song file decoded to 44.1 kHz stereo, one vector a channel; empty when
// it cannot be decoded.
std::vector<std::vector<float>> DecodeSong(const std::string& path);
