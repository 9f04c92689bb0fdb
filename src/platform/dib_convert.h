// Turns the pixels of a device-independent bitmap into rows of red, green,
// blue bytes without gaps, bottom row first: the pixel block of an RgbImage.
//
// The caller describes the pixels with a working header in the form of the
// 40-byte info header and its colour table of 4-byte entries. Converted:
//   - uncompressed 1, 4 and 8 bits per pixel through the colour table (an
//     index past the end of the table gives black);
//   - uncompressed 16 bits (5 bits each of red, green, blue; each widened so
//     that 31 becomes 255), 24 bits (blue, green, red), 32 bits (blue, green,
//     red, unused);
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
//
// The pixels are read from the file as the conversion goes, a block of rows
// at a time, never more than the header says the image needs and never past
// the end of the file: besides the result, the conversion holds no more than
// 64 KB of the file at once.
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
static_assert(sizeof(DibColour) == 4, "colour entries are read straight from the file");

constexpr uint32_t dibUncompressed = 0;  // BI_RGB
constexpr uint32_t dibRle8 = 1;          // BI_RLE8
constexpr uint32_t dibRle4 = 2;          // BI_RLE4
constexpr uint32_t dibBitFields = 3;     // BI_BITFIELDS

// The largest width or height converted. No texture of the demo comes near
// it, and it keeps every byte count far below overflow.
constexpr int32_t dibMaxSide = 8192;

// Where the pixels come from: the bytes from the first pixel byte to the end
// of the file, read in order.
class DibPixelSource {
 public:
  explicit DibPixelSource(uint64_t available) : available_(available) {}
  virtual ~DibPixelSource() = default;

  // The bytes left.
  uint64_t Available() const { return available_; }
  // Reads the next `count` bytes, which the caller knows are left; false when
  // the read comes up short all the same (an I/O error, a file that shrank).
  bool Read(uint8_t* into, size_t count) {
    available_ -= count < available_ ? count : available_;
    return ReadBytes(into, count);
  }

 private:
  virtual bool ReadBytes(uint8_t* into, size_t count) = 0;
  uint64_t available_;
};

// The converted pixels: `height` rows of width * 3 bytes, no gaps, bottom
// row first, in red, green, blue order.
struct RgbRows {
  int32_t width = 0;
  int32_t height = 0;       // always positive
  uint8_t* data = nullptr;  // from malloc; the caller frees it
};

enum DibConversion {
  dibConverted,
  dibNotConvertible,
  dibOutOfMemory,
  dibReadFailed,  // the file gave fewer bytes than it holds: an I/O error, or it shrank meanwhile
};

// Whether the header describes pixels that the conversion can handle, before
// any of them is read.
bool DibConvertible(const DibInfoHeader& header);

// Converts the pixels that `header` and the `colourCount` entries of
// `colours` describe. On failure nothing is held.
DibConversion ConvertDibPixels(const DibInfoHeader& header, const DibColour* colours, uint32_t colourCount,
                               DibPixelSource& source, RgbRows* rows);
