#include "datagen/title_cards.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "datagen/prng.h"
#include "datagen/stroke_font.h"

namespace {
constexpr int size = titleCardSize;
constexpr double pi = 3.14159265358979323846;
const char* const title = "QEB";
// Lines of letters take at most about two thirds of the picture's width:
// the wave bends the wall back hardest near its edges, where letters fold
// out of sight.
constexpr double middle = size / 2.0;

TextStyle TitleStyle(Rgb outline) {
  TextStyle style;
  style.capHeight = 66;
  style.weight = 0.2;
  style.outlineWidth = 4;
  style.shadowOffset = 5;
  style.outline = outline;
  return style;
}

TextStyle CaptionStyle(double capHeight, Rgb fill, Rgb outline) {
  TextStyle style;
  style.capHeight = capHeight;
  style.weight = 0.17;
  style.outlineWidth = 2;
  style.shadowOffset = 2;
  style.outline = outline;
  style.fill = [fill](double) { return fill; };
  return style;
}

Rgb Gold(double t) {
  // Bright at the top, a pale band just above the middle, deep at the bottom.
  const double band = std::exp(-std::pow((t - 0.42) / 0.07, 2.0));
  return MixRgb(MixRgb(Rgb{255, 236, 150}, Rgb{196, 98, 20}, t), Rgb{255, 255, 235}, 0.8 * band);
}

double Distance(double x, double y, double cx, double cy) {
  return std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
}

// Stars: a fixed scatter of points of varying brightness, some with a
// small cross of light, drawn over whatever is below 'horizon'.
void AddStars(Picture& picture, uint64_t seed, int count, int horizon) {
  Prng prng = MakePrng(seed);
  for (int star = 0; star < count; ++star) {
    const int x = int(NextUnit(prng) * size), y = int(NextUnit(prng) * horizon);
    const double brightness = 0.35 + 0.65 * NextUnit(prng) * NextUnit(prng);
    const bool large = NextUnit(prng) < 0.12;
    const Rgb light = MakeRgb(brightness, brightness, std::min(1.0, brightness * 1.15));
    PixelAt(picture, x, y) = MixRgb(PixelAt(picture, x, y), light, 1.0);
    if (!large) continue;
    for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
      const int nx = std::clamp(x + dx, 0, size - 1), ny = std::clamp(y + dy, 0, size - 1);
      PixelAt(picture, nx, ny) = MixRgb(PixelAt(picture, nx, ny), light, 0.5);
    }
  }
}
}  // namespace

Picture MakeOpeningPicture() {
  Picture picture = MakePicture(size, size, Rgb{0, 0, 0});
  constexpr int horizon = 196;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      // Night sky deepening towards the top, a rose glow behind the title,
      // a ridge of mountains and a glowing grid running to the horizon.
      const double t = y / double(horizon);
      Rgb colour = MixRgb(Rgb{8, 6, 36}, Rgb{86, 20, 92}, std::min(1.0, t * t));
      const double glow = std::exp(-Distance(x, y, 128, 120) / 64.0);
      colour = MixRgb(colour, Rgb{240, 96, 150}, 0.6 * glow);
      const double ridge = horizon - 18 - 12 * std::sin(x / 19.0 + 1.3) - 7 * std::sin(x / 7.3);
      if (y > ridge) colour = MixRgb(Rgb{30, 8, 46}, Rgb{60, 16, 70}, (y - ridge) / 40.0);
      if (y >= horizon) {
        // Lines a pixel wide: their distance from the pixel measured in pixels.
        const double depth = (y - horizon + 6) / 60.0;
        const double column = (x + 0.5 - 128) / (depth * 40.0);
        const double across = std::fabs(column - std::round(column)) * depth * 40.0;
        const double row = 1.0 / depth * 2.0;
        const double along = std::fabs(row - std::round(row)) / 2.0 * depth * depth * 60.0;
        const double line = std::max(std::clamp(1.2 - across, 0.0, 1.0), std::clamp(1.2 - along, 0.0, 1.0));
        colour = MixRgb(Rgb{20, 4, 36}, Rgb{90, 230, 255}, line * std::min(1.0, depth * 1.5));
      }
      PixelAt(picture, x, y) = colour;
    }
  }
  AddStars(picture, 0x5EED0101, 140, 170);
  // A crescent moon, upper right.
  for (int y = 0; y < 48; ++y) {
    for (int x = 190; x < 250; ++x) {
      const double lit = std::clamp(12.5 - Distance(x + 0.5, y + 0.5, 222, 22), 0.0, 1.0) *
                         std::clamp(Distance(x + 0.5, y + 0.5, 228, 17) - 11.0, 0.0, 1.0);
      PixelAt(picture, x, y) = MixRgb(PixelAt(picture, x, y), Rgb{255, 240, 200}, lit);
    }
  }
  DrawStrokeText(picture, "WELCOME TO", middle, 46, CaptionStyle(15, Rgb{170, 230, 255}, Rgb{10, 4, 30}));
  TextStyle titleStyle = TitleStyle(Rgb{24, 6, 16});
  titleStyle.fill = Gold;
  DrawStrokeText(picture, title, middle, 82, titleStyle);
  DrawStrokeText(picture, "FOUR WAVING", middle, 170, CaptionStyle(14, Rgb{170, 230, 255}, Rgb{10, 4, 30}));
  DrawStrokeText(picture, "WALLS", middle, 194, CaptionStyle(14, Rgb{170, 230, 255}, Rgb{10, 4, 30}));
  return picture;
}

Picture MakeFirstEndPicture() {
  Picture picture = MakePicture(size, size, Rgb{0, 0, 0});
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      // Soft rays from behind the title, fading into a dark rim, with
      // confetti falling through them.
      const double angle = std::atan2(y - 100.0, x - 128.0);
      const double ray = 0.5 + 0.5 * std::cos(angle * 12.0);
      const double rim = std::clamp(1.25 - Distance(x, y, 128, 110) / 150.0, 0.0, 1.0);
      const Rgb base = MixRgb(Rgb{26, 40, 108}, Rgb{86, 116, 200}, ray * ray);
      PixelAt(picture, x, y) = ScaleRgb(base, 0.25 + 0.75 * rim);
    }
  }
  Prng prng = MakePrng(0x5EED0102);
  const Rgb confetti[] = {{255, 200, 60}, {240, 80, 140}, {90, 220, 200}, {255, 255, 255}, {150, 120, 255}};
  for (int piece = 0; piece < 90; ++piece) {
    const double cx = NextUnit(prng) * size, cy = NextUnit(prng) * size, turn = NextUnit(prng) * pi;
    const Rgb colour = confetti[int(NextUnit(prng) * 5) % 5];
    for (int y = int(cy) - 4; y <= int(cy) + 4; ++y) {
      for (int x = int(cx) - 4; x <= int(cx) + 4; ++x) {
        if (x < 0 || y < 0 || x >= size || y >= size) continue;
        const double along = (x + 0.5 - cx) * std::cos(turn) + (y + 0.5 - cy) * std::sin(turn);
        const double across = -(x + 0.5 - cx) * std::sin(turn) + (y + 0.5 - cy) * std::cos(turn);
        const double cover =
            std::clamp(3.2 - std::fabs(along), 0.0, 1.0) * std::clamp(1.7 - std::fabs(across), 0.0, 1.0);
        PixelAt(picture, x, y) = MixRgb(PixelAt(picture, x, y), colour, 0.85 * cover);
      }
    }
  }
  TextStyle titleStyle = TitleStyle(Rgb{10, 6, 10});
  titleStyle.fill = Gold;
  DrawStrokeText(picture, title, middle, 52, titleStyle);
  DrawStrokeText(picture, "THANKS FOR", middle, 158, CaptionStyle(17, Rgb{255, 255, 255}, Rgb{10, 6, 10}));
  DrawStrokeText(picture, "WATCHING", middle, 186, CaptionStyle(17, Rgb{255, 255, 255}, Rgb{10, 6, 10}));
  return picture;
}

Picture MakeSecondEndPicture() {
  Picture picture = MakePicture(size, size, Rgb{0, 0, 0});
  constexpr int horizon = 176;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      // A sunset sky, a low sun cut by bands of haze, and dark water with
      // a broken path of light towards the viewer.
      const double t = y / double(horizon);
      Rgb colour = t < 0.5 ? MixRgb(Rgb{40, 6, 48}, Rgb{206, 60, 112}, t / 0.5)
                           : MixRgb(Rgb{206, 60, 112}, Rgb{255, 214, 120}, std::min(1.0, (t - 0.5) / 0.5));
      const double sun = std::clamp(46.5 - Distance(x + 0.5, y + 0.5, 128, horizon - 8), 0.0, 1.0);
      const bool haze = y > horizon - 34 && (y / 5) % 2 == 0;
      colour = MixRgb(colour, Rgb{255, 246, 214}, haze ? 0.25 * sun : sun);
      if (y >= horizon) {
        const double d = (y - horizon) / double(size - horizon);
        const double width = 46.0 - 10.0 * d + 40.0 * d * d;
        const double wave = std::sin(x * 0.35 + y * 1.7) + std::sin(x * 0.11 - y * 0.9);
        const bool glint = std::fabs(x - 128.0) < width && wave > 0.9 - 0.6 * d;
        colour = glint ? Rgb{252, 164, 80} : MixRgb(Rgb{30, 60, 110}, Rgb{16, 4, 26}, d);
      }
      PixelAt(picture, x, y) = colour;
    }
  }
  AddStars(picture, 0x5EED0103, 50, 60);
  TextStyle titleStyle = TitleStyle(Rgb{24, 4, 30});
  titleStyle.capHeight = 56;
  titleStyle.fill = [](double t) { return MixRgb(Rgb{255, 255, 255}, Rgb{120, 200, 230}, t); };
  DrawStrokeText(picture, title, middle, 24, titleStyle);
  DrawStrokeText(picture, "THE END", middle, 204, CaptionStyle(24, Rgb{255, 255, 255}, Rgb{24, 4, 30}));
  return picture;
}
