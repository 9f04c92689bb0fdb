// The generator's lettering: smooth edges, drawn where its measure says,
// capitals for lower case, and nothing for characters it has no glyph for.
#include <gtest/gtest.h>

#include <algorithm>

#include "datagen/stroke_font.h"

namespace {
TextStyle PlainWhite(double capHeight) {
  TextStyle style;
  style.capHeight = capHeight;
  style.outlineWidth = 0;
  style.shadowOffset = 0;
  return style;
}

Picture Drawn(const std::string& text, const TextStyle& style) {
  Picture picture = MakePicture(200, 80, Rgb{0, 0, 0});
  DrawStrokeText(picture, text, 100, 20, style);
  return picture;
}
}  // namespace

TEST(StrokeFont, LettersHaveSmoothEdgesInsideTheirMeasuredBox) {
  const TextStyle style = PlainWhite(36);
  const Picture picture = Drawn("WAVE 40", style);
  const double halfWidth = StrokeTextWidth("WAVE 40", style) / 2, pen = style.weight * style.capHeight / 2;
  int solid = 0, partial = 0;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const int level = picture.pixels[size_t(y) * picture.width + x].g;
      if (level == 0) continue;
      solid += level == 255;
      partial += level < 255;
      EXPECT_LE(std::abs(x + 0.5 - 100), halfWidth + 1) << x << "," << y;
      EXPECT_GE(y + 0.5, 20 - pen - 1) << x << "," << y;
      EXPECT_LE(y + 0.5, 20 + style.capHeight + pen + 1) << x << "," << y;
    }
  }
  EXPECT_GT(solid, 500);
  // A jagged edge has no partly covered pixels; a smooth one has many.
  EXPECT_GT(partial, solid / 10);
}

TEST(StrokeFont, LowerCaseIsDrawnAsCapitalsAndUnknownCharactersAsNothing) {
  const TextStyle style = PlainWhite(30);
  EXPECT_TRUE(Drawn("Qeb", style).pixels == Drawn("QEB", style).pixels);
  const Picture blank = MakePicture(200, 80, Rgb{0, 0, 0});
  EXPECT_TRUE(Drawn("~#", style).pixels == blank.pixels);
}
