// The bank of 256 GL texture names that holds every picture of the demo.
#pragma once

#include <GL/gl.h>

#include <cstdint>

#include "image/rgb_image.h"

constexpr int textureBankSize = 256;

struct TextureBank {
  GLuint names[textureBankSize];
};

extern TextureBank textureBank;

// Slots of the bank. Animation frame k (0..39) of a series is its base + k.
namespace TextureSlot {
constexpr int map1 = 0;
constexpr int map2 = 1;
constexpr int map3 = 2;
constexpr int map4 = 3;
constexpr int anim1 = 4;
constexpr int anim2 = 44;
constexpr int anim3 = 84;
constexpr int end1 = 124;
constexpr int end2 = 125;
constexpr int begin = 126;
constexpr int animationFrames = 40;
}  // namespace TextureSlot

// The slots that receive a picture: 0 to textureBankImages - 1.
constexpr int textureBankImages = 127;

// The picture file of a slot, in the spelling the bank reads: "Data/map1.bmp"
// to "Data/map4.bmp", the three series "Data/anim1/anim_1.bmp" to
// "anim_40.bmp", "Data/anim2/anim_41.bmp" to "anim_80.bmp",
// "Data/anim3/frame1.bmp" to "frame40.bmp", then "Data/end1.bmp",
// "Data/end2.bmp", "Data/begin.bmp". Null for a slot without a picture.
const char* TextureFile(int slot);

// The most pixels that the pictures of one load of the bank decode into
// together: 2^25, room for every picture at 512x512. A 60-byte run-length
// file can declare 8192x8192 pixels; without a bound, 127 of them would ask
// for tens of GB of pictures and textures. A picture that would go past
// what is left is refused with "Image file conversion error.".
constexpr uint64_t textureBankPixelBudget = uint64_t(1) << 25;

// The image in the file, or null without a message when the file cannot be
// opened. A picture of more than `pixelAllowance` pixels is refused.
RgbImage* LoadBitmapFile(const char* path, uint64_t pixelAllowance = UINT64_MAX);
// Reads all 127 pictures into the bank, in slot order, within
// textureBankPixelBudget; 1 when at least one decoded, else 0. Needs a
// current GL context.
int LoadTextures();
