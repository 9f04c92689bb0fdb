// Decoding reads the file in the order it is laid out, one stage each: the
// file header, the info or core header, the colour table, then the pixels,
// which the platform converts straight into the RgbImage's rows of red,
// green, blue (platform/dib_convert.h). Only what the headers say the image
// needs is read, and every stage checks the file's length before it reads or
// allocates, so a huge file costs no more than the picture it describes.
#include "image/dib_image.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/data_path.h"
#include "platform/dib_convert.h"
#include "platform/message_box.h"
#include "platform/regular_file.h"
#include "platform/window_system.h"

namespace {

constexpr uint32_t fileHeaderSize = 14;
constexpr uint32_t infoHeaderSize = 40;
constexpr uint32_t coreHeaderSize = 12;

enum class Failure { none, cannotRead, unknownFormat, conversionError, outOfMemory };

// File fields are little-endian and may lie at any alignment.
uint16_t ReadU16(const uint8_t* bytes) { return uint16_t(bytes[0] | bytes[1] << 8); }
uint32_t ReadU32(const uint8_t* bytes) {
  return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}
int32_t ReadS32(const uint8_t* bytes) { return int32_t(ReadU32(bytes)); }

struct CloseFile {
  void operator()(RawFile* file) const { CloseRawFile(file); }
};
using OpenFile = std::unique_ptr<RawFile, CloseFile>;

struct FreeMemory {
  void operator()(void* block) const { std::free(block); }
};

// The open file, read front to back through a small buffer that takes the
// headers and the colour table with one read; blocks as large as the buffer
// go straight to their place. The length the file had when it was opened
// bounds every read.
class DibFile {
 public:
  DibFile(RawFile* file, uint64_t size) : file_(file), size_(size) {}

  uint64_t Size() const { return size_; }
  // Bytes from `position` to the end of the file.
  uint64_t From(uint64_t position) const { return position < size_ ? size_ - position : 0; }

  // Reads `count` bytes that the caller knows the file holds; false when the
  // read comes up short all the same (an I/O error, a file that shrank).
  bool Read(void* into, size_t count) {
    uint8_t* out = static_cast<uint8_t*>(into);
    const size_t buffered = std::min(count, end_ - at_);
    std::memcpy(out, buffer_ + at_, buffered);
    at_ += buffered;
    position_ += buffered;
    out += buffered;
    count -= buffered;
    if (count == 0) return true;
    if (count >= sizeof buffer_) {
      const size_t got = ReadRawFile(file_, out, count);
      position_ += got;
      at_ = end_ = 0;  // the buffer's bytes now lie behind the read, not just before position_
      return got == count;
    }
    end_ = ReadRawFile(file_, buffer_, size_t(std::clamp<uint64_t>(From(position_), count, sizeof buffer_)));
    at_ = std::min(count, end_);
    std::memcpy(out, buffer_, at_);
    position_ += at_;
    return at_ == count;
  }

  // The buffer holds the file's bytes from position_ - at_ to position_ - at_ + end_.
  bool SeekTo(uint64_t position) {
    const uint64_t bufferStart = position_ - at_;
    if (position >= bufferStart && position - bufferStart <= end_) {
      at_ = size_t(position - bufferStart);
    } else {
      if (!SeekRawFile(file_, position)) return false;
      at_ = end_ = 0;
    }
    position_ = position;
    return true;
  }

 private:
  RawFile* file_;
  uint64_t size_;
  uint64_t position_ = 0;
  uint8_t buffer_[2048];
  size_t at_ = 0, end_ = 0;
};

// The pixel bytes as the conversion reads them.
class PixelsInFile : public DibPixelSource {
 public:
  PixelsInFile(DibFile& file, uint64_t available) : DibPixelSource(available), file_(file) {}

 private:
  bool ReadBytes(uint8_t* into, size_t count) override { return file_.Read(into, count); }
  DibFile& file_;
};

// Where the stages found things.
struct DibLayout {
  uint64_t headerStart = 0;
  uint32_t headerSize = 0;
  bool pixelPositionKnown = false;  // from the file header
  uint64_t pixelPosition = 0;
};

// The working header handed to the conversion, with its colour table.
struct WorkingHeader {
  DibInfoHeader info{};
  std::unique_ptr<DibColour[], FreeMemory> colours;
  uint16_t colourCount = 0;
};

// The file header: with "BM" first, the 14-byte file header gives the pixel offset
// and the DIB header follows it; without, the DIB header starts the file.
Failure ReadFileHeader(DibFile& file, DibLayout* layout) {
  uint8_t bytes[fileHeaderSize];
  if (file.Size() < 2) return Failure::unknownFormat;
  if (!file.Read(bytes, 2)) return Failure::cannotRead;
  if (bytes[0] != 'B' || bytes[1] != 'M') return file.SeekTo(0) ? Failure::none : Failure::cannotRead;
  if (file.Size() < fileHeaderSize) return Failure::unknownFormat;
  if (!file.Read(bytes + 2, fileHeaderSize - 2)) return Failure::cannotRead;
  layout->headerStart = fileHeaderSize;
  layout->pixelPositionKnown = true;
  layout->pixelPosition = ReadU32(bytes + 10);
  return Failure::none;
}

// The DIB header: the 40-byte info header as it is, or the 12-byte core header
// widened into one.
Failure ReadDibHeader(DibFile& file, DibLayout* layout, WorkingHeader* working) {
  uint8_t dib[infoHeaderSize];
  if (file.From(layout->headerStart) < 4) return Failure::unknownFormat;
  if (!file.Read(dib, 4)) return Failure::cannotRead;
  const uint32_t headerSize = ReadU32(dib);
  if (headerSize != infoHeaderSize && headerSize != coreHeaderSize) return Failure::unknownFormat;
  if (file.From(layout->headerStart) < headerSize) return Failure::unknownFormat;
  if (!file.Read(dib + 4, headerSize - 4)) return Failure::cannotRead;
  layout->headerSize = headerSize;
  working->colourCount = ColourTableEntries(dib);

  DibInfoHeader& info = working->info;
  info.size = infoHeaderSize;
  if (headerSize == infoHeaderSize) {
    info.width = ReadS32(dib + 4);
    info.height = ReadS32(dib + 8);
    info.planes = ReadU16(dib + 12);
    info.bitCount = ReadU16(dib + 14);
    info.compression = ReadU32(dib + 16);
    info.sizeImage = ReadU32(dib + 20);
    info.xPelsPerMeter = ReadS32(dib + 24);
    info.yPelsPerMeter = ReadS32(dib + 28);
    info.clrUsed = ReadU32(dib + 32);
    info.clrImportant = ReadU32(dib + 36);
  } else {  // the core header's sizes are unsigned 16-bit; the fields it lacks stay 0
    info.width = ReadU16(dib + 4);
    info.height = ReadU16(dib + 6);
    info.planes = ReadU16(dib + 8);
    info.bitCount = ReadU16(dib + 10);
    info.clrUsed = working->colourCount;
    info.clrImportant = working->colourCount;
  }
  return Failure::none;
}

// The colour table, right after the header, 4-byte entries after an info
// header and 3-byte ones (blue, green, red) after a core header, all made
// 4-byte entries. Without a file header the pixels follow it.
Failure ReadColourTable(DibFile& file, DibLayout* layout, WorkingHeader* working) {
  const size_t count = working->colourCount;
  const size_t entrySize = layout->headerSize == infoHeaderSize ? 4 : 3;
  const uint64_t tableStart = layout->headerStart + layout->headerSize;
  if (file.From(tableStart) / entrySize < count) return Failure::unknownFormat;  // the table would run past the end
  if (!layout->pixelPositionKnown) layout->pixelPosition = tableStart + entrySize * count;
  if (count == 0) return Failure::none;

  working->colours.reset(static_cast<DibColour*>(std::malloc(count * sizeof(DibColour))));
  if (!working->colours) return Failure::outOfMemory;
  uint8_t* bytes = reinterpret_cast<uint8_t*>(working->colours.get());
  if (!file.Read(bytes, count * entrySize)) return Failure::cannotRead;
  if (entrySize == 3) {
    // Widened in place from the last entry down, so no entry is overwritten before it is read.
    for (size_t i = count; i-- > 0;)
      working->colours[i] = DibColour{bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2], 0};
  }
  return Failure::none;
}

// The working header's derived fields: the image size in whole bytes per
// row (without row padding) when the file leaves it 0, and the colours used.
void CompleteWorkingHeader(WorkingHeader* working) {
  DibInfoHeader& info = working->info;
  if (info.sizeImage == 0) info.sizeImage = (uint32_t(info.width) * info.bitCount + 7) / 8 * uint32_t(info.height);
  if (info.clrUsed == 0) info.clrUsed = working->colourCount;
}

// The conversion and the copy into the result, in one pass: the pixels at
// their position, converted into rows of red, green, blue. The table's true
// length goes with them: an info header's colours used may exceed what the
// 16-bit count let into the table.
Failure ConvertPixels(DibFile& file, const DibLayout& layout, const WorkingHeader& working, uint64_t pixelAllowance,
                      RgbRows* rows) {
  const DibInfoHeader& info = working.info;
  if (!DibConvertible(info)) return Failure::conversionError;
  // Refused before anything is allocated for its pixels.
  const uint64_t pixels = uint64_t(info.width) * uint64_t(info.height < 0 ? -int64_t(info.height) : info.height);
  if (pixels > pixelAllowance) return Failure::conversionError;

  const uint64_t available = file.From(layout.pixelPosition);
  if (available > 0 && !file.SeekTo(layout.pixelPosition)) return Failure::cannotRead;
  PixelsInFile source(file, available);
  switch (ConvertDibPixels(info, working.colours.get(), working.colourCount, source, rows)) {
    case dibConverted:
      return Failure::none;
    case dibNotConvertible:
      return Failure::conversionError;
    case dibOutOfMemory:
      return Failure::outOfMemory;
    case dibReadFailed:
      break;
  }
  return Failure::cannotRead;
}

// The whole decoding, stage after stage; null with *failure set.
RgbImage* DecodeDib(DibFile& file, uint64_t pixelAllowance, Failure* failure) {
  DibLayout layout;
  WorkingHeader working;
  RgbRows rows;
  if ((*failure = ReadFileHeader(file, &layout)) != Failure::none) return nullptr;
  if ((*failure = ReadDibHeader(file, &layout, &working)) != Failure::none) return nullptr;
  if ((*failure = ReadColourTable(file, &layout, &working)) != Failure::none) return nullptr;
  CompleteWorkingHeader(&working);
  if ((*failure = ConvertPixels(file, layout, working, pixelAllowance, &rows)) != Failure::none) return nullptr;

  std::unique_ptr<uint8_t, FreeMemory> pixels(rows.data);
  auto* image = static_cast<RgbImage*>(std::malloc(sizeof(RgbImage)));
  if (!image) {
    *failure = Failure::outOfMemory;
    return nullptr;
  }
  *image = RgbImage{rows.width, rows.height, pixels.release()};
  return image;
}

void Report(const char* text) { ShowMessageBox(GetFocusWindow(), text, "Error", MB_OK); }

// The path is cut to fit the message's 256-byte buffer.
void ReportCannotOpen(const char* path) {
  char text[256];
  std::snprintf(text, sizeof text, "Failed to open DIB file %.229s.\n", path ? path : "");
  Report(text);
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

RgbImage* LoadDibImage(const char* path, uint64_t pixelAllowance) {
  // The path as written first: resolving its spelling costs a look at the
  // disk, which a path that exists as written does not need.
  uint64_t size = 0;
  OpenFile stream(path ? OpenRawFile(path, &size) : nullptr);
  if (path && !stream) stream.reset(OpenRawFile(ResolveDataPath(path).c_str(), &size));
  // An empty file fails like a missing one.
  if (!stream || size == 0) {
    ReportCannotOpen(path);
    return nullptr;
  }
  DibFile file(stream.get(), size);
  Failure failure = Failure::none;
  RgbImage* image = DecodeDib(file, pixelAllowance, &failure);
  switch (failure) {
    case Failure::none:
      break;
    case Failure::cannotRead:
      ReportCannotOpen(path);
      break;
    case Failure::unknownFormat:
      Report("Unknown DIB file format.");
      break;
    case Failure::conversionError:
      Report("Image file conversion error.");
      break;
    case Failure::outOfMemory:
      Report("Out of memory.");
      break;
  }
  return image;
}
