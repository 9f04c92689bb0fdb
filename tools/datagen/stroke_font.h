// The generator's own lettering: capital letters, digits and a little
// punctuation drawn as strokes of a round pen along straight lines and
// elliptic arcs. Each pixel is covered in proportion to how far its centre
// lies inside the stroke, so the letters come out smooth at any size, the
// same bytes on every run. Lower-case letters are drawn as capitals;
// characters without a glyph are left blank.
#pragma once

#include <functional>
#include <string>

#include "datagen/picture.h"

struct TextStyle {
  double capHeight = 20;    // pixels from the top of a capital to the baseline
  double weight = 0.16;     // stroke width as a share of the cap height
  double outlineWidth = 2;  // pixels of outline round the strokes (0: none)
  double shadowOffset = 2;  // pixels down and right of a soft drop shadow (0: none)
  Rgb outline{0, 0, 0};
  // The fill colour at a height through the letters, 0 at the top, 1 at the baseline.
  std::function<Rgb(double)> fill = [](double) { return Rgb{255, 255, 255}; };
};

// Width in pixels of the text's strokes from the left edge of the first to
// the right edge of the last.
double StrokeTextWidth(const std::string& text, const TextStyle& style);

// Draws the text centred on centreX, the tops of its capitals at 'top'.
void DrawStrokeText(Picture& picture, const std::string& text, double centreX, double top, const TextStyle& style);
