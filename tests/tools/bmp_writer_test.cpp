// Each of the generator's BMP forms read back through the demo's decoder,
// with an odd width so that row padding and half-filled bytes are exercised.
#include <cstdlib>
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "answered_message_boxes.h"
#include "datagen/bmp_writer.h"
#include "image/dib_image.h"
#include "temporary_directory.h"

namespace {
struct EncodingCase {
  const char* name;
  std::function<std::vector<uint8_t>(const IndexedPicture&)> encode;
  int paletteSize;
};

// Every pixel a different palette entry where the palette allows it.
IndexedPicture TestPicture(int paletteSize) {
  std::vector<Rgb> palette;
  for (int i = 0; i < paletteSize; ++i) palette.push_back(Rgb{uint8_t(10 * i), uint8_t(255 - 7 * i), uint8_t(i * i)});
  IndexedPicture picture = MakeIndexedPicture(5, 3, palette);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) IndexAt(picture, x, y) = uint8_t((y * 5 + x * 3) % paletteSize);
  }
  return picture;
}

void PrintTo(const EncodingCase& encoding, std::ostream* out) { *out << encoding.name; }

class BmpWriterRoundTrip : public testing::TestWithParam<EncodingCase> {};
}  // namespace

TEST_P(BmpWriterRoundTrip, DecodesToThePicture) {
  const IndexedPicture picture = TestPicture(GetParam().paletteSize);
  const Picture colours = ExpandIndexed(picture);
  const TemporaryDirectory folder("qeb-bmp");
  const std::string path = (folder.path() / (std::string(GetParam().name) + ".bmp")).string();
  ASSERT_TRUE(WriteFileBytes(path, GetParam().encode(picture)));

  AnswerMessageBoxesFromScript();
  RgbImage* image = LoadDibImage(path.c_str());
  SetMessageBoxAnswerer(nullptr);
  ASSERT_NE(image, nullptr) << (answeredMessageBoxes.shown.empty() ? "" : answeredMessageBoxes.shown[0].text);
  ASSERT_EQ(image->width, 5);
  ASSERT_EQ(image->height, 3);
  // The decoder's rows run bottom first, the picture's top first.
  for (int row = 0; row < 3; ++row) {
    for (int x = 0; x < 5; ++x) {
      const uint8_t* pixel = image->data + (row * 5 + x) * 3;
      const Rgb expected = colours.pixels[(2 - row) * 5 + x];
      EXPECT_EQ(Rgb({pixel[0], pixel[1], pixel[2]}), expected) << "row " << row << " x " << x;
    }
  }
  std::free(image->data);
  std::free(image);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, BmpWriterRoundTrip,
    testing::Values(EncodingCase{"rgb24", [](const IndexedPicture& p) { return EncodeBmp24(ExpandIndexed(p)); }, 15},
                    EncodingCase{"palette8", EncodeBmp8, 7}, EncodingCase{"core4", EncodeBmp4Core, 3}),
    [](const testing::TestParamInfo<EncodingCase>& info) { return info.param.name; });
