#include "datagen/png_writer.h"

#include <png.h>

#include <csetjmp>

namespace {
void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}
}  // namespace

std::vector<uint8_t> EncodePng(const Picture& picture) {
  if (picture.width <= 0 || picture.height <= 0 || picture.pixels.size() != size_t(picture.width) * picture.height) {
    return {};
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return {};
  png_infop info = png_create_info_struct(png);
  // libpng reports its errors by jumping back here; nothing below needs
  // unwinding but the two structures.
  std::vector<uint8_t> file;
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &file, AppendBytes, NoFlush);
  png_set_IHDR(png, info, png_uint_32(picture.width), png_uint_32(picture.height), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  static_assert(sizeof(Rgb) == 3, "a row of Rgb is a row of PNG's 8-bit RGB");
  for (int y = 0; y < picture.height; ++y) {
    auto* row = reinterpret_cast<const png_byte*>(&picture.pixels[size_t(y) * picture.width]);
    png_write_row(png, row);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return file;
}
