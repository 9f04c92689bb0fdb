// Turns the pixels of a device-independent bitmap into 24-bit rows of blue,
// green, red, each row padded to a multiple of 4 bytes, bottom row first.
//
// The caller describes the pixels with a working header in the form of the
// 40-byte info header, followed in memory by its colour table of 4-byte
// entries. Converted:
//   - uncompressed 1, 4 and 8 bits per pixel through the colour table (an
//     index past the end of the table gives black);
//   - uncompressed 16 bits (5 bits each of red, green, blue; each widened so
//     that 31 becomes 255), 24 bits as they are, 32 bits (blue, green, red,
//     unused);
//   - run-length encoded 8 bits (RLE8) and 4 bits (RLE4) per pixel; pixels
//     that a run or a delta moves past the right edge are dropped, pixels the
//     data never reaches stay black, and decoding ends at the end-of-bitmap
//     code or once the top row is done;
//   - a negative height (top row first) for uncompressed images: the rows
//     come out bottom row first all the same.
// Not converted: bit-field images (their colour masks are not part of the
// working header), any other compression or bit count, a width or height
// outside 1..dibMaxSide, pixel data that ends before the last row (each row
// padded to 4 bytes), and RLE data that ends before its end-of-bitmap code.
// No byte outside the pixel data and the colour table is ever read.
#pragma once

#include <cstddef>
#include <cstdint>

// The working header: the 40-byte info header, field by field.
struct DibInfoHeader {
  uint32_t size;
  int32_t width;
  int32_t height;  // positive: bottom row first
  uint16_t planes;
  uint16_t bitCount;
  uint32_t compression;
  uint32_t sizeImage;
  int32_t xPelsPerMeter;
  int32_t yPelsPerMeter;
  uint32_t clrUsed;
  uint32_t clrImportant;
};
static_assert(sizeof(DibInfoHeader) == 40, "the working header is laid out like the file's info header");

struct DibColour {
  uint8_t blue, green, red, reserved;
};

constexpr uint32_t dibUncompressed = 0;  // BI_RGB
constexpr uint32_t dibRle8 = 1;          // BI_RLE8
constexpr uint32_t dibRle4 = 2;          // BI_RLE4
constexpr uint32_t dibBitFields = 3;     // BI_BITFIELDS

// The largest width or height converted. No texture of the demo comes near
// it, and it keeps every byte count far below overflow.
constexpr int32_t dibMaxSide = 8192;

// The converted bitmap: `height` rows of width * 3 bytes plus (width & 3)
// bytes of padding, bottom row first.
struct Bgr24Bitmap {
  int32_t width = 0;
  int32_t height = 0;              // always positive
  const uint8_t* rows = nullptr;   // the first (bottom) row
  uint8_t* ownedPixels = nullptr;  // memory allocated for the rows; null when `rows` points into the caller's pixels
};

enum DibConversion { dibConverted, dibNotConvertible, dibOutOfMemory };

// Converts `pixelBytes` bytes at `pixels`, as `header` and the `colourCount`
// entries of colour table that follow it describe them. A 24-bit bottom-up
// image already is such a bitmap: its rows are then used where they lie,
// without a copy, and must outlive the bitmap.
DibConversion ConvertDibPixels(const DibInfoHeader* header, uint32_t colourCount, const uint8_t* pixels,
                               size_t pixelBytes, Bgr24Bitmap* bitmap);
// Frees what the conversion allocated.
void ReleaseBgr24Bitmap(Bgr24Bitmap* bitmap);
