// The bank of 256 GL texture names that holds every picture of the demo.
#pragma once

#include <GL/gl.h>

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

// The image in the file, or null without a message when the file cannot be opened.
RgbImage* LoadBitmapFile(const char* path);
// Reads all 127 pictures into the bank; 1 when at least one decoded, else 0.
// Needs a current GL context.
int LoadTextures();
