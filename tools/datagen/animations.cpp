#include "datagen/animations.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "datagen/prng.h"

namespace {
constexpr int size = animationSize;
constexpr double pi = 3.14159265358979323846;

// The phase of a frame as a fraction of the loop: every moving part below
// turns a whole number of times per loop, so frame 40 leads into frame 1.
double LoopPhase(int frame) { return double(frame) / animationFrameCount; }
}  // namespace

IndexedPicture MakePlasmaFrame(int frame) {
  const double phase = 2 * pi * LoopPhase(frame);
  std::vector<Rgb> palette;
  for (int i = 0; i < 256; ++i) {
    // A rainbow that slides one full turn through the palette per loop.
    const double p = 2 * pi * (i / 256.0 + LoopPhase(frame));
    palette.push_back(MakeRgb(0.5 + 0.5 * std::cos(p), 0.5 + 0.5 * std::cos(p - 2.1), 0.5 + 0.5 * std::cos(p - 4.2)));
  }
  IndexedPicture picture = MakeIndexedPicture(size, size, palette);
  const double centreX = 64 + 30 * std::cos(phase), centreY = 64 + 30 * std::sin(2 * phase);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const double ring = std::sqrt((x - centreX) * (x - centreX) + (y - centreY) * (y - centreY));
      const double value = std::sin(x / 13.0 + phase) + std::sin(y / 9.0 - 2 * phase) +
                           std::sin((x + y) / 19.0 + phase) + std::sin(ring / 7.0 - 3 * phase);
      IndexAt(picture, x, y) = uint8_t(std::clamp(int((value + 4.0) / 8.0 * 256.0), 0, 255));
    }
  }
  return picture;
}

Picture MakeTunnelFrame(int frame) {
  const double phase = LoopPhase(frame);
  Picture picture = MakePicture(size, size, Rgb{0, 0, 0});
  // The vanishing point circles the middle once per loop.
  const double centreX = 64 + 14 * std::cos(2 * pi * phase), centreY = 64 + 14 * std::sin(2 * pi * phase);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const double dx = x + 0.5 - centreX, dy = y + 0.5 - centreY;
      const double radius = std::max(1.0, std::sqrt(dx * dx + dy * dy));
      const double around = std::atan2(dy, dx) / (2 * pi) + 0.5;  // 0..1 round the tunnel
      const double depth = 40.0 / radius;
      // Two turns of depth and one twist of the pattern per loop.
      const double u = around * 12.0 + phase * 2.0 + depth * 0.5;
      const double v = depth * 2.0 + phase * 4.0;
      const bool light = (int(std::floor(u)) + int(std::floor(v))) % 2 == 0;
      const Rgb tile = light ? Rgb{255, 70, 200} : Rgb{40, 220, 255};
      const double edge = std::min(std::fabs(u - std::round(u)), std::fabs(v - std::round(v)));
      const double brightness = std::clamp(radius / 70.0, 0.0, 1.0) * (edge < 0.06 ? 0.45 : 1.0);
      // The far end glows white.
      const double glow = std::exp(-radius / 6.0);
      PixelAt(picture, x, y) = MixRgb(ScaleRgb(tile, brightness), Rgb{255, 255, 255}, glow);
    }
  }
  return picture;
}

namespace {
struct Point3 {
  double x, y, z;
};

// The cube's palette: background, three star shades, three face colours in
// three shades each, the edge colour, two nebula shades.
const std::vector<Rgb> cubePalette = {{6, 4, 20},      {90, 90, 120},   {170, 170, 200}, {255, 255, 255},
                                      {110, 20, 20},   {200, 50, 40},   {255, 120, 90},  {20, 80, 30},
                                      {40, 170, 60},   {130, 240, 120}, {20, 40, 110},   {50, 100, 220},
                                      {130, 180, 255}, {255, 240, 160}, {24, 10, 44},    {40, 18, 70}};
constexpr uint8_t starShades[] = {1, 2, 3};
constexpr uint8_t edgeColour = 13;

Point3 Rotate(Point3 p, double turn, double tilt) {
  const Point3 turned = {p.x * std::cos(turn) + p.z * std::sin(turn), p.y,
                         -p.x * std::sin(turn) + p.z * std::cos(turn)};
  return {turned.x, turned.y * std::cos(tilt) - turned.z * std::sin(tilt),
          turned.y * std::sin(tilt) + turned.z * std::cos(tilt)};
}

double Cross(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

double DistanceToSegment(double px, double py, double ax, double ay, double bx, double by) {
  const double lengthSquared = (bx - ax) * (bx - ax) + (by - ay) * (by - ay);
  const double t = std::clamp(((px - ax) * (bx - ax) + (py - ay) * (by - ay)) / lengthSquared, 0.0, 1.0);
  const double cx = ax + t * (bx - ax) - px, cy = ay + t * (by - ay) - py;
  return std::sqrt(cx * cx + cy * cy);
}
// Whether (px, py) lies inside a convex quad wound like the visible faces;
// also gives the distance to its nearest edge when asked.
bool InsideQuad(const double* xs, const double* ys, double px, double py, double* nearestEdge) {
  for (int k = 0; k < 4; ++k) {
    const int next = (k + 1) % 4;
    if (Cross(xs[next] - xs[k], ys[next] - ys[k], px - xs[k], py - ys[k]) > 0) return false;
    if (nearestEdge) *nearestEdge = std::min(*nearestEdge, DistanceToSegment(px, py, xs[k], ys[k], xs[next], ys[next]));
  }
  return true;
}
}  // namespace

IndexedPicture MakeCubeFrame(int frame) {
  const double phase = LoopPhase(frame);
  IndexedPicture picture = MakeIndexedPicture(size, size, cubePalette);

  // Background: two bands of nebula, then stars drifting left, one picture
  // width per loop.
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const double band = std::sin(x / 20.0 + y / 31.0 - 2 * pi * phase);
      IndexAt(picture, x, y) = band > 0.75 ? 15 : band > 0.35 ? 14 : 0;
    }
  }
  Prng prng = MakePrng(0x5EED0003);
  for (int star = 0; star < 70; ++star) {
    const double startX = NextUnit(prng) * size;
    const int y = int(NextUnit(prng) * size);
    const int layer = int(NextUnit(prng) * 3);  // nearer stars are brighter and move faster
    const int x = int(std::floor(startX - phase * size * (layer + 1) + 4.0 * size)) % size;
    IndexAt(picture, x, y) = starShades[layer];
  }

  static const std::array<Point3, 8> corners = {
      {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1}, {-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}}};
  // Faces as corner indices, all wound the same way seen from outside, with
  // their colour (opposite faces share one).
  struct Face {
    int corner[4];
    int colour;
  };
  static const Face faces[6] = {{{4, 5, 6, 7}, 0}, {{1, 0, 3, 2}, 0}, {{5, 1, 2, 6}, 1},
                                {{0, 4, 7, 3}, 1}, {{7, 6, 2, 3}, 2}, {{0, 1, 5, 4}, 2}};
  // The cube turns once round its upright axis per loop while it rocks
  // towards the viewer and back, and bobs up and down twice.
  const double turn = 2 * pi * phase, tilt = 0.45 + 0.3 * std::sin(2 * pi * phase);
  const double bob = 6.0 * std::sin(4 * pi * phase);
  auto project = [&](Point3 p, double& x, double& y) {
    const double distance = 4.2 - p.z;
    x = 64 + 118 * p.x / distance;
    y = 64 - 118 * p.y / distance + bob;
  };
  std::array<Point3, 8> turned;
  for (int i = 0; i < 8; ++i) turned[i] = Rotate(corners[i], turn, tilt);
  for (const Face& face : faces) {
    // The face and, inside it, a panel 60 % of its size in a lighter shade.
    double outerX[4], outerY[4], innerX[4], innerY[4];
    Point3 centre = {0, 0, 0};
    for (int k = 0; k < 4; ++k) {
      const Point3 p = turned[face.corner[k]];
      centre = {centre.x + p.x / 4, centre.y + p.y / 4, centre.z + p.z / 4};
    }
    for (int k = 0; k < 4; ++k) {
      const Point3 p = turned[face.corner[k]];
      project(p, outerX[k], outerY[k]);
      project({centre.x + 0.6 * (p.x - centre.x), centre.y + 0.6 * (p.y - centre.y), centre.z + 0.6 * (p.z - centre.z)},
              innerX[k], innerY[k]);
    }
    const double area =
        Cross(outerX[1] - outerX[0], outerY[1] - outerY[0], outerX[2] - outerX[0], outerY[2] - outerY[0]);
    if (area >= 0) continue;  // facing away (the screen's y runs downwards)
    // Shade by how squarely the face looks at the light, up and to the left.
    const Point3 a = turned[face.corner[0]], b = turned[face.corner[1]], d = turned[face.corner[3]];
    const Point3 u = {b.x - a.x, b.y - a.y, b.z - a.z}, v = {d.x - a.x, d.y - a.y, d.z - a.z};
    const Point3 normal = {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
    const double light = (-0.4 * normal.x + 0.6 * normal.y + 0.7 * normal.z) / 4.0;
    const int shade = light > 0.55 ? 2 : light > 0.15 ? 1 : 0;
    const uint8_t colour = uint8_t(4 + face.colour * 3 + shade);
    const uint8_t panelColour = uint8_t(4 + face.colour * 3 + (shade == 2 ? 1 : shade + 1));
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        const double px = x + 0.5, py = y + 0.5;
        double nearestEdge = 1e9;
        if (!InsideQuad(outerX, outerY, px, py, &nearestEdge)) continue;
        IndexAt(picture, x, y) = nearestEdge < 1.1                             ? edgeColour
                                 : InsideQuad(innerX, innerY, px, py, nullptr) ? panelColour
                                                                               : colour;
      }
    }
  }
  return picture;
}
