// Decoding runs in two stages: the platform converts the file's pixels into
// a 24-bit bitmap of padded blue-green-red rows (platform/dib_convert.h), and
// the loop at the end copies that bitmap into the RgbImage, swapping each
// pixel to red, green, blue and dropping the row padding.
#include "image/dib_image.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include "platform/data_path.h"
#include "platform/dib_convert.h"
#include "platform/file_contents.h"
#include "platform/message_box.h"
#include "platform/window_system.h"

namespace {

constexpr size_t fileHeaderSize = 14;
constexpr uint32_t infoHeaderSize = 40;
constexpr uint32_t coreHeaderSize = 12;

const char* const unknownFormat = "Unknown DIB file format.";
const char* const conversionError = "Image file conversion error.";
const char* const outOfMemory = "Out of memory.";

// File fields are little-endian and may lie at any alignment.
uint16_t ReadU16(const uint8_t* bytes) { return uint16_t(bytes[0] | bytes[1] << 8); }
uint32_t ReadU32(const uint8_t* bytes) {
  return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}
int32_t ReadS32(const uint8_t* bytes) { return int32_t(ReadU32(bytes)); }

void Report(const char* text) { ShowMessageBox(GetFocusWindow(), text, "Error", MB_OK); }

// The working header's fields from a 40-byte info header.
void CopyInfoHeader(const uint8_t* dib, DibInfoHeader* header) {
  header->size = infoHeaderSize;
  header->width = ReadS32(dib + 4);
  header->height = ReadS32(dib + 8);
  header->planes = ReadU16(dib + 12);
  header->bitCount = ReadU16(dib + 14);
  header->compression = ReadU32(dib + 16);
  header->sizeImage = ReadU32(dib + 20);
  header->xPelsPerMeter = ReadS32(dib + 24);
  header->yPelsPerMeter = ReadS32(dib + 28);
  header->clrUsed = ReadU32(dib + 32);
  header->clrImportant = ReadU32(dib + 36);
}

// The working header's fields from a 12-byte core header; its sizes are unsigned 16-bit.
void ExpandCoreHeader(const uint8_t* dib, uint16_t colourCount, DibInfoHeader* header) {
  *header = DibInfoHeader{};
  header->size = infoHeaderSize;
  header->width = ReadU16(dib + 4);
  header->height = ReadU16(dib + 6);
  header->planes = ReadU16(dib + 8);
  header->bitCount = ReadU16(dib + 10);
  header->clrUsed = colourCount;
  header->clrImportant = colourCount;
}

// One row of blue-green-red pixels into red-green-blue. The copy is most of
// the cost of decoding a 24-bit picture; a second build of it for processors
// with byte shuffles (SSSE3), chosen when the program loads, lets the compiler
// move several pixels per instruction (about 2.5 times faster, bench/image).
// The choice at load time needs ELF's indirect functions, which Windows lacks.
#if defined(__x86_64__) && defined(__GNUC__) && defined(__ELF__)
__attribute__((target_clones("ssse3", "default")))
#endif
void CopyRowSwapped(const uint8_t* source, uint8_t* __restrict destination, size_t width) {
  for (size_t x = 0; x < width; ++x) {
    destination[3 * x] = source[3 * x + 2];
    destination[3 * x + 1] = source[3 * x + 1];
    destination[3 * x + 2] = source[3 * x];
  }
}

// The decoding proper, on the file's bytes. Null with *failure set to the message to show.
RgbImage* DecodeDib(const uint8_t* file, size_t fileSize, const char** failure) {
  DibInfoHeader* working = nullptr;
  DibColour* colours = nullptr;
  Bgr24Bitmap bitmap;
  uint8_t* pixels = nullptr;
  RgbImage* image = nullptr;
  size_t headerStart = 0, tableStart = 0, pixelPosition = 0;
  bool pixelPositionKnown = false;
  uint32_t headerSize = 0;
  uint16_t colourCount = 0;
  const uint8_t* source = nullptr;
  uint8_t* destination = nullptr;

  if (fileSize >= 2 && file[0] == 'B' && file[1] == 'M') {
    // Every read below is checked against the file's length first: a file
    // may end anywhere, and its offsets and counts may point anywhere.
    if (fileSize < fileHeaderSize) {
      *failure = unknownFormat;
      goto end;
    }
    pixelPosition = ReadU32(file + 10);
    pixelPositionKnown = true;
    headerStart = fileHeaderSize;
  }
  if (fileSize - headerStart < 4) {
    *failure = unknownFormat;
    goto end;
  }
  headerSize = ReadU32(file + headerStart);
  if ((headerSize != infoHeaderSize && headerSize != coreHeaderSize) || fileSize - headerStart < headerSize) {
    *failure = unknownFormat;
    goto end;
  }

  colourCount = ColourTableEntries(file + headerStart);
  tableStart = headerStart + headerSize;
  {
    const size_t entrySize = headerSize == infoHeaderSize ? 4 : 3;
    if ((fileSize - tableStart) / entrySize < colourCount) {  // the table would run past the end
      *failure = unknownFormat;
      goto end;
    }
    if (!pixelPositionKnown) pixelPosition = tableStart + entrySize * colourCount;
  }

  working = static_cast<DibInfoHeader*>(std::malloc(sizeof(DibInfoHeader) + sizeof(DibColour) * colourCount));
  if (!working) {
    *failure = outOfMemory;
    goto end;
  }
  colours = reinterpret_cast<DibColour*>(working + 1);
  if (headerSize == infoHeaderSize) {
    CopyInfoHeader(file + headerStart, working);
    for (size_t i = 0; i < colourCount; ++i) {
      const uint8_t* entry = file + tableStart + 4 * i;
      colours[i] = DibColour{entry[0], entry[1], entry[2], entry[3]};
    }
  } else {
    ExpandCoreHeader(file + headerStart, colourCount, working);
    for (size_t i = 0; i < colourCount; ++i) {
      const uint8_t* entry = file + tableStart + 3 * i;
      colours[i] = DibColour{entry[0], entry[1], entry[2], 0};
    }
  }
  if (working->sizeImage == 0)
    working->sizeImage = (uint32_t(working->width) * working->bitCount + 7) / 8 * uint32_t(working->height);
  if (working->clrUsed == 0) working->clrUsed = colourCount;

  // First stage. The table's true length goes with it: an info header's
  // colours used may exceed what the 16-bit count let into the table.
  {
    const bool pixelsInFile = pixelPosition < fileSize;
    switch (ConvertDibPixels(working, colourCount, pixelsInFile ? file + pixelPosition : nullptr,
                             pixelsInFile ? fileSize - pixelPosition : 0, &bitmap)) {
      case dibConverted:
        break;
      case dibNotConvertible:
        *failure = conversionError;
        goto end;
      case dibOutOfMemory:
        *failure = outOfMemory;
        goto end;
    }
  }

  // Second stage. The bitmap's height is positive even for a top-down file,
  // whose rows the conversion has already put bottom first.
  pixels = static_cast<uint8_t*>(std::malloc(size_t(bitmap.height) * size_t(bitmap.width) * 3));
  if (!pixels) {
    *failure = outOfMemory;
    goto end;
  }
  source = bitmap.rows;
  destination = pixels;
  for (int32_t row = 0; row < bitmap.height; ++row) {
    CopyRowSwapped(source, destination, size_t(bitmap.width));
    source += size_t(bitmap.width) * 3 + (bitmap.width & 3);  // each bitmap row is padded to 4 bytes
    destination += size_t(bitmap.width) * 3;
  }

  image = static_cast<RgbImage*>(std::malloc(sizeof(RgbImage)));
  if (!image) {
    *failure = outOfMemory;
    goto end;
  }
  *image = RgbImage{bitmap.width, bitmap.height, pixels};

end:
  ReleaseBgr24Bitmap(&bitmap);
  std::free(working);
  if (!image) std::free(pixels);
  return image;
}

}  // namespace

uint16_t ColourTableEntries(const uint8_t* dibHeader) {
  unsigned bitCount;
  if (ReadU32(dibHeader) == coreHeaderSize) {
    bitCount = ReadU16(dibHeader + 10);
  } else {
    const uint32_t coloursUsed = ReadU32(dibHeader + 32);
    if (coloursUsed != 0) return uint16_t(coloursUsed);
    bitCount = ReadU16(dibHeader + 14);
  }
  switch (bitCount) {
    case 1:
      return 2;
    case 4:
      return 16;
    case 8:
      return 256;
    default:
      return 0;
  }
}

RgbImage* LoadDibImage(const char* path) {
  FileContents file;
  if (!path || !ReadWholeFile(ResolveDataPath(path).c_str(), &file)) {
    // The path is cut to fit the message's 256-byte buffer.
    char text[256];
    std::snprintf(text, sizeof text, "Failed to open DIB file %.229s.\n", path ? path : "");
    Report(text);
    return nullptr;
  }
  const char* failure = nullptr;
  RgbImage* image = DecodeDib(file.bytes, file.size, &failure);
  ReleaseWholeFile(&file);
  if (!image) Report(failure);
  return image;
}
