// Pictures as the generator draws them: top row first, in full colour or as
// palette indices. The BMP writer turns them into files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct Rgb {
  uint8_t r, g, b;
};

inline bool operator==(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<Rgb> pixels;  // width * height, top row first
};

struct IndexedPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> indices;  // width * height, top row first
  std::vector<Rgb> palette;      // at most 256 colours (16 for 4-bit files)
};

Picture MakePicture(int width, int height, Rgb fill);
IndexedPicture MakeIndexedPicture(int width, int height, std::vector<Rgb> palette);

inline Rgb& PixelAt(Picture& picture, int x, int y) { return picture.pixels[size_t(y) * picture.width + x]; }
inline uint8_t& IndexAt(IndexedPicture& picture, int x, int y) {
  return picture.indices[size_t(y) * picture.width + x];
}

// A colour channel from a value in 0..1 (clamped), rounded.
uint8_t Channel(double value);
Rgb MakeRgb(double r, double g, double b);
// a + (b - a) * t, channel by channel, t in 0..1.
Rgb MixRgb(Rgb a, Rgb b, double t);
Rgb ScaleRgb(Rgb colour, double factor);

// The picture's pixels in full colour (what a decoder of its file yields).
Picture ExpandIndexed(const IndexedPicture& picture);
