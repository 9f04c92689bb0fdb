#include "platform/dib_convert.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace {

struct FreeMemory {
  void operator()(uint8_t* block) const { std::free(block); }
};
using Block = std::unique_ptr<uint8_t[], FreeMemory>;

// How much of the file an uncompressed image reads at a time: whole rows,
// at least one.
constexpr size_t chunkBytes = 64 * 1024;

size_t RowBytes(int32_t width) { return size_t(width) * 3; }

// Bytes per row in the file: whole bytes of pixels, padded to 4.
size_t SourceStride(int32_t width, unsigned bitCount) { return (size_t(width) * bitCount + 31) / 32 * 4; }

// Every colour that an index of up to 8 bits can name, red, green, blue and
// a spare byte, looked up once per image so that rows take colours without a
// bounds test per pixel. An index the table does not hold gives black.
struct IndexColours {
  uint8_t rgb[256][4];
};

void FillIndexColours(const DibColour* colours, uint32_t colourCount, IndexColours* table) {
  for (uint32_t index = 0; index < 256; ++index) {
    const DibColour colour = index < colourCount ? colours[index] : DibColour{0, 0, 0, 0};
    table->rgb[index][0] = colour.red;
    table->rgb[index][1] = colour.green;
    table->rgb[index][2] = colour.blue;
    table->rgb[index][3] = 0;
  }
}

// The two pixels of every byte of a 4-bit image, left one first: six bytes
// of colour written with one copy.
struct PairColours {
  uint8_t rgb[256][8];  // six bytes of colour and two spare
};

void FillPairColours(const IndexColours& single, PairColours* pairs) {
  for (unsigned value = 0; value < 256; ++value) {
    std::memcpy(pairs->rgb[value], single.rgb[value >> 4], 3);
    std::memcpy(pairs->rgb[value] + 3, single.rgb[value & 0xF], 3);
    pairs->rgb[value][6] = pairs->rgb[value][7] = 0;
  }
}

uint8_t Widen5(unsigned value) { return uint8_t((value << 3) | (value >> 2)); }

// Blue-green-red pixels into red-green-blue: most of the cost of a 24-bit
// picture. Where the processor has byte shuffles (SSSE3), five pixels move
// per instruction (bench/image).
// `source` and `out` are either the same bytes or apart.
void SwapToRgbByPixel(const uint8_t* source, uint8_t* out, size_t pixels) {
  for (size_t x = 0; x < pixels; ++x) {
    const uint8_t blue = source[3 * x], green = source[3 * x + 1], red = source[3 * x + 2];
    out[3 * x] = red;
    out[3 * x + 1] = green;
    out[3 * x + 2] = blue;
  }
}

#if defined(__x86_64__) && defined(__GNUC__)
// Sixteen bytes in and out at a time, of which the first fifteen are five
// whole pixels; the sixteenth keeps its place and is written again by the
// next step, so the swap may also work in place. Each step loads the next
// five pixels before it stores its own: a load of bytes just stored would
// wait for the store. The last pixels, where sixteen bytes would reach past
// the end, go one by one.
__attribute__((target("ssse3"))) void SwapToRgbByFive(const uint8_t* source, uint8_t* out, size_t pixels) {
  const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
  size_t x = 0;
  if (pixels >= 6) {
    __m128i current = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
    for (; x + 11 <= pixels; x += 5) {
      const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 3 * (x + 5)));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 3 * x), _mm_shuffle_epi8(current, order));
      current = next;
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 3 * x), _mm_shuffle_epi8(current, order));
    x += 5;
  }
  SwapToRgbByPixel(source + 3 * x, out + 3 * x, pixels - x);
}

// Colours of 8-bit indices, four pixels a step: four table words (red,
// green, blue, spare) in one register, shuffled into twelve bytes and
// stored sixteen at a time, the last four written again by the next step.
// Returns how many pixels it did; the rest, where sixteen bytes would reach
// past the row, are the caller's.
__attribute__((target("ssse3"))) int32_t IndexRowByFour(const uint8_t* source, const uint32_t* packed, uint8_t* out,
                                                        int32_t width) {
  const __m128i order = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  int32_t x = 0;
  for (; x + 6 <= width; x += 4) {
    const __m128i colours = _mm_setr_epi32(int(packed[source[x]]), int(packed[source[x + 1]]),
                                           int(packed[source[x + 2]]), int(packed[source[x + 3]]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 3 * x), _mm_shuffle_epi8(colours, order));
  }
  return x;
}

bool HasByteShuffles() {
  static const bool shuffles = __builtin_cpu_supports("ssse3");
  return shuffles;
}

void SwapToRgb(const uint8_t* source, uint8_t* out, size_t pixels) {
  if (HasByteShuffles())
    SwapToRgbByFive(source, out, pixels);
  else
    SwapToRgbByPixel(source, out, pixels);
}
#else
void SwapToRgb(const uint8_t* source, uint8_t* out, size_t pixels) { SwapToRgbByPixel(source, out, pixels); }
bool HasByteShuffles() { return false; }
int32_t IndexRowByFour(const uint8_t*, const uint32_t*, uint8_t*, int32_t) { return 0; }
#endif

struct RowTables {
  IndexColours single;
  uint32_t packed[256];  // the same colours as little-endian words: red in the low byte
  PairColours pairs;     // 4-bit images only
};

// One file row into one output row. One loop per bit count: a test per
// pixel would cost as much as the pixel itself.
// `tables` is null for images of more than 8 bits per pixel.
void ConvertRow(const uint8_t* source, unsigned bitCount, const RowTables* tables, uint8_t* out, int32_t width) {
  switch (bitCount) {
    case 1:
      for (int32_t x = 0; x < width; ++x)
        std::memcpy(out + 3 * x, tables->single.rgb[(source[x >> 3] >> (7 - (x & 7))) & 1u], 3);
      return;
    case 4: {
      const int32_t pairs = width / 2;
      // Eight bytes a step, the last two overwritten by the next step; the
      // last pair takes six, so nothing is written past the row.
      for (int32_t i = 0; i + 1 < pairs; ++i) std::memcpy(out + 6 * i, tables->pairs.rgb[source[i]], 8);
      if (pairs > 0) std::memcpy(out + 6 * (pairs - 1), tables->pairs.rgb[source[pairs - 1]], 6);
      if (width & 1) std::memcpy(out + 6 * pairs, tables->single.rgb[source[pairs] >> 4], 3);
      return;
    }
    case 8: {
      // Four pixels a step: four colours packed into twelve bytes in two words
      // (whose bytes lie in memory in the right order on little-endian
      // processors only; elsewhere every pixel goes alone).
      int32_t x = HasByteShuffles() ? IndexRowByFour(source, tables->packed, out, width) : 0;
      for (; std::endian::native == std::endian::little && x + 4 <= width; x += 4) {
        const uint64_t c0 = tables->packed[source[x]], c1 = tables->packed[source[x + 1]];
        const uint64_t c2 = tables->packed[source[x + 2]], c3 = tables->packed[source[x + 3]];
        const uint64_t low = c0 | c1 << 24 | c2 << 48;
        const uint32_t high = uint32_t(c2 >> 16 | c3 << 8);
        std::memcpy(out + 3 * x, &low, 8);
        std::memcpy(out + 3 * x + 8, &high, 4);
      }
      for (; x < width; ++x) std::memcpy(out + 3 * x, tables->single.rgb[source[x]], 3);
      return;
    }
    case 16:
      for (int32_t x = 0; x < width; ++x, out += 3) {
        const unsigned value = source[2 * x] | (source[2 * x + 1] << 8);
        out[0] = Widen5((value >> 10) & 31);
        out[1] = Widen5((value >> 5) & 31);
        out[2] = Widen5(value & 31);
      }
      return;
    case 24:
      SwapToRgb(source, out, size_t(width));
      return;
    default:  // 32 bits: blue, green, red, unused
      for (int32_t x = 0; x < width; ++x, out += 3) {
        out[0] = source[4 * x + 2];
        out[1] = source[4 * x + 1];
        out[2] = source[4 * x];
      }
      return;
  }
}

DibConversion ConvertUncompressed(const DibInfoHeader& header, const DibColour* colours, uint32_t colourCount,
                                  DibPixelSource& source, RgbRows* rows) {
  const int32_t width = header.width;
  const bool topDown = header.height < 0;
  const int32_t height = topDown ? -header.height : header.height;
  const unsigned bitCount = header.bitCount;
  const size_t stride = SourceStride(width, bitCount);
  // Nothing is allocated for pixels the file does not hold.
  if (uint64_t(stride) * uint64_t(height) > source.Available()) return dibNotConvertible;

  const size_t rowBytes = RowBytes(width);
  Block out(static_cast<uint8_t*>(std::malloc(rowBytes * size_t(height))));
  if (!out) return dibOutOfMemory;
  // 24-bit rows without padding, bottom row first, already lie as the result
  // does: read in place and swapped there.
  if (bitCount == 24 && stride == rowBytes && !topDown) {
    const size_t bytes = rowBytes * size_t(height);
    if (!source.Read(out.get(), bytes)) return dibReadFailed;
    SwapToRgb(out.get(), out.get(), size_t(width) * size_t(height));
    *rows = RgbRows{width, height, out.release()};
    return dibConverted;
  }

  const size_t rowsPerChunk = std::min(std::max<size_t>(1, chunkBytes / stride), size_t(height));
  Block chunk(static_cast<uint8_t*>(std::malloc(rowsPerChunk * stride)));
  if (!chunk) return dibOutOfMemory;
  std::unique_ptr<RowTables> tables;
  if (bitCount <= 8) {
    tables.reset(new (std::nothrow) RowTables);
    if (!tables) return dibOutOfMemory;
    FillIndexColours(colours, colourCount, &tables->single);
    for (unsigned index = 0; index < 256; ++index) std::memcpy(&tables->packed[index], tables->single.rgb[index], 4);
    if (bitCount == 4) FillPairColours(tables->single, &tables->pairs);
  }
  for (size_t row = 0; row < size_t(height);) {
    const size_t count = std::min(rowsPerChunk, size_t(height) - row);
    if (!source.Read(chunk.get(), count * stride)) return dibReadFailed;
    for (size_t i = 0; i < count; ++i) {
      const size_t y = topDown ? size_t(height) - 1 - (row + i) : row + i;
      ConvertRow(chunk.get() + i * stride, bitCount, tables.get(), out.get() + y * rowBytes, width);
    }
    row += count;
  }
  *rows = RgbRows{width, height, out.release()};
  return dibConverted;
}

// Run-length codes, read from the file a block at a time and never past the
// bytes the source holds.
class CodeReader {
 public:
  explicit CodeReader(DibPixelSource& source) : source_(source) {}

  // Points `bytes` at the next `count` bytes (at most 512) and moves past
  // them; false when the data ends first or a read fails.
  bool Take(size_t count, const uint8_t** bytes) {
    if (filled_ - at_ < count && !Refill(count)) return false;
    *bytes = buffer_ + at_;
    at_ += count;
    return true;
  }
  bool ReadFailed() const { return readFailed_; }

 private:
  bool Refill(size_t count) {
    std::memmove(buffer_, buffer_ + at_, filled_ - at_);
    filled_ -= at_;
    at_ = 0;
    const size_t wanted = size_t(std::min<uint64_t>(sizeof buffer_ - filled_, source_.Available()));
    if (wanted > 0) {
      if (!source_.Read(buffer_ + filled_, wanted)) {
        readFailed_ = true;
        return false;
      }
      filled_ += wanted;
    }
    return filled_ >= count;
  }

  DibPixelSource& source_;
  uint8_t buffer_[4096];
  size_t at_ = 0, filled_ = 0;
  bool readFailed_ = false;
};

// Run-length data is a list of two-byte codes: a count and a colour (a run),
// or 0 and an escape (end of line, end of bitmap, delta, literal pixels).
DibConversion ConvertRunLength(const DibInfoHeader& header, const DibColour* colours, uint32_t colourCount,
                               DibPixelSource& source, RgbRows* rows) {
  const int32_t width = header.width, height = header.height;
  const size_t rowBytes = RowBytes(width);
  // Zero-filled, so the pixels the data skips stay black.
  Block out(static_cast<uint8_t*>(std::calloc(rowBytes * size_t(height), 1)));
  std::unique_ptr<IndexColours> table(new (std::nothrow) IndexColours);
  if (!out || !table) return dibOutOfMemory;
  FillIndexColours(colours, colourCount, table.get());

  auto put = [&](int64_t x, int64_t y, unsigned index) {
    if (x < 0 || x >= width || y < 0 || y >= height) return;
    std::memcpy(out.get() + size_t(y) * rowBytes + size_t(x) * 3, table->rgb[index], 3);
  };
  const bool fourBits = header.compression == dibRle4;
  CodeReader codes(source);
  const uint8_t* code;
  int64_t x = 0, y = 0;
  bool ended = false;
  while (y < height && !ended) {
    if (!codes.Take(2, &code)) break;
    const unsigned count = code[0], value = code[1];
    if (count > 0) {
      for (unsigned i = 0; i < count; ++i) put(x + i, y, fourBits ? ((i & 1) ? value & 0xF : value >> 4) : value);
      x += count;
    } else if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      ended = true;
    } else if (value == 2) {  // delta: right and up
      const uint8_t* delta;
      if (!codes.Take(2, &delta)) break;
      x += delta[0];
      y += delta[1];
    } else {  // `value` literal pixels, padded to a whole number of 16-bit words
      const size_t bytes = fourBits ? (value + 1) / 2 : value;
      const uint8_t* literal;
      if (!codes.Take((bytes + 1) & ~size_t(1), &literal)) break;
      for (unsigned i = 0; i < value; ++i)
        put(x + i, y, fourBits ? ((i & 1) ? literal[i / 2] & 0xF : literal[i / 2] >> 4) : literal[i]);
      x += value;
    }
    // Past the right edge nothing more of this row can be drawn.
    if (x > width) x = width;
  }
  if (!ended && y < height) return codes.ReadFailed() ? dibReadFailed : dibNotConvertible;
  *rows = RgbRows{width, height, out.release()};
  return dibConverted;
}

}  // namespace

bool DibConvertible(const DibInfoHeader& header) {
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

DibConversion ConvertDibPixels(const DibInfoHeader& header, const DibColour* colours, uint32_t colourCount,
                               DibPixelSource& source, RgbRows* rows) {
  *rows = RgbRows{};
  if (!DibConvertible(header)) return dibNotConvertible;
  return header.compression == dibUncompressed ? ConvertUncompressed(header, colours, colourCount, source, rows)
                                               : ConvertRunLength(header, colours, colourCount, source, rows);
}
