// Builds BMP files byte by byte for tests, including broken ones: every
// field can be set to any value, and the result can be cut anywhere.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

using Bytes = std::vector<uint8_t>;

struct BmpFields {
  bool fileHeader = true;
  uint32_t headerSize = 40;  // 40 (info), 12 (core) or anything else (written as zeros after the size)
  int32_t width = 1;
  int32_t height = 1;
  uint16_t planes = 1;
  uint16_t bitCount = 24;
  uint32_t compression = 0;
  uint32_t coloursUsed = 0;
  Bytes colours;  // the table as written: 4 bytes an entry after an info header, 3 after a core one
  Bytes gap;      // bytes between the table and the pixels
  std::optional<uint32_t> pixelOffset;  // written instead of the true offset
  Bytes pixels;                         // the pixel data as stored
};

Bytes BuildBmp(const BmpFields& fields);

// Colour-table entries (blue, green, red[, 0]) from red-green-blue triples.
Bytes InfoColours(const std::vector<uint32_t>& rgb);
Bytes CoreColours(const std::vector<uint32_t>& rgb);
