#include "datagen/world_textures.h"

#include <algorithm>
#include <cmath>

#include "datagen/palette_match.h"
#include "datagen/prng.h"
#include "datagen/value_noise.h"

namespace {
constexpr int size = worldTextureSize;

struct Colour {
  double r, g, b;
};

Colour Mix(Colour a, Colour b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Colour Scale(Colour c, double f) { return {c.r * f, c.g * f, c.b * f}; }
Rgb ToRgb(Colour c) { return MakeRgb(c.r, c.g, c.b); }

// Wood: a base colour streaked along the grain; 'along' runs with the grain.
Colour Wood(Colour base, uint64_t seed, double along, double across) {
  const double streak = TiledFractalNoise(seed, along / 64.0, across / 4.0, 4, 3);
  const double rings = 0.5 + 0.5 * std::sin(across * 0.9 + streak * 9.0);
  return Scale(base, 0.78 + 0.3 * rings * streak + 0.1 * streak);
}

// 0 at the edge of a band, rising to 1 'width' pixels inside it.
double Ramp(double distance, double width) { return std::clamp(distance / width, 0.0, 1.0); }
}  // namespace

Picture MakeFloorTexture() {
  const Colour cream = {0.88, 0.80, 0.64};
  const Colour terracotta = {0.70, 0.36, 0.22};
  const Colour grout = {0.20, 0.16, 0.13};
  const Colour inlay = {0.12, 0.38, 0.32};
  Picture picture = MakePicture(size, size, Rgb{0, 0, 0});
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const int localX = x % 128, localY = y % 128;
      const bool light = ((x / 128) + (y / 128)) % 2 == 0;
      const double mottle = TiledFractalNoise(31, x / 32.0, y / 32.0, 8, 4);
      const double vein = std::fabs(std::sin((x + y * 0.6 + 90.0 * mottle) / 11.0));
      Colour colour = light ? cream : terracotta;
      colour = Scale(colour, 0.82 + 0.3 * mottle);
      if (vein < 0.06) colour = Scale(colour, 0.8);

      // Bevelled edges: light on the upper and left side, dark on the lower and right.
      const int edge = std::min(std::min(localX, localY), std::min(127 - localX, 127 - localY));
      if (edge < 9) {
        const bool upperLeft = std::min(localX, localY) <= std::min(127 - localX, 127 - localY);
        colour = Scale(colour, upperLeft ? 1.12 : 0.72);
      }
      if (edge < 3) colour = Scale(grout, 0.8 + 0.4 * mottle);

      // A green marble diamond where four slabs meet.
      const int cornerX = std::min(localX, 128 - localX), cornerY = std::min(localY, 128 - localY);
      if (cornerX + cornerY < 16) colour = Scale(inlay, 0.8 + 0.5 * mottle);
      PixelAt(picture, x, y) = ToRgb(colour);
    }
  }
  return picture;
}

Picture MakeRoomWallTexture() {
  const Colour plaster = {0.90, 0.86, 0.74};
  const Colour paper = {0.10, 0.33, 0.37};
  const Colour gold = {0.92, 0.74, 0.34};
  const Colour oak = {0.52, 0.31, 0.15};
  const Colour skirting = {0.24, 0.14, 0.08};
  Picture picture = MakePicture(size, size, Rgb{0, 0, 0});
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      Colour colour;
      if (y < 16) {
        // Cornice under the ceiling, with a row of small blocks (dentils).
        colour = Scale(plaster, 1.0 - 0.35 * Ramp(y - 4, 12));
        if (y >= 7 && y < 13 && x % 16 < 9) colour = Scale(plaster, 1.05);
      } else if (y < 144) {
        // Wallpaper: a lattice of gilded lozenges on teal.
        const double cellX = (x % 64) - 31.5, cellY = ((y - 16) % 64) - 31.5;
        const double diamond = (std::fabs(cellX) + std::fabs(cellY)) / 28.0;
        const double grain = TiledFractalNoise(7, x / 16.0, y / 16.0, 16, 3);
        colour = Scale(paper, 0.85 + 0.3 * grain);
        if (diamond > 0.82 && diamond < 1.0) colour = Scale(gold, 0.85 + 0.2 * grain);
        if (diamond < 0.28) colour = Scale(gold, 1.0 - diamond);
        if (y < 20) colour = Scale(colour, 0.6);  // shadow of the cornice
      } else if (y < 154) {
        // Dado rail: a rounded wooden moulding.
        colour = Scale(Wood(oak, 3, x, y), 1.25 - 0.06 * (y - 144));
      } else if (y < 240) {
        // Wainscot: two raised panels per repeat, framed by stiles and rails.
        const int panelX = x % 128;
        const bool stile = panelX < 12 || panelX >= 116;
        const bool rail = y < 166 || y >= 228;
        if (stile || rail) {
          colour = stile && !rail ? Wood(oak, 5, y, x) : Wood(oak, 5, x, y);
        } else {
          // Bevel round the raised panel, lit from above and from the left.
          const int fromLeft = panelX - 12, fromRight = 115 - panelX, fromTop = y - 166, fromBottom = 227 - y;
          const int inset = std::min(std::min(fromLeft, fromRight), std::min(fromTop, fromBottom));
          colour = Scale(Wood(oak, 9, x, y), 1.1);
          if (inset < 8) colour = Scale(colour, std::min(fromLeft, fromTop) == inset ? 1.25 : 0.7);
        }
      } else {
        colour = Scale(Wood(skirting, 11, x, y), y < 243 ? 1.6 : 1.0);
      }
      PixelAt(picture, x, y) = ToRgb(colour);
    }
  }
  return picture;
}

Picture MakeCeilingTexture() {
  const Colour walnut = {0.36, 0.21, 0.11};
  const Colour trim = {0.80, 0.62, 0.26};
  const Colour recess = {0.10, 0.15, 0.38};
  const Colour star = {0.95, 0.80, 0.38};
  Picture picture = MakePicture(size, size, Rgb{0, 0, 0});
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const int edge = std::min(std::min(x, y), std::min(size - 1 - x, size - 1 - y));
      Colour colour;
      if (edge < 24) {
        const bool horizontalBeam = std::min(y, size - 1 - y) < std::min(x, size - 1 - x);
        colour = horizontalBeam ? Wood(walnut, 13, x, y) : Wood(walnut, 13, y, x);
        if (edge >= 20) colour = Scale(colour, 0.6);
      } else if (edge < 34) {
        colour = Scale(trim, 1.15 - 0.05 * (edge - 24));
      } else {
        const double dx = x - 127.5, dy = y - 127.5;
        const double radius = std::sqrt(dx * dx + dy * dy);
        const double angle = std::atan2(dy, dx);
        const double lobes = std::pow(std::fabs(std::cos(4.0 * angle)), 4.0);
        const double starRadius = 30.0 + 34.0 * lobes;
        colour = Scale(recess, 0.8 + 0.35 * TiledFractalNoise(17, x / 16.0, y / 16.0, 16, 3));
        colour = Scale(colour, 0.75 + 0.4 * Ramp(edge - 34, 30));  // shade under the trim
        if (radius < starRadius) colour = Scale(star, 1.1 - 0.45 * radius / starRadius);
        if (radius < 9) colour = {0.75, 0.12, 0.10};
      }
      PixelAt(picture, x, y) = ToRgb(colour);
    }
  }
  return picture;
}

IndexedPicture MakeClosingPicture() {
  const Colour skyTop = {0.03, 0.02, 0.14};
  const Colour skyMiddle = {0.36, 0.10, 0.40};
  const Colour skyHorizon = {1.00, 0.52, 0.22};
  const Colour sun = {1.00, 0.88, 0.45};
  const Colour farHills = {0.22, 0.08, 0.28};
  const Colour nearHills = {0.06, 0.02, 0.08};
  const int horizon = 168;

  auto skyAt = [&](double y) {
    const double t = std::clamp(y / horizon, 0.0, 1.0);
    return t < 0.55 ? Mix(skyTop, skyMiddle, t / 0.55) : Mix(skyMiddle, skyHorizon, (t - 0.55) / 0.45);
  };
  // The palette: the sky gradient, its darker reflection, the sun and hills,
  // and white for the stars.
  std::vector<Rgb> palette;
  for (int i = 0; i < 112; ++i) palette.push_back(ToRgb(skyAt(horizon * i / 111.0)));
  for (int i = 0; i < 80; ++i) palette.push_back(ToRgb(Scale(skyAt(horizon * i / 79.0), 0.6)));
  for (int i = 0; i < 24; ++i) palette.push_back(ToRgb(Mix(sun, skyHorizon, i / 23.0)));
  for (int i = 0; i < 20; ++i) palette.push_back(ToRgb(Mix(nearHills, farHills, i / 19.0)));
  for (int i = 0; i < 20; ++i) palette.push_back(ToRgb(Mix(skyMiddle, Colour{1, 1, 1}, i / 19.0)));

  Picture picture = MakePicture(size, size, Rgb{0, 0, 0});
  Prng prng = MakePrng(0x5EED0004);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      // Above the horizon the sky and the sun; below it their reflection,
      // rippled sideways.
      const bool water = y >= horizon;
      const double ripple = water ? 3.0 * std::sin(y * 0.9) * (y - horizon) / 40.0 : 0.0;
      const double sourceY = water ? 2.0 * horizon - y - 1 : y;
      const double sourceX = x + ripple;
      Colour colour = skyAt(sourceY);
      const double dx = sourceX - 128.0, dy = sourceY - (horizon - 12.0);
      const bool stripe = dy > 4 && int(dy) % 9 < int(2 + dy / 8);
      if (dx * dx + dy * dy < 46.0 * 46.0 && !stripe)
        colour = Mix(sun, skyHorizon, std::clamp((dy + 46) / 92.0, 0.0, 1.0));

      const double farRidge =
          horizon - 22 - 14 * std::sin(sourceX / 23.0 + 0.7) - 10 * TiledNoise(41, sourceX / 24.0, 0.5, 11);
      const double nearRidge =
          horizon + 2 - 46 * std::pow(std::fabs(sourceX - 128.0) / 128.0, 2.2) - 5 * std::sin(sourceX / 9.0);
      if (sourceY > farRidge)
        colour = Mix(farHills, skyHorizon, 0.25 * std::clamp((sourceY - farRidge) / 30.0, 0.0, 1.0));
      if (sourceY > nearRidge) colour = nearHills;
      if (water) colour = Scale(colour, 0.6);
      PixelAt(picture, x, y) = ToRgb(colour);
    }
  }
  // Stars in the upper sky, brighter towards the top.
  for (int star = 0; star < 90; ++star) {
    const int x = int(NextUnit(prng) * size);
    const int y = int(NextUnit(prng) * NextUnit(prng) * 120);
    const double brightness = 0.5 + 0.5 * NextUnit(prng);
    PixelAt(picture, x, y) = ToRgb(Mix(Colour{0.5, 0.4, 0.7}, Colour{1, 1, 1}, brightness * (1.0 - y / 160.0)));
  }
  return MatchToPalette(picture, palette, 6.0);
}
