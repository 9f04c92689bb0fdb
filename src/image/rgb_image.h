// A decoded picture: rows of red, green, blue bytes, bottom row first, no gaps.
#pragma once

#include <cstdint>

struct RgbImage {
  int32_t width;
  int32_t height;
  uint8_t* data;  // height * width * 3 bytes, from malloc
};
