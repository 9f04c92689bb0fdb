#include "image/texture_bank.h"

#include <cstdio>
#include <cstdlib>

#include "image/dib_image.h"
#include "platform/data_path.h"

TextureBank textureBank;

const char* TextureFile(int slot) {
  // Frame paths are formatted once, into buffers of 256 characters.
  static const auto files = [] {
    struct Files {
      char paths[textureBankImages][256];
    } files{};
    auto still = [&](int slot, const char* path) { std::snprintf(files.paths[slot], 256, "%s", path); };
    auto series = [&](int firstSlot, const char* pathFormat, int firstNumber) {
      for (int frame = 0; frame < TextureSlot::animationFrames; ++frame)
        std::snprintf(files.paths[firstSlot + frame], 256, pathFormat, firstNumber + frame);
    };
    still(TextureSlot::map1, "Data/map1.bmp");
    still(TextureSlot::map2, "Data/map2.bmp");
    still(TextureSlot::map3, "Data/map3.bmp");
    still(TextureSlot::map4, "Data/map4.bmp");
    series(TextureSlot::anim1, "Data/anim1/anim_%d.bmp", 1);
    series(TextureSlot::anim2, "Data/anim2/anim_%d.bmp", 41);
    series(TextureSlot::anim3, "Data/anim3/frame%d.bmp", 1);
    still(TextureSlot::end1, "Data/end1.bmp");
    still(TextureSlot::end2, "Data/end2.bmp");
    still(TextureSlot::begin, "Data/begin.bmp");
    return files;
  }();
  return slot >= 0 && slot < textureBankImages ? files.paths[slot] : nullptr;
}

RgbImage* LoadBitmapFile(const char* path, uint64_t pixelAllowance) {
  if (!path) return nullptr;
  FILE* file = OpenDataFile(path, "r");
  if (!file) return nullptr;  // a missing file is skipped without a message
  std::fclose(file);
  return LoadDibImage(path, pixelAllowance);
}

namespace {

// Loads the file into the slot's texture, within what is left of the
// budget, and takes its pixels from it; true when it decoded.
bool LoadSlot(int slot, uint64_t* pixelsLeft) {
  RgbImage* image = LoadBitmapFile(TextureFile(slot), *pixelsLeft);
  if (!image) return false;
  *pixelsLeft -= uint64_t(image->width) * uint64_t(image->height);
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

}  // namespace

int LoadTextures() {
  // Image rows are packed without gaps; GL's default alignment of 4 would
  // read rows of widths that are not a multiple of 4 bytes with the wrong
  // stride and past the end of the pixels.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

  // Each load (one per GL context) has the whole budget: the textures of an
  // earlier context went with it.
  uint64_t pixelsLeft = textureBankPixelBudget;
  bool anyLoaded = false;
  for (int slot = 0; slot < textureBankImages; ++slot) anyLoaded |= LoadSlot(slot, &pixelsLeft);
  return anyLoaded ? 1 : 0;
}
