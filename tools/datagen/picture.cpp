#include "datagen/picture.h"

#include <cmath>
#include <utility>

Picture MakePicture(int width, int height, Rgb fill) {
  Picture picture;
  picture.width = width;
  picture.height = height;
  picture.pixels.assign(size_t(width) * height, fill);
  return picture;
}

IndexedPicture MakeIndexedPicture(int width, int height, std::vector<Rgb> palette) {
  IndexedPicture picture;
  picture.width = width;
  picture.height = height;
  picture.indices.assign(size_t(width) * height, 0);
  picture.palette = std::move(palette);
  return picture;
}

uint8_t Channel(double value) {
  if (!(value > 0.0)) return 0;
  if (value >= 1.0) return 255;
  return uint8_t(std::lround(value * 255.0));
}

Rgb MakeRgb(double r, double g, double b) { return Rgb{Channel(r), Channel(g), Channel(b)}; }

Rgb MixRgb(Rgb a, Rgb b, double t) {
  auto mix = [t](uint8_t x, uint8_t y) { return Channel((x + (y - x) * t) / 255.0); };
  return Rgb{mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)};
}

Rgb ScaleRgb(Rgb colour, double factor) {
  return MakeRgb(colour.r * factor / 255.0, colour.g * factor / 255.0, colour.b * factor / 255.0);
}

Picture ExpandIndexed(const IndexedPicture& picture) {
  Picture expanded = MakePicture(picture.width, picture.height, Rgb{0, 0, 0});
  for (size_t i = 0; i < picture.indices.size(); ++i) expanded.pixels[i] = picture.palette[picture.indices[i]];
  return expanded;
}
