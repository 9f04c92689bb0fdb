// A small built-in bitmap font: glyphs of 5 x 7 cells (letters, digits and a
// little punctuation), drawn at any whole-number scale. Unknown characters
// are blank.
#pragma once

constexpr int glyphWidth = 5;
constexpr int glyphHeight = 7;
constexpr int glyphAdvance = glyphWidth + 1;  // one blank column between glyphs

// Width and height in pixels of the text drawn at this scale.
int TextWidth(const char* text, int scale);
inline int TextHeight(int scale) { return glyphHeight * scale; }

// Whether pixel (x, y) of the text, measured from its top-left corner, is set.
bool TextCovers(const char* text, int scale, int x, int y);
