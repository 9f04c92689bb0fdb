// Smooth shapes painted onto a picture: each pixel takes the shape's colour
// in proportion to how much of it the shape covers.
#pragma once

#include <vector>

#include "datagen/picture.h"

struct Point2 {
  double x, y;
};

void FillDisc(Picture& picture, Point2 centre, double radius, Rgb colour, double opacity = 1.0);
// A straight stroke with round ends.
void DrawLine(Picture& picture, Point2 from, Point2 to, double width, Rgb colour, double opacity = 1.0);
// Any simple polygon (even-odd rule), its coverage sampled 4 x 4 per pixel.
void FillPolygon(Picture& picture, const std::vector<Point2>& corners, Rgb colour, double opacity = 1.0);
// Rows from 'top' to 'bottom' (exclusive) shaded from one colour to the other.
void FillRows(Picture& picture, int top, int bottom, Rgb topColour, Rgb bottomColour);
