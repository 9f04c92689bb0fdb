#include "image/texture_bank.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "answered_message_boxes.h"
#include "datagen/bmp_file.h"
#include "fake_window_system.h"
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
#include "fifo_feeder.h"
#endif
#include "gl_recorder.h"
#include "peak_memory.h"
#include "test_files.h"

namespace {

// The file of each slot, written out here rather than computed.
std::string SlotFile(int slot) {
  if (slot < 4) return "Data/map" + std::to_string(slot + 1) + ".bmp";
  if (slot < 44) return "Data/anim1/anim_" + std::to_string(slot - 3) + ".bmp";
  if (slot < 84) return "Data/anim2/anim_" + std::to_string(slot - 3) + ".bmp";  // 41..80
  if (slot < 124) return "Data/anim3/frame" + std::to_string(slot - 83) + ".bmp";
  const char* stills[] = {"Data/end1.bmp", "Data/end2.bmp", "Data/begin.bmp"};
  return stills[slot - 124];
}

// A 1x1 picture whose red and green tell the slot: (slot, 255 - slot, 7).
Bytes SlotPicture(int slot) {
  BmpFields fields;
  fields.pixels = {7, uint8_t(255 - slot), uint8_t(slot), 0};
  return BuildBmp(fields);
}
Bytes SlotRgb(int slot) { return {uint8_t(slot), uint8_t(255 - slot), 7}; }

class TextureBankTest : public testing::Test {
 protected:
  void SetUp() override {
    EnterTestDirectory();
    ResetGlRecorder();
    ResetFakeWindowSystem();
    AnswerMessageBoxesFromScript();
    textureBank = TextureBank{};
  }
  void TearDown() override { LeaveTestDirectory(); }

  const RecordedTexture* TextureNamed(GLuint name) {
    auto found = glRecorder.textures.find(name);
    return found == glRecorder.textures.end() ? nullptr : &found->second;
  }
};

TEST_F(TextureBankTest, AllFilesFillTheirOwnSlots) {
  for (int slot = 0; slot < 127; ++slot) WriteTestFile(SlotFile(slot), SlotPicture(slot));

  EXPECT_EQ(LoadTextures(), 1);
  EXPECT_TRUE(answeredMessageBoxes.shown.empty());
  ASSERT_EQ(CallsNamed("glGenTextures").size(), 1u);
  EXPECT_EQ(CallsNamed("glGenTextures")[0].args[0], 256);
  const std::set<GLuint> distinct(std::begin(textureBank.names), std::end(textureBank.names));
  EXPECT_EQ(distinct.size(), 256u);
  EXPECT_EQ(distinct.count(0), 0u);

  for (int slot = 0; slot < 127; ++slot) {
    const RecordedTexture* texture = TextureNamed(textureBank.names[slot]);
    ASSERT_NE(texture, nullptr) << SlotFile(slot);
    EXPECT_EQ(texture->pixels, SlotRgb(slot)) << SlotFile(slot);
  }
  for (int slot = 127; slot < 256; ++slot) EXPECT_EQ(TextureNamed(textureBank.names[slot]), nullptr);
  EXPECT_EQ(glRecorder.textures.size(), 127u);
}

TEST_F(TextureBankTest, EachUploadIsOneNearestLevelOfThreeComponents) {
  BmpFields oddWidth;  // 3 pixels: rows of 9 bytes, not a multiple of 4
  oddWidth.width = 3;
  oddWidth.height = 2;
  oddWidth.pixels = {3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 0, 0, 12, 11, 10, 15, 14, 13, 18, 17, 16, 0, 0, 0};
  WriteTestFile("Data/map1.bmp", BuildBmp(oddWidth));

  EXPECT_EQ(LoadTextures(), 1);
  const std::vector<std::string> expected = {"glPixelStorei",   "glGenTextures",   "glBindTexture",
                                             "glTexParameteri", "glTexParameteri", "glTexImage2D"};
  std::vector<std::string> names;
  for (const GlCall& call : glRecorder.calls) names.push_back(call.name);
  EXPECT_EQ(names, expected);
  EXPECT_EQ(CallsNamed("glPixelStorei")[0].args, (std::vector<double>{GL_UNPACK_ALIGNMENT, 1}));
  EXPECT_EQ(CallsNamed("glBindTexture")[0].args, (std::vector<double>{GL_TEXTURE_2D, double(textureBank.names[0])}));
  EXPECT_EQ(CallsNamed("glTexParameteri")[0].args,
            (std::vector<double>{GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST}));
  EXPECT_EQ(CallsNamed("glTexParameteri")[1].args,
            (std::vector<double>{GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST}));
  EXPECT_EQ(CallsNamed("glTexImage2D")[0].args,
            (std::vector<double>{GL_TEXTURE_2D, 0, 3, 3, 2, 0, GL_RGB, GL_UNSIGNED_BYTE}));
  // Read as GL reads it: with a stride of 12 bytes the second row would be wrong.
  const RecordedTexture* texture = TextureNamed(textureBank.names[0]);
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(texture->pixels, (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}));
}

TEST_F(TextureBankTest, OnlyBeginGoesToTextureZero) {
  WriteTestFile("Data/begin.bmp", SlotPicture(126));
  EXPECT_EQ(LoadTextures(), 1);
  EXPECT_EQ(CountCalls("glGenTextures"), 0u);
  ASSERT_EQ(glRecorder.textures.size(), 1u);
  ASSERT_NE(TextureNamed(0), nullptr);
  EXPECT_EQ(TextureNamed(0)->pixels, SlotRgb(126));
}

TEST_F(TextureBankTest, OnlyMap1GeneratesAllNames) {
  WriteTestFile("Data/map1.bmp", SlotPicture(0));
  EXPECT_EQ(LoadTextures(), 1);
  EXPECT_EQ(CountCalls("glGenTextures"), 1u);
  for (GLuint name : textureBank.names) EXPECT_NE(name, 0u);
  ASSERT_EQ(glRecorder.textures.size(), 1u);
  ASSERT_NE(TextureNamed(textureBank.names[0]), nullptr);
  EXPECT_EQ(TextureNamed(textureBank.names[0])->pixels, SlotRgb(0));
}

TEST_F(TextureBankTest, NoFilesGiveZeroWithoutMessages) {
  EXPECT_EQ(LoadTextures(), 0);
  EXPECT_TRUE(answeredMessageBoxes.shown.empty());
  EXPECT_EQ(CountCalls("glTexImage2D"), 0u);
}

TEST_F(TextureBankTest, SecondSeriesStartsAt41) {
  // Named like the first frame of a series, but not part of the second one:
  // reading it would show a message.
  WriteTestFile("Data/anim2/anim_1.bmp", Bytes{'n', 'o', 't', ' ', 'B', 'M', 'P', '!'});
  EXPECT_EQ(LoadTextures(), 0);
  EXPECT_TRUE(answeredMessageBoxes.shown.empty());
}

TEST_F(TextureBankTest, UndecodableFileShowsOneMessageAndLoadingGoesOn) {
  WriteTestFile("Data/map2.bmp", Bytes{'n', 'o', 't', ' ', 'B', 'M', 'P', '!'});
  WriteTestFile("Data/begin.bmp", SlotPicture(126));
  EXPECT_EQ(LoadTextures(), 1);
  ASSERT_EQ(answeredMessageBoxes.shown.size(), 1u);
  EXPECT_EQ(answeredMessageBoxes.shown[0].text, "Unknown DIB file format.");
  EXPECT_EQ(CountCalls("glTexImage2D"), 1u);
  ASSERT_NE(TextureNamed(0), nullptr);
  EXPECT_EQ(TextureNamed(0)->pixels, SlotRgb(126));
}

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)  // no FIFOs in Windows' file system or node's
// A FIFO under a picture's name is skipped like a missing file, without
// waiting for a writer; a bank that waits anyway is fed a good picture.
TEST_F(TextureBankTest, FifoIsSkippedLikeAMissingFile) {
  WriteTestFile("Data/begin.bmp", SlotPicture(126));
  const Bytes picture = SlotPicture(0);
  FifoFeeder fifo("Data/map1.bmp", std::string(picture.begin(), picture.end()));
  ASSERT_TRUE(fifo.Made());
  EXPECT_EQ(LoadTextures(), 1);
  EXPECT_TRUE(answeredMessageBoxes.shown.empty());
  EXPECT_EQ(CountCalls("glGenTextures"), 0u);
  ASSERT_EQ(glRecorder.textures.size(), 1u);
  ASSERT_NE(TextureNamed(0), nullptr);
  EXPECT_EQ(TextureNamed(0)->pixels, SlotRgb(126));
}
#endif

TEST(TextureFile, NamesEachSlotsFile) {
  for (int slot = 0; slot < textureBankImages; ++slot) EXPECT_EQ(TextureFile(slot), SlotFile(slot)) << slot;
  EXPECT_EQ(TextureFile(-1), nullptr);
  EXPECT_EQ(TextureFile(textureBankImages), nullptr);
}

// A 60-byte run-length file that declares a side x side picture (all black).
Bytes TinyHugePicture(int32_t side) {
  BmpFields fields;
  fields.width = fields.height = side;
  fields.bitCount = 8;
  fields.compression = 1;
  fields.coloursUsed = 1;
  fields.colours = InfoColours({0});
  fields.pixels = {0, 1};  // end of bitmap
  return BuildBmp(fields);
}

// Pictures past the budget are refused one by one and loading goes on, to
// the small opening picture, which still loads while there is room. The
// bound on memory: the pictures the budget lets through (3 bytes a pixel,
// kept again by the GL recorder) and one decoded picture at a time.
struct BudgetCase {
  const char* name;
  int32_t side;   // of the tiny files in slots 0 .. hugeFiles - 1
  int hugeFiles;  // few, so that a bank without a budget fails the test without exhausting the machine
  size_t uploaded;
  size_t refused;
};

void PrintTo(const BudgetCase& c, std::ostream* out) { *out << c.name; }

class PixelBudget : public TextureBankTest, public testing::WithParamInterface<BudgetCase> {};

TEST_P(PixelBudget, RefusesWhatGoesPastItAndLoadsTheRest) {
  const BudgetCase& c = GetParam();
  for (int slot = 0; slot < c.hugeFiles; ++slot) WriteTestFile(SlotFile(slot), TinyHugePicture(c.side));
  WriteTestFile("Data/begin.bmp", SlotPicture(126));
  if (peakMemoryIsMeasured) {
    ASSERT_TRUE(ResetPeakMemory()) << "the kernel does not let the test reset its peak memory";
  }

  EXPECT_EQ(LoadTextures(), 1);
  if (peakMemoryIsMeasured && peakMemoryIsTheProgramsOwn) {
    EXPECT_LT(PeakMemoryGrowth(), 2 * textureBankPixelBudget * 3 + (16u << 20));
  }
  ASSERT_EQ(answeredMessageBoxes.shown.size(), c.refused);
  for (const ShownMessageBox& box : answeredMessageBoxes.shown) EXPECT_EQ(box.text, "Image file conversion error.");
  EXPECT_EQ(CountCalls("glTexImage2D"), c.uploaded);
}

INSTANTIATE_TEST_SUITE_P(Files, PixelBudget,
                         testing::Values(
                             // Each larger than the whole budget: only the opening picture loads.
                             BudgetCase{"Side8192", 8192, 3, 1, 3},
                             // Two of them fill the budget exactly: the rest is refused.
                             BudgetCase{"Side4096", 4096, 5, 2, 4}),
                         [](const testing::TestParamInfo<BudgetCase>& info) { return std::string(info.param.name); });

TEST(LoadBitmapFile, NullOrMissingGivesNullWithoutMessage) {
  AnswerMessageBoxesFromScript();
  EXPECT_EQ(LoadBitmapFile(nullptr), nullptr);
  EXPECT_EQ(LoadBitmapFile("no/such/file.bmp"), nullptr);
  EXPECT_TRUE(answeredMessageBoxes.shown.empty());
}

}  // namespace
