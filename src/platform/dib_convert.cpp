#include "platform/dib_convert.h"

#include <cstdlib>

namespace {

// Where the converted rows go: bottom row first, rows `stride` bytes apart.
struct Target {
  uint8_t* pixels;
  size_t stride;
  int32_t width;
  int32_t height;
};

struct Palette {
  const DibColour* colours;
  uint32_t count;
};

size_t TargetStride(int32_t width) { return size_t(width) * 3 + size_t(width & 3); }

// Bytes per row in the file: whole bytes of pixels, padded to 4.
size_t SourceStride(int32_t width, unsigned bitCount) { return (size_t(width) * bitCount + 31) / 32 * 4; }

void Put(const Target& target, int64_t x, int64_t y, uint8_t blue, uint8_t green, uint8_t red) {
  if (x < 0 || x >= target.width || y < 0 || y >= target.height) return;
  uint8_t* pixel = target.pixels + size_t(y) * target.stride + size_t(x) * 3;
  pixel[0] = blue;
  pixel[1] = green;
  pixel[2] = red;
}

const DibColour& ColourAt(const Palette& palette, uint32_t index) {
  static const DibColour black{0, 0, 0, 0};
  // An index the table does not hold gives black rather than a read past the table.
  return index < palette.count ? palette.colours[index] : black;
}

void PutIndex(const Target& target, int64_t x, int64_t y, const Palette& palette, uint32_t index) {
  const DibColour& colour = ColourAt(palette, index);
  Put(target, x, y, colour.blue, colour.green, colour.red);
}

uint8_t Widen5(unsigned value) { return uint8_t((value << 3) | (value >> 2)); }

// Every colour that an index of up to 8 bits can name, looked up once per
// image, so that rows take colours without a bounds test per pixel.
struct IndexColours {
  DibColour colours[256];
};

void FillIndexColours(const Palette& palette, IndexColours* table) {
  for (uint32_t index = 0; index < 256; ++index) table->colours[index] = ColourAt(palette, index);
}

void PutColour(uint8_t* out, const DibColour& colour) {
  out[0] = colour.blue;
  out[1] = colour.green;
  out[2] = colour.red;
}

// One file row into target row y; x and y are inside the target by
// construction. One loop per bit count: a test per pixel would cost as much
// as the pixel itself.
void ConvertRow(const uint8_t* source, unsigned bitCount, const IndexColours& table, const Target& target, int32_t y) {
  uint8_t* out = target.pixels + size_t(y) * target.stride;
  const int32_t width = target.width;
  switch (bitCount) {
    case 1:
      for (int32_t x = 0; x < width; ++x) PutColour(out + 3 * x, table.colours[(source[x >> 3] >> (7 - (x & 7))) & 1u]);
      return;
    case 4:
      for (int32_t x = 0; x < width; ++x)
        PutColour(out + 3 * x, table.colours[(source[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu]);
      return;
    case 8:
      for (int32_t x = 0; x < width; ++x) PutColour(out + 3 * x, table.colours[source[x]]);
      return;
    case 16:
      for (int32_t x = 0; x < width; ++x, out += 3) {
        const unsigned value = source[2 * x] | (source[2 * x + 1] << 8);
        out[0] = Widen5(value & 31);
        out[1] = Widen5((value >> 5) & 31);
        out[2] = Widen5((value >> 10) & 31);
      }
      return;
    default:  // 24 and 32 bits: blue, green, red first in each pixel
      for (int32_t x = 0; x < width; ++x, out += 3) {
        const uint8_t* pixel = source + size_t(x) * (bitCount / 8);
        out[0] = pixel[0];
        out[1] = pixel[1];
        out[2] = pixel[2];
      }
      return;
  }
}

bool ConvertUncompressed(const DibInfoHeader& header, const Palette& palette, const uint8_t* pixels, size_t pixelBytes,
                         const Target& target) {
  const size_t sourceStride = SourceStride(target.width, header.bitCount);
  if (sourceStride * size_t(target.height) > pixelBytes) return false;
  const bool topDown = header.height < 0;
  IndexColours table;
  if (header.bitCount <= 8) FillIndexColours(palette, &table);
  for (int32_t row = 0; row < target.height; ++row) {
    const int32_t y = topDown ? target.height - 1 - row : row;
    ConvertRow(pixels + size_t(row) * sourceStride, header.bitCount, table, target, y);
  }
  return true;
}

// Run-length data is a list of two-byte codes: a count and a colour (a run),
// or 0 and an escape (end of line, end of bitmap, delta, literal pixels).
bool ConvertRunLength(const DibInfoHeader& header, const Palette& palette, const uint8_t* pixels, size_t pixelBytes,
                      const Target& target) {
  const bool fourBits = header.compression == dibRle4;
  size_t at = 0;
  int64_t x = 0, y = 0;
  while (y < target.height) {
    if (pixelBytes - at < 2) return false;
    const unsigned count = pixels[at], value = pixels[at + 1];
    at += 2;
    if (count > 0) {
      for (unsigned i = 0; i < count; ++i) {
        const unsigned index = fourBits ? ((i & 1) ? value & 0xF : value >> 4) : value;
        PutIndex(target, x + i, y, palette, index);
      }
      x += count;
    } else if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      return true;
    } else if (value == 2) {  // delta: right and up
      if (pixelBytes - at < 2) return false;
      x += pixels[at];
      y += pixels[at + 1];
      at += 2;
    } else {  // `value` literal pixels, padded to a whole number of 16-bit words
      const size_t bytes = fourBits ? (value + 1) / 2 : value;
      const size_t padded = (bytes + 1) & ~size_t(1);
      if (pixelBytes - at < padded) return false;
      for (unsigned i = 0; i < value; ++i) {
        const unsigned index =
            fourBits ? ((i & 1) ? pixels[at + i / 2] & 0xF : pixels[at + i / 2] >> 4) : pixels[at + i];
        PutIndex(target, x + i, y, palette, index);
      }
      x += value;
      at += padded;
    }
    // Past the right edge nothing more of this row can be drawn.
    if (x > target.width) x = target.width;
  }
  return true;
}

bool Convertible(const DibInfoHeader& header) {
  if (header.width < 1 || header.width > dibMaxSide) return false;
  if (header.height == 0 || header.height > dibMaxSide || header.height < -dibMaxSide) return false;
  switch (header.compression) {
    case dibUncompressed:
      switch (header.bitCount) {
        case 1:
        case 4:
        case 8:
        case 16:
        case 24:
        case 32:
          return true;
        default:
          return false;
      }
    // Run-length images are bottom-up by definition.
    case dibRle8:
      return header.bitCount == 8 && header.height > 0;
    case dibRle4:
      return header.bitCount == 4 && header.height > 0;
    default:
      return false;  // bit fields and every other compression
  }
}

}  // namespace

DibConversion ConvertDibPixels(const DibInfoHeader* header, uint32_t colourCount, const uint8_t* pixels,
                               size_t pixelBytes, Bgr24Bitmap* bitmap) {
  *bitmap = Bgr24Bitmap{};
  if (!Convertible(*header)) return dibNotConvertible;
  const int32_t width = header->width;
  const int32_t height = header->height < 0 ? -header->height : header->height;

  // A bottom-up 24-bit file holds exactly the rows asked for: use them in place.
  if (header->compression == dibUncompressed && header->bitCount == 24 && header->height > 0) {
    if (TargetStride(width) * size_t(height) > pixelBytes) return dibNotConvertible;
    *bitmap = Bgr24Bitmap{width, height, pixels, nullptr};
    return dibConverted;
  }

  // Zero-filled for run-length data, so the pixels it skips stay black; an
  // uncompressed image writes every pixel itself (the row padding is never read).
  const size_t bytes = TargetStride(width) * size_t(height);
  uint8_t* converted =
      static_cast<uint8_t*>(header->compression == dibUncompressed ? std::malloc(bytes) : std::calloc(bytes, 1));
  if (!converted) return dibOutOfMemory;
  const Target target{converted, TargetStride(width), width, height};
  const Palette palette{reinterpret_cast<const DibColour*>(header + 1), colourCount};
  const bool done = header->compression == dibUncompressed
                        ? ConvertUncompressed(*header, palette, pixels, pixelBytes, target)
                        : ConvertRunLength(*header, palette, pixels, pixelBytes, target);
  if (!done) {
    std::free(converted);
    return dibNotConvertible;
  }
  *bitmap = Bgr24Bitmap{width, height, converted, converted};
  return dibConverted;
}

void ReleaseBgr24Bitmap(Bgr24Bitmap* bitmap) {
  std::free(bitmap->ownedPixels);
  *bitmap = Bgr24Bitmap{};
}
