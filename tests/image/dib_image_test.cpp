#include "image/dib_image.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "answered_message_boxes.h"
#include "datagen/bmp_file.h"
#include "fake_window_system.h"
#include "peak_memory.h"
#include "test_files.h"

namespace {

const char* const unknownFormat = "Unknown DIB file format.";
const char* const conversionError = "Image file conversion error.";

// Red-green-blue bytes from 0xRRGGBB values.
Bytes Rgb(std::initializer_list<uint32_t> colours) {
  Bytes out;
  for (uint32_t colour : colours) out.insert(out.end(), {uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour)});
  return out;
}

// A table of n colours, colour i being 0x10 * i in red, 0xFF - i in green, i in blue.
uint32_t TableColour(uint32_t i) { return ((0x10 * i) & 0xFF) << 16 | (0xFF - i) << 8 | i; }
std::vector<uint32_t> Table(uint32_t n) {
  std::vector<uint32_t> colours;
  for (uint32_t i = 0; i < n; ++i) colours.push_back(TableColour(i));
  return colours;
}

BmpFields Bits8(uint32_t tableEntries, uint32_t coloursUsed) {
  BmpFields fields;
  fields.width = 2;
  fields.height = 1;
  fields.bitCount = 8;
  fields.coloursUsed = coloursUsed;
  fields.colours = InfoColours(Table(tableEntries));
  fields.pixels = {1, 0, 0xEE, 0xEE};
  return fields;
}

// 65535 table entries, black past the first 256, with a pixel offset 940
// bytes before the table's end: the entry there is stored as bytes 1, 2, 0, 0,
// so the two pixels are colours 1 and 2.
Bytes LongTableWithPixelsInside() {
  constexpr uint32_t entries = 0xFFFF, entry = 65300;
  std::vector<uint32_t> colours = Table(256);
  colours.resize(entries, 0);
  colours[entry] = 0x000201;
  BmpFields fields = Bits8(0, entries);
  fields.colours = InfoColours(colours);
  fields.pixelOffset = 14 + 40 + 4 * entry;
  return BuildBmp(fields);
}

template <typename Change>
Bytes Build(BmpFields fields, Change change) {
  change(fields);
  return BuildBmp(fields);
}
Bytes Cut(Bytes bytes, size_t length) {
  bytes.resize(length);
  return bytes;
}

struct DecodeCase {
  const char* name;
  Bytes file;
  const char* message;  // null when the file decodes
  int32_t width = 0, height = 0;
  Bytes rgb = {};
};

void PrintTo(const DecodeCase& c, std::ostream* out) { *out << c.name; }

std::vector<DecodeCase> DecodeCases() {
  BmpFields bgr3x2;  // 24 bits, rows padded with 3 bytes that must not show
  bgr3x2.width = 3;
  bgr3x2.height = 2;
  bgr3x2.pixels = {3, 2, 1, 6, 5, 4, 9, 8, 7, 0xEE, 0xEE, 0xEE, 12, 11, 10, 15, 14, 13, 18, 17, 16, 0xEE, 0xEE, 0xEE};

  BmpFields bits4Core;  // core header, 16 entries of 3 bytes, rows of 2 bytes padded to 4
  bits4Core.headerSize = 12;
  bits4Core.width = 3;
  bits4Core.height = 2;
  bits4Core.bitCount = 4;
  bits4Core.colours = CoreColours(Table(16));
  bits4Core.pixels = {0x1F, 0x20, 0xEE, 0xEE, 0xE3, 0x40, 0xEE, 0xEE};

  BmpFields rle8;
  rle8.width = 4;
  rle8.height = 3;
  rle8.bitCount = 8;
  rle8.compression = 1;
  rle8.coloursUsed = 4;
  rle8.colours = InfoColours(Table(4));
  rle8.pixels = {6, 1, 0, 0,        // a run of 6 that the right edge cuts to 4, end of line
                 0, 3, 2, 0, 3, 0,  // 3 literal pixels and a pad byte
                 0, 0,              // end of line
                 0, 2, 1, 0,        // delta: one right
                 1, 2, 0, 1};       // one pixel, end of bitmap

  BmpFields rle4;
  rle4.width = 6;
  rle4.height = 1;
  rle4.bitCount = 4;
  rle4.compression = 2;
  rle4.coloursUsed = 16;
  rle4.colours = InfoColours(Table(16));
  rle4.pixels = {3, 0x12, 0, 3, 0x34, 0x50, 0, 1};  // run 1,2,1; literal 3,4,5; end of bitmap

  const Bytes goodBits8 = BuildBmp(Bits8(4, 4));  // 14 + 40 + 16 + 4 bytes
  const uint32_t black = 0;
  std::vector<DecodeCase> cases = {
      {"Bgr24ThreeWide", BuildBmp(bgr3x2), nullptr, 3, 2,
       Rgb({0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F, 0x101112})},
      {"Bgr24FiveWide",
       Build(bgr3x2,
             [](BmpFields& s) {
               s.width = 5, s.height = 1, s.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0xEE};
             }),
       nullptr, 5, 1, Rgb({0x030201, 0x060504, 0x090807, 0x0C0B0A, 0x0F0E0D})},
      {"NoFileHeader", Build(bgr3x2, [](BmpFields& s) { s.fileHeader = false; }), nullptr, 3, 2,
       Rgb({0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F, 0x101112})},
      {"TopDown",
       Build(bgr3x2,
             [](BmpFields& s) {
               s.width = 1, s.height = -2, s.pixels = {0x33, 0x22, 0x11, 0xEE, 0x66, 0x55, 0x44, 0xEE};
             }),
       nullptr, 1, 2, Rgb({0x445566, 0x112233})},
      // Without a file header the pixels follow the table, whose length the
      // colours used decide: a wrong count shifts them.
      {"Bits8ColoursUsed0",
       Build(Bits8(256, 0),
             [](BmpFields& s) {
               s.fileHeader = false, s.pixels = {0, 255, 0xEE, 0xEE};
             }),
       nullptr, 2, 1, Rgb({TableColour(0), TableColour(255)})},
      {"Bits8ColoursUsed20",
       Build(Bits8(20, 20),
             [](BmpFields& s) {
               s.fileHeader = false, s.pixels = {19, 0, 0xEE, 0xEE};
             }),
       nullptr, 2, 1, Rgb({TableColour(19), TableColour(0)})},
      // Only the low 16 bits of colours used count; the table holds 2 entries.
      {"ColoursUsedAbove16Bits",
       Build(Bits8(2, 0x10002),
             [](BmpFields& s) {
               s.fileHeader = false, s.pixels = {1, 7, 0xEE, 0xEE};
             }),
       nullptr, 2, 1, Rgb({TableColour(1), black})},
      {"Bits4CoreHeader", BuildBmp(bits4Core), nullptr, 3, 2,
       Rgb({TableColour(1), TableColour(15), TableColour(2), TableColour(14), TableColour(3), TableColour(4)})},
      {"Bits1NineWide",
       Build(Bits8(2, 0),
             [](BmpFields& s) {
               s.bitCount = 1, s.width = 9, s.pixels = {0xB0, 0x80, 0xEE, 0xEE};
             }),
       nullptr, 9, 1,
       Rgb({TableColour(1), TableColour(0), TableColour(1), TableColour(1), TableColour(0), TableColour(0),
            TableColour(0), TableColour(0), TableColour(1)})},
      {"PixelOffsetPastTable", Build(Bits8(2, 2), [](BmpFields& s) { s.gap = {9, 9, 9, 9, 9, 9}; }), nullptr, 2, 1,
       Rgb({TableColour(1), TableColour(0)})},
      // The table's 256 KB are read past the reader's buffer; pixels that the
      // file header places inside the table's last 2 KB come from there too.
      {"PixelOffsetInLongTable", LongTableWithPixelsInside(), nullptr, 2, 1, Rgb({TableColour(1), TableColour(2)})},
      {"IndexPastTable",
       Build(Bits8(4, 4),
             [](BmpFields& s) {
               s.pixels = {3, 200, 0xEE, 0xEE};
             }),
       nullptr, 2, 1, Rgb({TableColour(3), black})},
      {"Bits16",
       Build(bgr3x2,
             [](BmpFields& s) {
               s.bitCount = 16, s.height = 1, s.pixels = {0xFF, 0x7F, 0x00, 0x7C, 0x21, 0x00, 0xEE, 0xEE};
             }),
       nullptr, 3, 1, Rgb({0xFFFFFF, 0xFF0000, 0x000808})},
      {"Bits32",
       Build(
           bgr3x2,
           [](BmpFields& s) { s.bitCount = 32, s.width = 2, s.height = 1, s.pixels = {1, 2, 3, 0xAA, 4, 5, 6, 0xBB}; }),
       nullptr, 2, 1, Rgb({0x030201, 0x060504})},
      {"Rle8", BuildBmp(rle8), nullptr, 4, 3,
       Rgb({TableColour(1), TableColour(1), TableColour(1), TableColour(1), TableColour(2), TableColour(0),
            TableColour(3), black, black, TableColour(2), black, black})},
      {"Rle4", BuildBmp(rle4), nullptr, 6, 1,
       Rgb({TableColour(1), TableColour(2), TableColour(1), TableColour(3), TableColour(4), TableColour(5)})},
      // A delta past the top row ends the image; the rest stays black.
      {"Rle8DeltaPastTop", Build(rle8, [](BmpFields& s) { s.pixels = {2, 3, 0, 2, 0, 200}; }), nullptr, 4, 3,
       Rgb({TableColour(3), TableColour(3), black, black, black, black, black, black, black, black, black, black})},

      {"Header108", Build(bgr3x2, [](BmpFields& s) { s.headerSize = 108; }), unknownFormat},
      {"Header124", Build(bgr3x2, [](BmpFields& s) { s.headerSize = 124; }), unknownFormat},
      {"Empty", {}, "Failed to open DIB file image.bmp.\n"},
      {"OnlyMagic", {'B', 'M'}, unknownFormat},
      {"CutInFileHeader", Cut(goodBits8, 10), unknownFormat},
      {"CutInInfoHeader", Cut(goodBits8, 14 + 30), unknownFormat},
      {"CutInCoreHeader", Cut(BuildBmp(bits4Core), 14 + 10), unknownFormat},
      {"CutInColourTable", Cut(goodBits8, 14 + 40 + 15), unknownFormat},
      {"TableOf65535PastEnd", Build(Bits8(4, 0xFFFF), [](BmpFields&) {}), unknownFormat},
      {"CutInPixels", Cut(goodBits8, goodBits8.size() - 1), conversionError},
      {"CutInBgr24Pixels", Cut(BuildBmp(bgr3x2), 14 + 40 + 23), conversionError},
      {"PixelOffsetPastEnd", Build(bgr3x2, [](BmpFields& s) { s.pixelOffset = 5000; }), conversionError},
      {"PixelOffsetMax", Build(bgr3x2, [](BmpFields& s) { s.pixelOffset = 0xFFFFFFFF; }), conversionError},
      {"Rle8WithoutEnd",
       Build(rle8,
             [](BmpFields& s) {
               s.pixels = {2, 1, 0, 0};
             }),
       conversionError},
      {"Rle8LiteralPastEnd",
       Build(rle8,
             [](BmpFields& s) {
               s.pixels = {0, 40, 1, 2};
             }),
       conversionError},
      {"Rle8DeltaPastEnd",
       Build(rle8,
             [](BmpFields& s) {
               s.pixels = {0, 2, 1};
             }),
       conversionError},
      {"Rle8TopDown", Build(rle8, [](BmpFields& s) { s.height = -3; }), conversionError},
      {"BitFields", Build(bgr3x2, [](BmpFields& s) { s.bitCount = 16, s.compression = 3; }), conversionError},
      {"BitCount2", Build(bgr3x2, [](BmpFields& s) { s.bitCount = 2; }), conversionError},
      {"WidthZero", Build(bgr3x2, [](BmpFields& s) { s.width = 0; }), conversionError},
      {"WidthNegative", Build(bgr3x2, [](BmpFields& s) { s.width = -3; }), conversionError},
      {"HeightZero", Build(bgr3x2, [](BmpFields& s) { s.height = 0; }), conversionError},
      {"HeightMostNegative", Build(bgr3x2, [](BmpFields& s) { s.height = INT32_MIN; }), conversionError},
      {"WidthAboveLimit", Build(rle8, [](BmpFields& s) { s.width = 8193; }), conversionError},
      {"CoreSidesAboveLimit", Build(bits4Core, [](BmpFields& s) { s.width = 65535, s.height = 65535; }),
       conversionError},
  };
  return cases;
}

class InTestDirectory : public testing::Test {
 protected:
  void SetUp() override {
    EnterTestDirectory();
    ResetFakeWindowSystem();
    fakeWindowSystem.window = reinterpret_cast<WindowHandle>(0x5eed);  // the window with the focus
    AnswerMessageBoxesFromScript();
  }
  void TearDown() override { LeaveTestDirectory(); }
};

class DecodeTable : public InTestDirectory, public testing::WithParamInterface<DecodeCase> {};

TEST_P(DecodeTable, DecodesOrReportsOnce) {
  const DecodeCase& c = GetParam();
  WriteTestFile("image.bmp", c.file);
  RgbImage* image = LoadDibImage("image.bmp");
  if (!c.message) {
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(answeredMessageBoxes.shown.empty());
    EXPECT_EQ(image->width, c.width);
    EXPECT_EQ(image->height, c.height);
    EXPECT_EQ(Bytes(image->data, image->data + size_t(c.width) * c.height * 3), c.rgb);
    std::free(image->data);
    std::free(image);
    return;
  }
  EXPECT_EQ(image, nullptr);
  ASSERT_EQ(answeredMessageBoxes.shown.size(), 1u);
  const ShownMessageBox& box = answeredMessageBoxes.shown[0];
  EXPECT_EQ(box.text, c.message);
  EXPECT_EQ(box.caption, "Error");
  EXPECT_EQ(box.type, MB_OK);
  EXPECT_EQ(box.owner, fakeWindowSystem.window);
}

INSTANTIATE_TEST_SUITE_P(Files, DecodeTable, testing::ValuesIn(DecodeCases()),
                         [](const testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

TEST_F(DecodeTable, MissingFileIsReported) {
  EXPECT_EQ(LoadDibImage("missing.bmp"), nullptr);
  ASSERT_EQ(answeredMessageBoxes.shown.size(), 1u);
  EXPECT_EQ(answeredMessageBoxes.shown[0].text, "Failed to open DIB file missing.bmp.\n");
}

// A directory opens on some systems and claims a size of terabytes: it must
// fail like a missing file, without reading or allocating.
TEST_F(DecodeTable, DirectoryIsReportedLikeAMissingFile) {
  ASSERT_TRUE(std::filesystem::create_directory("folder.bmp"));
  EXPECT_EQ(LoadDibImage("folder.bmp"), nullptr);
  ASSERT_EQ(answeredMessageBoxes.shown.size(), 1u);
  EXPECT_EQ(answeredMessageBoxes.shown[0].text, "Failed to open DIB file folder.bmp.\n");
}

TEST_F(DecodeTable, LongPathIsCutToFitTheMessage) {
  const std::string path = "Data/" + std::string(300, 'x') + ".bmp";
  EXPECT_EQ(LoadDibImage(path.c_str()), nullptr);
  ASSERT_EQ(answeredMessageBoxes.shown.size(), 1u);
  const std::string prefix = "Failed to open DIB file ";
  EXPECT_EQ(answeredMessageBoxes.shown[0].text, prefix + path.substr(0, 255 - prefix.size() - 2) + ".\n");
}

// Files of a few GB that hold no data: only what the headers say the image
// needs may be read, so the decoder's peak memory stays near the picture's
// own size, not the file's.
struct SparseCase {
  const char* name;
  Bytes head;  // the file's first bytes; the rest, up to `size`, is a hole
  uint64_t size;
  const char* message;  // null when the file decodes
  int32_t width = 0, height = 0;
};

void PrintTo(const SparseCase& c, std::ostream* out) { *out << c.name; }

BmpFields Header24(int32_t width, int32_t height) {
  BmpFields fields;
  fields.width = width;
  fields.height = height;
  return fields;  // no pixels: they lie in the hole
}

class SparseFile : public InTestDirectory, public testing::WithParamInterface<SparseCase> {};

TEST_P(SparseFile, PeakMemoryStaysNearThePicture) {
  const SparseCase& c = GetParam();
  WriteTestFile("sparse.bmp", c.head);
  ASSERT_EQ(truncate("sparse.bmp", off_t(c.size)), 0);
  if (peakMemoryIsMeasured) {
    ASSERT_TRUE(ResetPeakMemory()) << "the kernel does not let the test reset its peak memory";
  }

  RgbImage* image = LoadDibImage("sparse.bmp");
  const uint64_t growth = PeakMemoryGrowth();
  const uint64_t pictureBytes = uint64_t(c.width) * uint64_t(c.height) * 3;
  if (peakMemoryIsMeasured && peakMemoryIsTheProgramsOwn) {
    EXPECT_LT(growth, pictureBytes + (16u << 20)) << "for a picture of " << pictureBytes << " bytes";
  }
  if (c.message) {
    EXPECT_EQ(image, nullptr);
    ASSERT_EQ(answeredMessageBoxes.shown.size(), 1u);
    EXPECT_EQ(answeredMessageBoxes.shown[0].text, c.message);
    return;
  }
  ASSERT_NE(image, nullptr);
  EXPECT_TRUE(answeredMessageBoxes.shown.empty());
  EXPECT_EQ(image->width, c.width);
  EXPECT_EQ(image->height, c.height);
  std::free(image->data);
  std::free(image);
}

const uint64_t GB = uint64_t(1) << 30;
INSTANTIATE_TEST_SUITE_P(
    Files, SparseFile,
    testing::Values(SparseCase{"NotABmp", {'X', 'X'}, 4 * GB, unknownFormat},
                    SparseCase{"ValidHeaderThenHole", BuildBmp(Header24(2048, 2048)), 3 * GB, nullptr, 2048, 2048},
                    SparseCase{"TableOf65535ThenHole",
                               Build(Header24(64, 64), [](BmpFields& s) { s.bitCount = 8, s.coloursUsed = 0xFFFF; }),
                               3 * GB, nullptr, 64, 64}),
    [](const testing::TestParamInfo<SparseCase>& info) { return std::string(info.param.name); });

struct EntriesCase {
  BmpFields fields;
  uint16_t entries;
};

TEST(ColourTableEntries, FollowsColoursUsedThenBitCount) {
  auto info = [](uint16_t bitCount, uint32_t coloursUsed) {
    BmpFields fields;
    fields.fileHeader = false;
    fields.bitCount = bitCount;
    fields.coloursUsed = coloursUsed;
    return fields;
  };
  BmpFields core = info(4, 0);
  core.headerSize = 12;
  const EntriesCase cases[] = {
      {info(1, 0), 2},   {info(4, 0), 16}, {info(8, 0), 256},     {info(24, 0), 0}, {info(16, 0), 0},
      {info(8, 20), 20}, {info(24, 3), 3}, {info(8, 0x10005), 5}, {core, 16},
  };
  for (const EntriesCase& c : cases) {
    const Bytes header = BuildBmp(c.fields);
    EXPECT_EQ(ColourTableEntries(header.data()), c.entries)
        << "bits " << c.fields.bitCount << ", used " << c.fields.coloursUsed;
  }
}

}  // namespace
