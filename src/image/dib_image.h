// The demo's only image decoder: a BMP file (a device-independent bitmap,
// with or without its 14-byte file header) into an RgbImage.
//
// Accepted: the 40-byte info header and the 12-byte core header, with the
// pixel formats that platform/dib_convert.h converts. Every failure shows one
// message box captioned "Error" and gives null:
//   "Failed to open DIB file <path>.\n"  the file is missing, empty, not a regular file
//                                        or cannot be read
//   "Unknown DIB file format."           a header size other than 40 or 12, or a file
//                                        that ends inside its headers or its colour table
//   "Image file conversion error."       pixels that cannot be converted: a width or
//                                        height outside 1..8192, an unsupported bit count
//                                        or compression (bit fields included), a pixel
//                                        offset past the end, pixel data that ends early,
//                                        more pixels than the caller allows
//   "Out of memory."                     an allocation failed
// A top-down file (negative height) decodes like any other: rows bottom
// first, a positive height.
#pragma once

#include <cstdint>

#include "image/rgb_image.h"

// The decoded image, from malloc (free `data`, then the record), or null. A
// picture of more than `pixelAllowance` pixels is refused before anything is
// allocated for it.
RgbImage* LoadDibImage(const char* path, uint64_t pixelAllowance = UINT64_MAX);

// The number of colour-table entries that follow a DIB header: the colours
// used when an info header gives them (low 16 bits), else 2, 16 or 256 for 1,
// 4 or 8 bits per pixel, else 0. Reads the header's first 12 bytes for a core
// header, its first 36 otherwise.
uint16_t ColourTableEntries(const uint8_t* dibHeader);
