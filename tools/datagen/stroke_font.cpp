#include "datagen/stroke_font.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

namespace {
constexpr double pi = 3.14159265358979323846;
constexpr double capUnits = 10.0;     // glyphs are drawn on a grid 10 units high, y downwards
constexpr double letterGap = 2.6;     // units between the pen lines of neighbouring glyphs
constexpr int arcPointsPerTurn = 96;  // arcs become this many straight pieces per full turn

struct GlyphSource {
  char character;
  double width;         // units from the leftmost to the rightmost pen line
  const char* strokes;  // strokes split by ';', points by spaces: "x,y", or an
                        // arc "(cx,cy,rx,ry,fromDegrees,toDegrees)", 0 degrees
                        // pointing right and 90 down
};

const GlyphSource glyphSources[] = {
    {'A', 7, "0,10 3.5,0 7,10; 1.3,6.6 5.7,6.6"},
    {'B', 6.3, "0,5 0,0 3.5,0 (3.5,2.5,2.5,2.5,-90,90) 0,5; 0,5 3.8,5 (3.8,7.5,2.5,2.5,-90,90) 0,10 0,5"},
    {'C', 7.6, "(4,5,4,5,-42,-318)"},
    {'D', 6.6, "0,0 0,10 2.2,10 (2.2,5,4.4,5,90,-90) 0,0"},
    {'E', 5.5, "5.5,0 0,0 0,10 5.5,10; 0,5 4.6,5"},
    {'F', 5.5, "5.5,0 0,0 0,10; 0,5 4.6,5"},
    {'G', 8, "(4,5,4,5,-42,-360) 4.6,5"},
    {'H', 6.5, "0,0 0,10; 6.5,0 6.5,10; 0,5 6.5,5"},
    {'I', 0, "0,0 0,10"},
    {'J', 5, "5,0 5,7.5 (2.5,7.5,2.5,2.5,0,165)"},
    {'K', 6, "0,0 0,10; 6,0 0,6.2; 2.1,4.4 6,10"},
    {'L', 5, "0,0 0,10 5,10"},
    {'M', 8, "0,10 0,0 4,7 8,0 8,10"},
    {'N', 6.5, "0,10 0,0 6.5,10 6.5,0"},
    {'O', 8, "(4,5,4,5,0,360)"},
    {'P', 6, "0,10 0,0 3.2,0 (3.2,2.75,2.75,2.75,-90,90) 0,5.5"},
    {'Q', 8, "(4,5,4,5,0,360); 5,7 8.2,10.4"},
    {'R', 6.2, "0,10 0,0 3.2,0 (3.2,2.75,2.75,2.75,-90,90) 0,5.5; 3,5.5 6.2,10"},
    {'S', 6, "(3,2.5,2.8,2.5,-25,-270) (3,7.5,3,2.5,-90,155)"},
    {'T', 7, "0,0 7,0; 3.5,0 3.5,10"},
    {'U', 6.5, "0,0 0,6.75 (3.25,6.75,3.25,3.25,180,0) 6.5,0"},
    {'V', 7, "0,0 3.5,10 7,0"},
    {'W', 10, "0,0 2.5,10 5,2.2 7.5,10 10,0"},
    {'X', 6.5, "0,0 6.5,10; 6.5,0 0,10"},
    {'Y', 7, "0,0 3.5,5 7,0; 3.5,5 3.5,10"},
    {'Z', 6, "0,0 6,0 0,10 6,10"},
    {'0', 6, "(3,5,3,5,0,360)"},
    {'1', 3, "0,2 3,0 3,10"},
    {'2', 6, "(3,3,3,3,-165,25) 0,10 6,10"},
    {'3', 6, "(3,2.5,2.8,2.5,-150,90) 2,5; 2,5 (3,7.5,3,2.5,-90,150)"},
    {'4', 6.5, "5,10 5,0 0,7 6.5,7"},
    {'5', 6, "5.6,0 0.8,0 0.3,4.6 (3,6.9,3,3.1,-137,145)"},
    {'6', 6, "(3,7,3,3,0,360); 0,7 (6,7,6,7,180,255)"},
    {'7', 6, "0,0 6,0 2,10"},
    {'8', 6, "(3,2.5,2.6,2.5,0,360); (3,7.5,3,2.5,0,360)"},
    {'9', 6, "(3,3,3,3,0,360); 6,3 (0,3,6,7,0,75)"},
    {'!', 0, "0,0 0,6.6; 0,9.9 0,10"},
    {'?', 6, "(3,3,3,3,-165,60) 3,6.6 3,7; 3,9.9 3,10"},
    {'.', 0, "0,9.9 0,10"},
    {',', 0.8, "0.8,9.6 0,11.4"},
    {':', 0, "0,3.4 0,3.5; 0,9.9 0,10"},
    {'-', 4, "0,5.6 4,5.6"},
    {'\'', 0, "0,0 0,3"},
    {' ', 3, ""},
};

struct Point {
  double x, y;
};

struct Glyph {
  double width = 0;
  std::vector<std::vector<Point>> strokes;
};

void AddArc(std::vector<Point>& stroke, const double (&arc)[6]) {
  const double from = arc[4] * pi / 180, to = arc[5] * pi / 180;
  const int pieces = std::max(2, int(std::ceil(std::fabs(to - from) / (2 * pi) * arcPointsPerTurn)));
  for (int k = 0; k <= pieces; ++k) {
    const double angle = from + (to - from) * k / pieces;
    stroke.push_back({arc[0] + arc[2] * std::cos(angle), arc[1] + arc[3] * std::sin(angle)});
  }
}

Glyph ParseGlyph(const GlyphSource& source) {
  Glyph glyph;
  glyph.width = source.width;
  std::vector<Point> stroke;
  const char* at = source.strokes;
  auto finishStroke = [&] {
    if (!stroke.empty()) glyph.strokes.push_back(stroke);
    stroke.clear();
  };
  while (*at) {
    if (*at == ';') {
      finishStroke();
      ++at;
    } else if (*at == '(') {
      double arc[6] = {};
      int used = 0;
      std::sscanf(at, "(%lf,%lf,%lf,%lf,%lf,%lf)%n", &arc[0], &arc[1], &arc[2], &arc[3], &arc[4], &arc[5], &used);
      AddArc(stroke, arc);
      at += used > 0 ? used : 1;
    } else if (*at == '-' || std::isdigit(static_cast<unsigned char>(*at))) {
      Point point{};
      int used = 0;
      std::sscanf(at, "%lf,%lf%n", &point.x, &point.y, &used);
      stroke.push_back(point);
      at += used > 0 ? used : 1;
    } else {
      ++at;
    }
  }
  finishStroke();
  return glyph;
}

const Glyph* GlyphFor(char character) {
  static const std::map<char, Glyph> glyphs = [] {
    std::map<char, Glyph> parsed;
    for (const GlyphSource& source : glyphSources) parsed[source.character] = ParseGlyph(source);
    return parsed;
  }();
  const auto found = glyphs.find(char(std::toupper(static_cast<unsigned char>(character))));
  return found == glyphs.end() ? nullptr : &found->second;
}

double GlyphWidth(char character) {
  const Glyph* glyph = GlyphFor(character);
  return glyph ? glyph->width : 3.0;
}

// Text width in grid units, pen lines only.
double TextUnits(const std::string& text) {
  double units = 0;
  for (size_t i = 0; i < text.size(); ++i) units += GlyphWidth(text[i]) + (i + 1 < text.size() ? letterGap : 0.0);
  return units;
}

struct Segment {
  Point a, b;
};

double DistanceToSegment(Point p, const Segment& s) {
  const double dx = s.b.x - s.a.x, dy = s.b.y - s.a.y;
  const double lengthSquared = dx * dx + dy * dy;
  double t = lengthSquared > 0 ? ((p.x - s.a.x) * dx + (p.y - s.a.y) * dy) / lengthSquared : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  const double cx = s.a.x + t * dx - p.x, cy = s.a.y + t * dy - p.y;
  return std::sqrt(cx * cx + cy * cy);
}

// The text's pen lines in picture pixels.
std::vector<Segment> TextSegments(const std::string& text, double left, double top, double scale) {
  std::vector<Segment> segments;
  double pen = left;
  for (char character : text) {
    if (const Glyph* glyph = GlyphFor(character)) {
      for (const std::vector<Point>& stroke : glyph->strokes) {
        auto place = [&](Point p) { return Point{pen + p.x * scale, top + p.y * scale}; };
        if (stroke.size() == 1) segments.push_back({place(stroke[0]), place(stroke[0])});
        for (size_t k = 1; k < stroke.size(); ++k) segments.push_back({place(stroke[k - 1]), place(stroke[k])});
      }
    }
    pen += (GlyphWidth(character) + letterGap) * scale;
  }
  return segments;
}

// How much of a pixel a round pen of this radius covers, from the distance
// of the pixel's centre to the pen line: a one-pixel ramp across the edge.
double Coverage(double distance, double radius) { return std::clamp(radius - distance + 0.5, 0.0, 1.0); }

Rgb Blend(Rgb under, Rgb over, double amount) { return amount <= 0 ? under : MixRgb(under, over, amount); }
}  // namespace

double StrokeTextWidth(const std::string& text, const TextStyle& style) {
  return TextUnits(text) * style.capHeight / capUnits + style.weight * style.capHeight;
}

void DrawStrokeText(Picture& picture, const std::string& text, double centreX, double top, const TextStyle& style) {
  const double scale = style.capHeight / capUnits;
  const double radius = style.weight * style.capHeight / 2;
  const std::vector<Segment> segments = TextSegments(text, centreX - TextUnits(text) * scale / 2, top, scale);
  if (segments.empty()) return;
  const double reach = radius + style.outlineWidth + style.shadowOffset + 2;
  double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
  for (const Segment& s : segments) {
    minX = std::min({minX, s.a.x, s.b.x});
    maxX = std::max({maxX, s.a.x, s.b.x});
    minY = std::min({minY, s.a.y, s.b.y});
    maxY = std::max({maxY, s.a.y, s.b.y});
  }
  const int x0 = std::max(0, int(std::floor(minX - reach))), x1 = std::min(picture.width - 1, int(maxX + reach));
  const int y0 = std::max(0, int(std::floor(minY - reach))), y1 = std::min(picture.height - 1, int(maxY + reach));
  auto nearest = [&](Point p) {
    double best = 1e9;
    for (const Segment& s : segments) {
      // Most segments are far away: skip them before the exact distance.
      if (std::min(s.a.x, s.b.x) - p.x > best || p.x - std::max(s.a.x, s.b.x) > best ||
          std::min(s.a.y, s.b.y) - p.y > best || p.y - std::max(s.a.y, s.b.y) > best) {
        continue;
      }
      best = std::min(best, DistanceToSegment(p, s));
    }
    return best;
  };
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      const Point centre = {x + 0.5, y + 0.5};
      const double distance = nearest(centre);
      const double outer = radius + style.outlineWidth;
      Rgb& pixel = PixelAt(picture, x, y);
      if (style.shadowOffset > 0) {
        const double shadow = Coverage(nearest({centre.x - style.shadowOffset, centre.y - style.shadowOffset}), outer);
        pixel = Blend(pixel, ScaleRgb(pixel, 0.3), 0.8 * shadow);
      }
      if (style.outlineWidth > 0) pixel = Blend(pixel, style.outline, Coverage(distance, outer));
      pixel = Blend(pixel, style.fill(std::clamp((centre.y - top) / style.capHeight, 0.0, 1.0)),
                    Coverage(distance, radius));
    }
  }
}
