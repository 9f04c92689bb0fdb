#include "datagen/animations.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "datagen/palette_match.h"
#include "datagen/prng.h"
#include "datagen/shapes.h"
#include "datagen/stroke_font.h"

namespace {
constexpr int size = animationSize;
constexpr double pi = 3.14159265358979323846;
constexpr double middle = size / 2.0;

// 0 before 'from', 1 after 'to', a straight ramp between.
double Ramp(double value, double from, double to) { return std::clamp((value - from) / (to - from), 0.0, 1.0); }

Rgb Hue(double turn, double lightness) {
  const double p = 2 * pi * turn;
  return MakeRgb(lightness * (0.55 + 0.45 * std::cos(p)), lightness * (0.55 + 0.45 * std::cos(p - 2.1)),
                 lightness * (0.55 + 0.45 * std::cos(p - 4.2)));
}

TextStyle Lettering(double capHeight, Rgb fill, Rgb outline) {
  TextStyle style;
  style.capHeight = capHeight;
  style.weight = 0.19;
  style.outlineWidth = std::max(1.0, capHeight / 12);
  style.shadowOffset = std::max(1.0, capHeight / 14);
  style.outline = outline;
  style.fill = [fill](double) { return fill; };
  return style;
}

// A palette of straight ramps between pairs of colours: the few colours a
// card is painted with and the blends its smooth edges make between them.
std::vector<Rgb> RampPalette(const std::vector<std::pair<Rgb, Rgb>>& ramps, int stepsEach) {
  std::vector<Rgb> palette;
  for (const auto& [from, to] : ramps)
    for (int i = 0; i < stepsEach; ++i) palette.push_back(MixRgb(from, to, i / double(stepsEach - 1)));
  return palette;
}
}  // namespace

IndexedPicture MakeCountdownCard(int card) {
  const int remaining = animationFrameCount - 1 - card;  // 39 down to 0, shown as "GO!"
  const bool go = remaining == 0;
  // Each card takes the next hue, so neighbouring cards differ at a glance.
  const Rgb dark = Hue(card * 0.37, 0.22), light = Hue(card * 0.37, 0.75);
  const Rgb ink = {12, 8, 20}, white = {255, 255, 255}, lit = {255, 214, 90}, unlit = ScaleRgb(light, 0.55);

  Picture picture = MakePicture(size, size, dark);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const double glow = std::exp(-std::hypot(x + 0.5 - middle, y + 0.5 - middle) / 46.0);
      PixelAt(picture, x, y) = MixRgb(dark, light, go ? 0.3 + 0.7 * glow : 0.8 * glow);
    }
  }
  // One tick for each of the 39 seconds: those still to go are lit.
  for (int tick = 0; tick < animationFrameCount - 1; ++tick) {
    const double angle = -pi / 2 + 2 * pi * tick / (animationFrameCount - 1);
    const Point2 inner = {middle + 49 * std::cos(angle), middle + 49 * std::sin(angle)};
    const Point2 outer = {middle + 58 * std::cos(angle), middle + 58 * std::sin(angle)};
    DrawLine(picture, inner, outer, 3.2, go || tick < remaining ? lit : unlit);
  }
  if (go) {
    DrawStrokeText(picture, "GO!", middle, 38, Lettering(50, lit, ink));
  } else {
    DrawStrokeText(picture, "T-MINUS", middle, 24, Lettering(10, white, ink));
    DrawStrokeText(picture, std::to_string(remaining), middle, 42, Lettering(48, white, ink));
  }
  const std::vector<Rgb> palette = RampPalette({{dark, light},
                                                {light, white},
                                                {ink, white},
                                                {ink, light},
                                                {ink, dark},
                                                {dark, lit},
                                                {light, lit},
                                                {ink, lit},
                                                {dark, unlit},
                                                {light, unlit},
                                                {ScaleRgb(dark, 0.3), dark}},
                                               23);
  return MatchToPalette(picture, palette, 0.0);
}

namespace {
// The rocket standing on its base point, 'scale' 1 being 56 pixels tall;
// 'flame' 0..1 how far its engine burns; without 'booster' only the upper
// stage is left.
void DrawRocket(Picture& picture, Point2 base, double scale, double flame, bool booster) {
  const double w = 7 * scale, bodyTop = base.y - 42 * scale, noseTop = base.y - 56 * scale;
  const double stageTop = booster ? base.y - 16 * scale : base.y;
  const double bottom = booster ? base.y : base.y - 16 * scale;
  if (flame > 0) {
    const double length = (10 + 26 * flame) * scale;
    FillPolygon(picture, {{base.x - w * 0.8, bottom}, {base.x + w * 0.8, bottom}, {base.x, bottom + length}},
                Rgb{255, 120, 30});
    FillPolygon(picture, {{base.x - w * 0.45, bottom}, {base.x + w * 0.45, bottom}, {base.x, bottom + length * 0.6}},
                Rgb{255, 240, 160});
  }
  const Rgb hull = {236, 236, 240}, shade = {170, 176, 196}, red = {214, 46, 52};
  FillPolygon(picture, {{base.x - w, bodyTop}, {base.x + w, bodyTop}, {base.x + w, bottom}, {base.x - w, bottom}},
              hull);
  FillPolygon(picture,
              {{base.x + w * 0.35, bodyTop}, {base.x + w, bodyTop}, {base.x + w, bottom}, {base.x + w * 0.35, bottom}},
              shade);
  FillPolygon(picture, {{base.x - w, bodyTop}, {base.x + w, bodyTop}, {base.x, noseTop}}, red);
  if (booster) {
    FillPolygon(picture,
                {{base.x - w, stageTop},
                 {base.x + w, stageTop},
                 {base.x + w, stageTop + 3 * scale},
                 {base.x - w, stageTop + 3 * scale}},
                red);
  }
  for (const double side : {-1.0, 1.0}) {
    FillPolygon(picture,
                {{base.x + side * w, bottom - 12 * scale},
                 {base.x + side * (w + 8 * scale), bottom},
                 {base.x + side * w, bottom}},
                red);
  }
  FillDisc(picture, {base.x, bodyTop + 9 * scale}, 4.2 * scale, Rgb{40, 60, 110});
  FillDisc(picture, {base.x - 1.2 * scale, bodyTop + 7.8 * scale}, 1.6 * scale, Rgb{150, 200, 255});
}

void DrawStars(Picture& picture, double visibility, uint64_t seed, double drift) {
  if (visibility <= 0) return;
  Prng prng = MakePrng(seed);
  for (int star = 0; star < 60; ++star) {
    const double x = NextUnit(prng) * size;
    const double y = std::fmod(NextUnit(prng) * size + drift, double(size));
    const double brightness = 0.5 + 0.5 * NextUnit(prng);
    FillDisc(picture, {x, y}, 0.7, MakeRgb(brightness, brightness, brightness), visibility);
  }
}

void DrawMoonSurface(Picture& picture, double top) {
  FillRows(picture, int(top), size, Rgb{170, 170, 178}, Rgb{96, 96, 108});
  const Point2 craters[] = {{20, 10}, {70, 22}, {108, 8}, {44, 34}};
  for (const Point2& crater : craters) {
    FillDisc(picture, {crater.x, top + crater.y}, 7, Rgb{120, 120, 130});
    FillDisc(picture, {crater.x + 1, top + crater.y + 1}, 5, Rgb{150, 150, 160});
  }
}
}  // namespace

Picture MakeRocketCard(int card) {
  // The story in stages, by card: on the pad (0-6, the engine lighting from
  // 2), the climb (7-20), space with the earth falling away (21-29), the
  // moon coming closer (28-35), the landing (34-37) and the flag (38, 39).
  const double k = card;
  const double climb = Ramp(k, 6, 21);          // 0 on the pad, 1 in space
  const double altitude = climb * climb * 200;  // pixels the ground has sunk
  const double skyDark = Ramp(k, 9, 20);
  Picture picture = MakePicture(size, size, Rgb{0, 0, 0});
  const Rgb skyTop = MixRgb(Rgb{40, 60, 140}, Rgb{2, 2, 10}, skyDark);
  const Rgb skyLow = MixRgb(Rgb{250, 150, 110}, Rgb{6, 6, 24}, skyDark);
  FillRows(picture, 0, size, skyTop, skyLow);
  DrawStars(picture, Ramp(k, 12, 20) + (card == 0 ? 0.5 : 0.0), 0x5EED0201, k * 9);

  // The earth: the ground at first, later a globe shrinking below.
  if (card <= 20) {
    const double ground = 112 + altitude;
    FillRows(picture, int(ground), size, Rgb{40, 70, 50}, Rgb{20, 34, 28});
    // The launch tower beside the pad.
    for (int rung = 0; rung < 8; ++rung) {
      const double y = ground - 8 - rung * 9;
      DrawLine(picture, {86, y}, {98, y - 9}, 1.2, Rgb{120, 110, 90});
    }
    DrawLine(picture, {86, ground}, {86, ground - 80}, 2, Rgb{150, 130, 100});
    DrawLine(picture, {98, ground}, {98, ground - 80}, 2, Rgb{150, 130, 100});
  }
  if (card >= 19 && card <= 33) {
    const double away = Ramp(k, 19, 33);
    const double radius = 150 - 120 * away;
    const Point2 centre = {middle - 30 * away, size + radius - 34 + 70 * away};
    FillDisc(picture, centre, radius + 3, Rgb{120, 170, 255}, 0.5);
    FillDisc(picture, centre, radius, Rgb{30, 90, 200});
    FillDisc(picture, {centre.x - radius * 0.3, centre.y - radius * 0.55}, radius * 0.3, Rgb{60, 150, 80});
    FillDisc(picture, {centre.x + radius * 0.35, centre.y - radius * 0.7}, radius * 0.18, Rgb{70, 160, 90});
  }
  // Clouds streaming past as the rocket climbs through them.
  if (card >= 10 && card <= 17) {
    Prng prng = MakePrng(0x5EED0202);
    for (int cloud = 0; cloud < 9; ++cloud) {
      const double x = NextUnit(prng) * size, y = NextUnit(prng) * 200 - 120 + (k - 10) * 34;
      for (int puff = 0; puff < 4; ++puff)
        FillDisc(picture, {x + puff * 9 - 14, y + (puff % 2) * 4}, 9, Rgb{236, 236, 246}, 0.9);
    }
  }
  // The moon: first far off, then its ground rising under the landing rocket.
  if (card >= 26 && card <= 33) {
    const double near = Ramp(k, 26, 33);
    const double radius = 6 + 60 * near * near;
    FillDisc(picture, {middle + 20 - 20 * near, 24 + 40 * near}, radius, Rgb{200, 200, 206});
    FillDisc(picture, {middle + 12 - 20 * near, 20 + 40 * near}, radius * 0.25, Rgb{160, 160, 170});
  }
  double surface = size;
  if (card >= 34) {
    surface = 150 - 46 * Ramp(k, 33, 37);
    FillDisc(picture, {104, 26}, 12, Rgb{30, 90, 200});  // the earth, far away
    FillDisc(picture, {101, 23}, 5, Rgb{60, 150, 80});
    DrawMoonSurface(picture, surface);
  }

  // Smoke at the pad while the engine lights and lifts off.
  if (card >= 2 && card <= 9) {
    const double puff = Ramp(k, 2, 8);
    for (int i = 0; i < 7; ++i) {
      const double x = middle + (i - 3) * (6 + 10 * puff);
      FillDisc(picture, {x, 110 + altitude - (i % 2) * 3}, 5 + 10 * puff, Rgb{220, 214, 210}, 0.85);
    }
  }

  // Where the rocket stands in the picture.
  Point2 base = {middle, 112};
  double scale = 1.0, flame = card >= 2 ? Ramp(k, 2, 6) : 0.0;
  if (card > 6) base.y = 112 - 36 * Ramp(k, 6, 12);
  if (card >= 22) scale = 1.0 - 0.35 * Ramp(k, 22, 30);
  if (card >= 30) flame = 0.15;
  if (card >= 34) {
    base.y = std::min(surface, 60 + 44 * Ramp(k, 33, 37));
    scale = 0.65;
    flame = card >= 37 ? 0.0 : 0.4;
  }
  const bool booster = card < 24;
  // The spent first stage tumbles away.
  if (card >= 24 && card <= 28) {
    const double fall = Ramp(k, 24, 28);
    const Point2 at = {base.x - 30 * fall, base.y + 10 + 50 * fall};
    FillPolygon(picture,
                {{at.x - 7 * scale, at.y - 14 * scale},
                 {at.x + 7 * scale, at.y - 16 * scale},
                 {at.x + 8 * scale, at.y},
                 {at.x - 6 * scale, at.y + 2 * scale}},
                Rgb{200, 200, 210});
  }
  DrawRocket(picture, base, scale, flame, booster);

  if (card >= 38) {
    DrawLine(picture, {30, surface + 4}, {30, surface - 30}, 1.6, Rgb{220, 220, 220});
    FillPolygon(picture, {{31, surface - 30}, {50, surface - 25}, {31, surface - 19}}, Rgb{230, 60, 70});
  }
  const Rgb ink = {10, 8, 24}, white = {255, 255, 255};
  if (card == 0) {
    DrawStrokeText(picture, "TO THE", middle, 6, Lettering(13, white, ink));
    DrawStrokeText(picture, "MOON", middle, 24, Lettering(18, Rgb{255, 220, 120}, ink));
    FillDisc(picture, {20, 22}, 9, Rgb{236, 230, 210});  // the moon to be reached
  }
  if (card == 39) DrawStrokeText(picture, "HELLO MOON", middle, 112, Lettering(11, white, ink));
  return picture;
}

namespace {
// The tree's palette: sky, sun, hills, soil, bark, leaves, blossom, letters.
const std::vector<Rgb> treePalette = {{110, 170, 230}, {190, 225, 250}, {255, 226, 120}, {80, 150, 70},
                                      {50, 110, 50},   {96, 64, 40},    {60, 36, 24},    {130, 90, 56},
                                      {30, 90, 40},    {70, 150, 60},   {140, 210, 100}, {240, 130, 170},
                                      {255, 220, 236}, {255, 255, 255}, {16, 20, 30},    {150, 120, 90}};

struct TreeGrowth {
  Picture& picture;
  double growth;  // 0 a seed, 1 fully grown
  std::vector<Point2> tips;
};

// A branch appears when the growth reaches its level and lengthens over the
// next stretch; the random choices are fixed per branch, so every card shows
// the same tree at a later stage.
void GrowBranch(TreeGrowth& tree, Point2 from, double angle, double length, double width, int level, uint64_t id) {
  const double start = level * 0.12, grown = Ramp(tree.growth, start, start + 0.3);
  if (grown <= 0) return;
  const Point2 to = {from.x + std::cos(angle) * length * grown, from.y - std::sin(angle) * length * grown};
  DrawLine(tree.picture, from, to, std::max(1.0, width * grown), level < 2 ? Rgb{96, 64, 40} : Rgb{130, 90, 56});
  if (level >= 5 || grown < 0.5) {
    tree.tips.push_back(to);
    return;
  }
  Prng prng = MakePrng(id);
  const int children = 2 + (NextUnit(prng) < 0.35);
  for (int child = 0; child < children; ++child) {
    const double spread = (child - (children - 1) / 2.0) * (0.7 + 0.25 * NextUnit(prng));
    GrowBranch(tree, to, angle + spread + 0.1 * NextSigned(prng), length * (0.68 + 0.1 * NextUnit(prng)), width * 0.66,
               level + 1, id * 31 + uint64_t(child) + 1);
  }
}
}  // namespace

IndexedPicture MakeTreeCard(int card) {
  const double growth = card / double(animationFrameCount - 1);
  Picture picture = MakePicture(size, size, Rgb{0, 0, 0});
  FillRows(picture, 0, 96, Rgb{110, 170, 230}, Rgb{190, 225, 250});
  // The sun crosses the sky once over the forty days.
  FillDisc(picture, {12 + 104 * growth, 58 - 24 * std::sin(pi * growth)}, 9, Rgb{255, 226, 120});
  for (int x = 0; x < size; ++x) {
    const double hill = 92 + 6 * std::sin(x / 17.0 + 1.0);
    for (int y = int(hill); y < size; ++y) PixelAt(picture, x, y) = y < 108 ? Rgb{80, 150, 70} : Rgb{60, 36, 24};
  }
  for (int x = 0; x < size; ++x) PixelAt(picture, x, 107) = Rgb{50, 110, 50};

  const Point2 root = {middle, 108};
  if (card == 0) {
    FillDisc(picture, {root.x, root.y + 6}, 4, Rgb{150, 120, 90});  // the seed in the soil
    DrawLine(picture, {root.x, root.y + 3}, {root.x + 1, root.y + 5}, 1, Rgb{240, 240, 200});
  }
  TreeGrowth tree{picture, growth, {}};
  GrowBranch(tree, root, pi / 2, 27, 7, 0, 0x5EED0301);
  // Leaves from the first shoot on, in clusters round the twigs' ends, and
  // blossom in the last days.
  const double leaves = Ramp(growth, 0.0, 0.75), blossom = Ramp(growth, 0.75, 1.0);
  Prng prng = MakePrng(0x5EED0302);
  for (const Point2& tip : tree.tips) {
    const double leaf = 1.5 + 4.5 * leaves * (0.6 + 0.4 * NextUnit(prng));
    for (int k = 0; k < 3; ++k) {
      const double angle = 2 * pi * (k / 3.0 + NextUnit(prng) * 0.2);
      const Point2 at = {tip.x + leaf * 0.8 * std::cos(angle), tip.y + leaf * 0.6 * std::sin(angle)};
      FillDisc(picture, {at.x + 1, at.y + 1}, leaf, Rgb{30, 90, 40});
      FillDisc(picture, at, leaf, Rgb{70, 150, 60});
      FillDisc(picture, {at.x - leaf * 0.3, at.y - leaf * 0.3}, leaf * 0.45, Rgb{140, 210, 100});
    }
    for (int flower = 0; flower < 2; ++flower) {
      if (NextUnit(prng) >= blossom) continue;
      const Point2 at = {tip.x + 5 * NextSigned(prng), tip.y + 4 * NextSigned(prng)};
      FillDisc(picture, at, 2.8, Rgb{240, 130, 170});
      FillDisc(picture, at, 1.2, Rgb{255, 220, 236});
    }
  }
  const Rgb ink = {16, 20, 30}, white = {255, 255, 255};
  if (card > 0) {
    DrawStrokeText(picture, "DAY " + std::to_string(card + 1), middle, 6, Lettering(12, white, ink));
  } else {
    DrawStrokeText(picture, "A SEED", middle, 10, Lettering(16, white, ink));
    DrawStrokeText(picture, "DAY 1", middle, 34, Lettering(11, white, ink));
  }
  return MatchToPalette(picture, treePalette, 16.0);
}
