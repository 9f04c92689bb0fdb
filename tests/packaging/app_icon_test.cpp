// The application icon: the opening picture scaled down by averaging, and
// the PNG files that carry it, read back with libpng.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <vector>

#include "datagen/app_icon.h"
#include "datagen/png_writer.h"
#include "datagen/title_cards.h"

namespace {
// Decodes PNG bytes into 8-bit RGB; an empty picture when libpng refuses them.
Picture DecodePng(const std::vector<uint8_t>& file) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return {};
  image.format = PNG_FORMAT_RGB;
  Picture picture = MakePicture(int(image.width), int(image.height), Rgb{0, 0, 0});
  if (!png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr)) return {};
  return picture;
}

TEST(AppIcon, EveryInstalledSizeSurvivesItsPngFile) {
  for (int size : appIconSizes) {
    SCOPED_TRACE(size);
    const Picture icon = MakeAppIcon(size);
    ASSERT_EQ(icon.width, size);
    ASSERT_EQ(icon.height, size);
    const Picture decoded = DecodePng(EncodePng(icon));
    EXPECT_EQ(decoded.width, size);
    EXPECT_EQ(decoded.height, size);
    EXPECT_TRUE(decoded.pixels == icon.pixels);
  }
}

TEST(AppIcon, EachPixelIsTheMeanOfTheOpeningPixelsUnderIt) {
  const Picture opening = MakeOpeningPicture();
  EXPECT_TRUE(MakeAppIcon(opening.width).pixels == opening.pixels);

  // 48 does not divide 256: icon pixel 1 covers source columns and rows 5..9.
  const Picture icon = MakeAppIcon(48);
  long sum[3] = {0, 0, 0};
  for (int y = 5; y < 10; ++y) {
    for (int x = 5; x < 10; ++x) {
      const Rgb pixel = opening.pixels[size_t(y) * opening.width + x];
      sum[0] += pixel.r;
      sum[1] += pixel.g;
      sum[2] += pixel.b;
    }
  }
  const Rgb mean{uint8_t((sum[0] + 12) / 25), uint8_t((sum[1] + 12) / 25), uint8_t((sum[2] + 12) / 25)};
  EXPECT_EQ(icon.pixels[48 + 1], mean);
}

TEST(AppIcon, SizesOutsideThePictureGiveNothing) {
  for (int size : {0, -16, 257}) EXPECT_TRUE(MakeAppIcon(size).pixels.empty()) << size;
  EXPECT_TRUE(EncodePng(Picture{}).empty());
  Picture mismatched = MakePicture(4, 4, Rgb{1, 2, 3});
  mismatched.pixels.pop_back();
  EXPECT_TRUE(EncodePng(mismatched).empty());
}
}  // namespace
