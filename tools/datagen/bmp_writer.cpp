#include "datagen/bmp_writer.h"

#include <cstdio>

namespace {
void Put16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(uint8_t(value));
  out.push_back(uint8_t(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

uint32_t PaddedRowBytes(int width, int bitsPerPixel) { return ((uint32_t(width) * bitsPerPixel + 31) / 32) * 4; }

void PutFileHeader(std::vector<uint8_t>& out, uint32_t pixelOffset, uint32_t fileSize) {
  out.push_back('B');
  out.push_back('M');
  Put32(out, fileSize);
  Put32(out, 0);  // reserved
  Put32(out, pixelOffset);
}

void PutInfoHeader(std::vector<uint8_t>& out, int width, int height, int bitsPerPixel, uint32_t coloursUsed) {
  Put32(out, 40);
  Put32(out, uint32_t(width));
  Put32(out, uint32_t(height));
  Put16(out, 1);  // planes
  Put16(out, uint32_t(bitsPerPixel));
  Put32(out, 0);  // no compression
  Put32(out, PaddedRowBytes(width, bitsPerPixel) * uint32_t(height));
  Put32(out, 2835);  // 72 dots per inch, in dots per metre
  Put32(out, 2835);
  Put32(out, coloursUsed);
  Put32(out, 0);  // all colours important
}

void PadRow(std::vector<uint8_t>& out, size_t rowStart, uint32_t rowBytes) {
  while (out.size() - rowStart < rowBytes) out.push_back(0);
}
}  // namespace

std::vector<uint8_t> EncodeBmp24(const Picture& picture) {
  const uint32_t rowBytes = PaddedRowBytes(picture.width, 24);
  const uint32_t pixelOffset = 14 + 40;
  std::vector<uint8_t> out;
  PutFileHeader(out, pixelOffset, pixelOffset + rowBytes * uint32_t(picture.height));
  PutInfoHeader(out, picture.width, picture.height, 24, 0);
  for (int y = picture.height - 1; y >= 0; --y) {
    const size_t rowStart = out.size();
    for (int x = 0; x < picture.width; ++x) {
      const Rgb pixel = picture.pixels[size_t(y) * picture.width + x];
      out.push_back(pixel.b);
      out.push_back(pixel.g);
      out.push_back(pixel.r);
    }
    PadRow(out, rowStart, rowBytes);
  }
  return out;
}

std::vector<uint8_t> EncodeBmp8(const IndexedPicture& picture) {
  const uint32_t colours = uint32_t(picture.palette.size());
  const uint32_t rowBytes = PaddedRowBytes(picture.width, 8);
  const uint32_t pixelOffset = 14 + 40 + 4 * colours;
  std::vector<uint8_t> out;
  PutFileHeader(out, pixelOffset, pixelOffset + rowBytes * uint32_t(picture.height));
  PutInfoHeader(out, picture.width, picture.height, 8, colours);
  for (Rgb colour : picture.palette) {
    out.push_back(colour.b);
    out.push_back(colour.g);
    out.push_back(colour.r);
    out.push_back(0);
  }
  for (int y = picture.height - 1; y >= 0; --y) {
    const size_t rowStart = out.size();
    for (int x = 0; x < picture.width; ++x) out.push_back(picture.indices[size_t(y) * picture.width + x]);
    PadRow(out, rowStart, rowBytes);
  }
  return out;
}

std::vector<uint8_t> EncodeBmp4Core(const IndexedPicture& picture) {
  const uint32_t rowBytes = PaddedRowBytes(picture.width, 4);
  const uint32_t pixelOffset = 14 + 12 + 3 * 16;
  std::vector<uint8_t> out;
  PutFileHeader(out, pixelOffset, pixelOffset + rowBytes * uint32_t(picture.height));
  Put32(out, 12);
  Put16(out, uint32_t(picture.width));
  Put16(out, uint32_t(picture.height));
  Put16(out, 1);  // planes
  Put16(out, 4);  // bits per pixel
  for (size_t i = 0; i < 16; ++i) {
    const Rgb colour = i < picture.palette.size() ? picture.palette[i] : Rgb{0, 0, 0};
    out.push_back(colour.b);
    out.push_back(colour.g);
    out.push_back(colour.r);
  }
  for (int y = picture.height - 1; y >= 0; --y) {
    const size_t rowStart = out.size();
    const uint8_t* row = &picture.indices[size_t(y) * picture.width];
    // Two pixels a byte, the left one in the high nibble.
    for (int x = 0; x < picture.width; x += 2) {
      const uint8_t right = x + 1 < picture.width ? row[x + 1] & 0x0F : 0;
      out.push_back(uint8_t((row[x] & 0x0F) << 4 | right));
    }
    PadRow(out, rowStart, rowBytes);
  }
  return out;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}
