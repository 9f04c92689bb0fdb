#include "datagen/title_cards.h"

#include <algorithm>
#include <cmath>

#include "datagen/palette_match.h"
#include "datagen/pixel_font.h"

namespace {
constexpr int size = titleCardSize;
constexpr double pi = 3.14159265358979323846;
const char* const title = "Qeb";
constexpr int titleScale = 11;

// Text centred horizontally with its top at 'top': an outline 'outlineWidth'
// pixels wide, a drop shadow, and a fill whose colour may vary from the top
// (0) to the bottom (1) of the letters.
template <typename Fill>
void DrawText(Picture& picture, const char* text, int scale, int top, Fill fill, Rgb outline, int outlineWidth) {
  const int left = (picture.width - TextWidth(text, scale)) / 2;
  const int shadow = std::max(1, scale / 3);
  auto covers = [&](int x, int y) { return TextCovers(text, scale, x - left, y - top); };
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      Rgb& pixel = PixelAt(picture, x, y);
      if (covers(x, y)) {
        pixel = fill(double(y - top) / TextHeight(scale));
        continue;
      }
      bool nearText = false;
      for (int dy = -outlineWidth; dy <= outlineWidth && !nearText; ++dy) {
        for (int dx = -outlineWidth; dx <= outlineWidth && !nearText; ++dx) nearText = covers(x + dx, y + dy);
      }
      if (nearText) {
        pixel = outline;
      } else if (covers(x - shadow, y - shadow)) {
        pixel = ScaleRgb(pixel, 0.35);
      }
    }
  }
}

Rgb Gold(double t) {
  // Bright at the top, a pale band just above the middle, deep at the bottom.
  const double band = std::exp(-std::pow((t - 0.42) / 0.07, 2.0));
  return MixRgb(MixRgb(Rgb{255, 236, 150}, Rgb{196, 98, 20}, t), Rgb{255, 255, 235}, 0.8 * band);
}

double Distance(double x, double y, double cx, double cy) {
  return std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
}
}  // namespace

Picture MakeOpeningPicture() {
  Picture picture = MakePicture(size, size, Rgb{0, 0, 0});
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      // Night sky deepening towards the top, a rose glow behind the title and
      // a glowing grid on the floor below the horizon.
      const double t = y / double(size - 1);
      Rgb colour = MixRgb(Rgb{14, 8, 44}, Rgb{70, 14, 80}, t);
      const double glow = std::exp(-Distance(x, y, 128, 118) / 70.0);
      colour = MixRgb(colour, Rgb{240, 96, 150}, 0.7 * glow);
      if (y >= 206) {
        const double depth = (y - 200) / 56.0;
        const double column = (x - 128) / (depth * 40.0);
        const bool line = std::fabs(column - std::round(column)) < 0.05 / depth ||
                          std::fabs(std::fmod(1.0 / depth + 100.0, 0.5) - 0.25) > 0.22;
        colour = line ? Rgb{90, 230, 255} : Rgb{24, 6, 40};
      }
      PixelAt(picture, x, y) = colour;
    }
  }
  DrawText(
      picture, "welcome to", 2, 44,
      [](double) {
        return Rgb{170, 230, 255};
      },
      Rgb{10, 4, 30}, 1);
  DrawText(picture, title, titleScale, 78, Gold, Rgb{24, 6, 16}, 3);
  DrawText(
      picture, "four waving walls", 2, 176,
      [](double) {
        return Rgb{170, 230, 255};
      },
      Rgb{10, 4, 30}, 1);
  return picture;
}

IndexedPicture MakeFirstEndPicture() {
  const std::vector<Rgb> palette = {{4, 4, 18},     {18, 24, 72},    {30, 44, 112},   {48, 72, 156},
                                    {86, 116, 196}, {10, 6, 10},     {124, 58, 12},   {196, 120, 30},
                                    {244, 190, 72}, {255, 242, 176}, {255, 255, 255}, {160, 226, 255},
                                    {208, 64, 128}, {94, 22, 66},    {40, 150, 140},  {64, 30, 96}};
  Picture picture = MakePicture(size, size, Rgb{0, 0, 0});
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      // Rays from behind the title, fading into a dark rim.
      const double angle = std::atan2(y - 100.0, x - 128.0);
      const bool ray = std::fmod(angle / (2 * pi) * 24.0 + 24.0, 2.0) < 1.0;
      const double rim = std::clamp(1.25 - Distance(x, y, 128, 110) / 150.0, 0.0, 1.0);
      const Rgb base = ray ? Rgb{86, 116, 196} : Rgb{30, 44, 112};
      PixelAt(picture, x, y) = ScaleRgb(base, 0.25 + 0.75 * rim);
    }
  }
  DrawText(picture, title, titleScale, 62, Gold, Rgb{10, 6, 10}, 3);
  DrawText(
      picture, "thanks for", 2, 168,
      [](double) {
        return Rgb{255, 255, 255};
      },
      Rgb{10, 6, 10}, 1);
  DrawText(
      picture, "watching", 2, 188,
      [](double) {
        return Rgb{255, 255, 255};
      },
      Rgb{10, 6, 10}, 1);
  return MatchToPalette(picture, palette, 24.0);
}

IndexedPicture MakeSecondEndPicture() {
  const std::vector<Rgb> palette = {{40, 6, 48},     {92, 14, 88},   {150, 30, 110},  {206, 60, 112},
                                    {240, 110, 90},  {252, 164, 80}, {255, 214, 120}, {255, 246, 214},
                                    {255, 255, 255}, {24, 4, 30},    {70, 20, 90},    {120, 200, 230},
                                    {60, 120, 180},  {30, 60, 110},  {200, 200, 210}, {0, 0, 0}};
  Picture picture = MakePicture(size, size, Rgb{0, 0, 0});
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      // A sunset sky in bands, a low sun and dark water with reflections.
      const double t = y / 160.0;
      Rgb colour = t < 0.5 ? MixRgb(Rgb{40, 6, 48}, Rgb{206, 60, 112}, t / 0.5)
                           : MixRgb(Rgb{206, 60, 112}, Rgb{255, 214, 120}, std::min(1.0, (t - 0.5) / 0.5));
      if (Distance(x, y, 128, 168) < 52 && !(y > 136 && (y / 5) % 2 == 0)) colour = Rgb{255, 246, 214};
      if (y >= 168) {
        const bool glint = std::fabs(x - 128.0) < 50.0 - (y - 168) * 0.4 && (y + x / 16) % 6 < 2;
        colour = glint ? Rgb{252, 164, 80} : MixRgb(Rgb{30, 60, 110}, Rgb{24, 4, 30}, (y - 168) / 88.0);
      }
      PixelAt(picture, x, y) = colour;
    }
  }
  DrawText(
      picture, title, titleScale, 40,
      [](double t) {
        return MixRgb(Rgb{255, 255, 255}, Rgb{120, 200, 230}, t);
      },
      Rgb{24, 4, 30}, 3);
  DrawText(
      picture, "the end", 3, 196,
      [](double) {
        return Rgb{255, 255, 255};
      },
      Rgb{24, 4, 30}, 2);
  return MatchToPalette(picture, palette, 20.0);
}
