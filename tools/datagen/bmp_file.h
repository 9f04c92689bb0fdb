// Builds BMP files byte by byte from their fields: the one BMP writer of the
// project. The data generator writes the demo's pictures with it, and the
// tests write good and broken files with it: every field can be set to any
// value, and the result can be cut anywhere.
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
  uint32_t imageSize = 0;  // bytes of pixel data; 0 leaves it to the reader
  uint32_t coloursUsed = 0;
  Bytes colours;  // the table as written: 4 bytes an entry after an info header, 3 after a core one
  Bytes gap;      // bytes between the table and the pixels
  std::optional<uint32_t> pixelOffset;  // written instead of the true offset
  Bytes pixels;                         // the pixel data as stored
};

// The file: the 14-byte file header (when asked for) with the file's size
// and the pixel offset, the DIB header, the colour table, the gap, the pixels.
Bytes BuildBmp(const BmpFields& fields);

// Colour-table entries (blue, green, red[, 0]) from red-green-blue triples.
Bytes InfoColours(const std::vector<uint32_t>& rgb);
Bytes CoreColours(const std::vector<uint32_t>& rgb);
