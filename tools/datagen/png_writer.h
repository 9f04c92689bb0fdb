// PNG files of full-colour pictures, for the desktop icons (through libpng).
#pragma once

#include <cstdint>
#include <vector>

#include "datagen/picture.h"

// The whole file: 8-bit RGB, no interlacing. Empty when libpng fails or the
// picture is empty.
std::vector<uint8_t> EncodePng(const Picture& picture);
