// Text a person typed (UTF-8, any script the installed fonts cover), drawn
// onto a picture with FreeType in a font that fontconfig picks for it.
#pragma once

#include <string>
#include <vector>

#include "datagen/picture.h"

struct TextLook {
  int pixelHeight = 32;  // the font's size; made smaller until the text fits
  int maxWidth = 240;
  Rgb fill{255, 255, 255};
  Rgb outline{0, 0, 0};
};

struct DrawnText {
  bool fontFound = false;
  std::string fontName;
  std::vector<char32_t> missing;  // characters the font has no glyph for, each once
  bool badText = false;           // the text is not valid UTF-8
};

// Draws the text centred on (centreX, centreY) with an outline around the
// letters; characters the font cannot draw are left out.
DrawnText DrawText(Picture& picture, const std::string& utf8, int centreX, int centreY, const TextLook& look);

// Lets fontconfig free what it keeps between texts; call once no more text
// will be drawn.
void ReleaseFonts();
