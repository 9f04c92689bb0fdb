#include "title_text.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <memory>

namespace {
std::vector<char32_t> DecodeUtf8(const std::string& text, bool& bad) {
  std::vector<char32_t> characters;
  const auto* bytes = reinterpret_cast<const FcChar8*>(text.data());
  int left = int(text.size());
  while (left > 0) {
    FcChar32 character = 0;
    const int used = FcUtf8ToUcs4(bytes, &character, left);
    if (used <= 0) {
      bad = true;
      break;
    }
    characters.push_back(char32_t(character));
    bytes += used;
    left -= used;
  }
  return characters;
}

// The file of the bold sans-serif font that covers most of the text.
std::string FindFont(const std::vector<char32_t>& characters, int& index, std::string& name) {
  if (!FcInit()) return {};
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif:bold"));
  if (!pattern) return {};
  FcCharSet* wanted = FcCharSetCreate();
  for (char32_t character : characters) FcCharSetAddChar(wanted, FcChar32(character));
  FcPatternAddCharSet(pattern, FC_CHARSET, wanted);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  std::string file;
  if (match) {
    FcChar8* path = nullptr;
    FcChar8* family = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) file = reinterpret_cast<const char*>(path);
    if (FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch) name = reinterpret_cast<const char*>(family);
    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
    FcPatternDestroy(match);
  }
  FcCharSetDestroy(wanted);
  FcPatternDestroy(pattern);
  return file;
}

struct LibraryCloser {
  void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceCloser {
  void operator()(FT_Face face) const { FT_Done_Face(face); }
};

// The width of the text in pixels at the face's current size.
int Measure(FT_Face face, const std::vector<FT_UInt>& glyphs) {
  long width = 0;
  FT_UInt previous = 0;
  for (FT_UInt glyph : glyphs) {
    if (FT_HAS_KERNING(face) && previous) {
      FT_Vector kerning;
      if (FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &kerning) == 0) width += kerning.x;
    }
    if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT) == 0) width += face->glyph->advance.x;
    previous = glyph;
  }
  return int(width >> 6);
}

void Stamp(Picture& picture, const FT_Bitmap& bitmap, int left, int top, Rgb colour) {
  for (unsigned row = 0; row < bitmap.rows; ++row) {
    for (unsigned column = 0; column < bitmap.width; ++column) {
      const int x = left + int(column), y = top + int(row);
      if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) continue;
      const uint8_t coverage = bitmap.buffer[long(row) * bitmap.pitch + column];
      if (coverage) PixelAt(picture, x, y) = MixRgb(PixelAt(picture, x, y), colour, coverage / 255.0);
    }
  }
}
}  // namespace

DrawnText DrawText(Picture& picture, const std::string& utf8, int centreX, int centreY, const TextLook& look) {
  DrawnText drawn;
  const std::vector<char32_t> characters = DecodeUtf8(utf8, drawn.badText);
  int faceIndex = 0;
  const std::string file = FindFont(characters, faceIndex, drawn.fontName);
  FT_Library rawLibrary = nullptr;
  if (file.empty() || FT_Init_FreeType(&rawLibrary) != 0) return drawn;
  std::unique_ptr<FT_LibraryRec_, LibraryCloser> library(rawLibrary);
  FT_Face rawFace = nullptr;
  if (FT_New_Face(library.get(), file.c_str(), faceIndex, &rawFace) != 0) return drawn;
  std::unique_ptr<FT_FaceRec_, FaceCloser> face(rawFace);
  drawn.fontFound = true;

  std::vector<FT_UInt> glyphs;
  for (char32_t character : characters) {
    if (character < 0x20) continue;  // control characters have no place in a title
    const FT_UInt glyph = FT_Get_Char_Index(face.get(), FT_ULong(character));
    if (glyph == 0) {
      if (std::find(drawn.missing.begin(), drawn.missing.end(), character) == drawn.missing.end())
        drawn.missing.push_back(character);
      continue;
    }
    glyphs.push_back(glyph);
  }
  if (glyphs.empty()) return drawn;

  // The largest size up to the one asked for at which the text fits.
  int size = std::max(6, look.pixelHeight);
  for (; size > 6; size = size * 9 / 10) {
    if (FT_Set_Pixel_Sizes(face.get(), 0, FT_UInt(size)) == 0 && Measure(face.get(), glyphs) <= look.maxWidth) break;
  }
  FT_Set_Pixel_Sizes(face.get(), 0, FT_UInt(size));
  const int width = Measure(face.get(), glyphs);
  const long ascender = face->size->metrics.ascender >> 6, descender = face->size->metrics.descender >> 6;
  const int baseline = centreY + int((ascender + descender) / 2);
  const int outline = std::max(1, size / 14);

  // The outline first, the letters over it.
  for (int pass = 0; pass < 2; ++pass) {
    long penX = long(centreX - width / 2) << 6;
    FT_UInt previous = 0;
    for (FT_UInt glyph : glyphs) {
      if (FT_HAS_KERNING(face.get()) && previous) {
        FT_Vector kerning;
        if (FT_Get_Kerning(face.get(), previous, glyph, FT_KERNING_DEFAULT, &kerning) == 0) penX += kerning.x;
      }
      previous = glyph;
      if (FT_Load_Glyph(face.get(), glyph, FT_LOAD_RENDER) != 0) continue;
      const FT_GlyphSlot slot = face->glyph;
      const int left = int(penX >> 6) + slot->bitmap_left, top = baseline - slot->bitmap_top;
      if (pass == 0) {
        for (int dy = -outline; dy <= outline; ++dy) {
          for (int dx = -outline; dx <= outline; ++dx) {
            if (dx * dx + dy * dy <= outline * outline) Stamp(picture, slot->bitmap, left + dx, top + dy, look.outline);
          }
        }
      } else {
        Stamp(picture, slot->bitmap, left, top, look.fill);
      }
      penX += slot->advance.x;
    }
  }
  return drawn;
}

void ReleaseFonts() { FcFini(); }
