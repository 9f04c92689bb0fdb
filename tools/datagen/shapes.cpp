#include "datagen/shapes.h"

#include <algorithm>
#include <cmath>

namespace {
void Paint(Picture& picture, int x, int y, Rgb colour, double amount) {
  if (amount <= 0 || x < 0 || y < 0 || x >= picture.width || y >= picture.height) return;
  Rgb& pixel = PixelAt(picture, x, y);
  pixel = MixRgb(pixel, colour, std::min(1.0, amount));
}

// The pixels a shape reaching 'reach' round these bounds may touch.
template <typename Visit>
void ForPixelsNear(const Picture& picture, double minX, double minY, double maxX, double maxY, double reach,
                   Visit visit) {
  const int x0 = std::max(0, int(std::floor(minX - reach))), x1 = std::min(picture.width - 1, int(maxX + reach));
  const int y0 = std::max(0, int(std::floor(minY - reach))), y1 = std::min(picture.height - 1, int(maxY + reach));
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) visit(x, y);
}
}  // namespace

void FillDisc(Picture& picture, Point2 centre, double radius, Rgb colour, double opacity) {
  ForPixelsNear(picture, centre.x, centre.y, centre.x, centre.y, radius + 1, [&](int x, int y) {
    const double distance = std::hypot(x + 0.5 - centre.x, y + 0.5 - centre.y);
    Paint(picture, x, y, colour, opacity * std::clamp(radius - distance + 0.5, 0.0, 1.0));
  });
}

void DrawLine(Picture& picture, Point2 from, Point2 to, double width, Rgb colour, double opacity) {
  const double dx = to.x - from.x, dy = to.y - from.y, lengthSquared = dx * dx + dy * dy;
  ForPixelsNear(picture, std::min(from.x, to.x), std::min(from.y, to.y), std::max(from.x, to.x), std::max(from.y, to.y),
                width / 2 + 1, [&](int x, int y) {
                  const double px = x + 0.5 - from.x, py = y + 0.5 - from.y;
                  const double t = lengthSquared > 0 ? std::clamp((px * dx + py * dy) / lengthSquared, 0.0, 1.0) : 0.0;
                  const double distance = std::hypot(px - t * dx, py - t * dy);
                  Paint(picture, x, y, colour, opacity * std::clamp(width / 2 - distance + 0.5, 0.0, 1.0));
                });
}

void FillPolygon(Picture& picture, const std::vector<Point2>& corners, Rgb colour, double opacity) {
  if (corners.size() < 3) return;
  double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
  for (const Point2& p : corners) {
    minX = std::min(minX, p.x), minY = std::min(minY, p.y), maxX = std::max(maxX, p.x), maxY = std::max(maxY, p.y);
  }
  auto inside = [&](double px, double py) {
    bool in = false;
    for (size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
      const Point2 a = corners[i], b = corners[j];
      if ((a.y > py) != (b.y > py) && px < a.x + (py - a.y) * (b.x - a.x) / (b.y - a.y)) in = !in;
    }
    return in;
  };
  ForPixelsNear(picture, minX, minY, maxX, maxY, 1, [&](int x, int y) {
    int covered = 0;
    for (int sy = 0; sy < 4; ++sy)
      for (int sx = 0; sx < 4; ++sx) covered += inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4);
    Paint(picture, x, y, colour, opacity * covered / 16.0);
  });
}

void FillRows(Picture& picture, int top, int bottom, Rgb topColour, Rgb bottomColour) {
  top = std::max(0, top);
  bottom = std::min(picture.height, bottom);
  for (int y = top; y < bottom; ++y) {
    const Rgb colour = MixRgb(topColour, bottomColour, bottom - top > 1 ? double(y - top) / (bottom - top - 1) : 0.0);
    for (int x = 0; x < picture.width; ++x) PixelAt(picture, x, y) = colour;
  }
}
