// Encodes pictures as BMP files in the three forms the demo's decoder is
// given: 24-bit and 8-bit palette images with the 40-byte info header, and
// 4-bit palette images with the 12-byte core header. Every file starts with
// the 14-byte "BM" file header; rows are stored bottom row first and padded
// to a multiple of 4 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "datagen/picture.h"

std::vector<uint8_t> EncodeBmp24(const Picture& picture);
// Up to 256 palette entries; the header states how many are used.
std::vector<uint8_t> EncodeBmp8(const IndexedPicture& picture);
// Up to 16 palette entries; the core header's table always has 16.
std::vector<uint8_t> EncodeBmp4Core(const IndexedPicture& picture);

// Writes the bytes to a new file; false when it cannot be written.
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
