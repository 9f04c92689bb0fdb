// Writes the end-to-end tests' one picture: 2x2, 24-bit, with a file header.
// Bottom row blue, green; top row red, white.
#include <cstdio>

#include "datagen/bmp_file.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.bmp\n", argv[0]);
    return 2;
  }
  BmpFields fields;
  fields.width = 2;
  fields.height = 2;
  fields.imageSize = 16;
  // Blue-green-red pixels, each row padded to 8 bytes.
  fields.pixels = {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00};
  const Bytes file = BuildBmp(fields);
  std::FILE* out = std::fopen(argv[1], "wb");
  const bool written = out && std::fwrite(file.data(), 1, file.size(), out) == file.size();
  if (!out || std::fclose(out) != 0 || !written) {
    std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
    std::remove(argv[1]);
    return 1;
  }
  return 0;
}
