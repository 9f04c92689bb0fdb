#include "datagen/bmp_writer.h"

#include <cstdio>

#include "datagen/bmp_file.h"

namespace {
uint32_t PaddedRowBytes(int width, int bitsPerPixel) { return ((uint32_t(width) * bitsPerPixel + 31) / 32) * 4; }

// The fields every picture of the data set shares: a file header, rows
// bottom first and padded to 4 bytes, the image size stated.
BmpFields PictureFields(int width, int height, int bitsPerPixel) {
  BmpFields fields;
  fields.width = width;
  fields.height = height;
  fields.bitCount = uint16_t(bitsPerPixel);
  fields.imageSize = PaddedRowBytes(width, bitsPerPixel) * uint32_t(height);
  fields.pixels.reserve(fields.imageSize);
  return fields;
}

void PadRow(Bytes& pixels, size_t rowStart, uint32_t rowBytes) {
  while (pixels.size() - rowStart < rowBytes) pixels.push_back(0);
}

std::vector<uint32_t> PaletteColours(const std::vector<Rgb>& palette, size_t count) {
  std::vector<uint32_t> colours;
  for (size_t i = 0; i < count; ++i) {
    const Rgb colour = i < palette.size() ? palette[i] : Rgb{0, 0, 0};
    colours.push_back(uint32_t(colour.r) << 16 | uint32_t(colour.g) << 8 | colour.b);
  }
  return colours;
}
}  // namespace

std::vector<uint8_t> EncodeBmp24(const Picture& picture) {
  BmpFields fields = PictureFields(picture.width, picture.height, 24);
  for (int y = picture.height - 1; y >= 0; --y) {
    const size_t rowStart = fields.pixels.size();
    for (int x = 0; x < picture.width; ++x) {
      const Rgb pixel = picture.pixels[size_t(y) * picture.width + x];
      fields.pixels.insert(fields.pixels.end(), {pixel.b, pixel.g, pixel.r});
    }
    PadRow(fields.pixels, rowStart, PaddedRowBytes(picture.width, 24));
  }
  return BuildBmp(fields);
}

std::vector<uint8_t> EncodeBmp8(const IndexedPicture& picture) {
  BmpFields fields = PictureFields(picture.width, picture.height, 8);
  fields.coloursUsed = uint32_t(picture.palette.size());
  fields.colours = InfoColours(PaletteColours(picture.palette, picture.palette.size()));
  for (int y = picture.height - 1; y >= 0; --y) {
    const size_t rowStart = fields.pixels.size();
    for (int x = 0; x < picture.width; ++x) fields.pixels.push_back(picture.indices[size_t(y) * picture.width + x]);
    PadRow(fields.pixels, rowStart, PaddedRowBytes(picture.width, 8));
  }
  return BuildBmp(fields);
}

std::vector<uint8_t> EncodeBmp4Core(const IndexedPicture& picture) {
  BmpFields fields = PictureFields(picture.width, picture.height, 4);
  fields.headerSize = 12;
  fields.colours = CoreColours(PaletteColours(picture.palette, 16));
  for (int y = picture.height - 1; y >= 0; --y) {
    const size_t rowStart = fields.pixels.size();
    const uint8_t* row = &picture.indices[size_t(y) * picture.width];
    // Two pixels a byte, the left one in the high nibble.
    for (int x = 0; x < picture.width; x += 2) {
      const uint8_t right = x + 1 < picture.width ? row[x + 1] & 0x0F : 0;
      fields.pixels.push_back(uint8_t((row[x] & 0x0F) << 4 | right));
    }
    PadRow(fields.pixels, rowStart, PaddedRowBytes(picture.width, 4));
  }
  return BuildBmp(fields);
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}
