#include "image/texture_bank.h"

#include <cstdio>
#include <cstdlib>

#include "image/dib_image.h"
#include "platform/data_path.h"

TextureBank textureBank;

RgbImage* LoadBitmapFile(const char* path) {
  if (!path) return nullptr;
  FILE* file = OpenDataFile(path, "r");
  if (!file) return nullptr;  // a missing file is skipped without a message
  std::fclose(file);
  return LoadDibImage(path);
}

namespace {

// Loads the file into the slot's texture; true when it decoded.
bool LoadSlot(int slot, const char* path) {
  RgbImage* image = LoadBitmapFile(path);
  if (!image) return false;
  // The names are generated only when the first map loads; without it every
  // upload goes to texture name 0.
  if (slot == TextureSlot::map1) glGenTextures(textureBankSize, textureBank.names);
  glBindTexture(GL_TEXTURE_2D, textureBank.names[slot]);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, 3, image->width, image->height, 0, GL_RGB, GL_UNSIGNED_BYTE, image->data);
  std::free(image->data);
  std::free(image);
  return true;
}

// Loads frames 0..39 of a series, numbered from firstNumber in the file names.
bool LoadSeries(int firstSlot, const char* pathFormat, int firstNumber) {
  bool anyLoaded = false;
  for (int frame = 0; frame < TextureSlot::animationFrames; ++frame) {
    char path[256];
    std::snprintf(path, sizeof path, pathFormat, firstNumber + frame);
    anyLoaded |= LoadSlot(firstSlot + frame, path);
  }
  return anyLoaded;
}

}  // namespace

int LoadTextures() {
  // Image rows are packed without gaps; GL's default alignment of 4 would
  // read rows of widths that are not a multiple of 4 bytes with the wrong
  // stride and past the end of the pixels.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

  bool anyLoaded = false;
  anyLoaded |= LoadSlot(TextureSlot::map1, "Data/map1.bmp");
  anyLoaded |= LoadSlot(TextureSlot::map2, "Data/map2.bmp");
  anyLoaded |= LoadSlot(TextureSlot::map3, "Data/map3.bmp");
  anyLoaded |= LoadSlot(TextureSlot::map4, "Data/map4.bmp");
  anyLoaded |= LoadSeries(TextureSlot::anim1, "Data/anim1/anim_%d.bmp", 1);
  anyLoaded |= LoadSeries(TextureSlot::anim2, "Data/anim2/anim_%d.bmp", 41);
  anyLoaded |= LoadSeries(TextureSlot::anim3, "Data/anim3/frame%d.bmp", 1);
  anyLoaded |= LoadSlot(TextureSlot::end1, "Data/end1.bmp");
  anyLoaded |= LoadSlot(TextureSlot::end2, "Data/end2.bmp");
  anyLoaded |= LoadSlot(TextureSlot::begin, "Data/begin.bmp");
  return anyLoaded ? 1 : 0;
}
