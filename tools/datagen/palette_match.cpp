#include "datagen/palette_match.h"

namespace {
const int bayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

int NearestColour(const std::vector<Rgb>& palette, double r, double g, double b) {
  int best = 0;
  double bestDistance = 1e30;
  for (size_t i = 0; i < palette.size(); ++i) {
    const double dr = palette[i].r - r, dg = palette[i].g - g, db = palette[i].b - b;
    // Green weighs most and blue least, roughly as the eye sees it.
    const double distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = int(i);
    }
  }
  return best;
}
}  // namespace

IndexedPicture MatchToPalette(const Picture& picture, const std::vector<Rgb>& palette, double ditherSpread) {
  IndexedPicture indexed = MakeIndexedPicture(picture.width, picture.height, palette);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const Rgb pixel = picture.pixels[size_t(y) * picture.width + x];
      const double offset = ditherSpread * ((bayer4[y & 3][x & 3] + 0.5) / 16.0 - 0.5);
      IndexAt(indexed, x, y) = uint8_t(NearestColour(palette, pixel.r + offset, pixel.g + offset, pixel.b + offset));
    }
  }
  return indexed;
}
