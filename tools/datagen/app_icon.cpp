#include "datagen/app_icon.h"

#include "datagen/title_cards.h"

Picture MakeAppIcon(int size) {
  const Picture opening = MakeOpeningPicture();
  const int source = opening.width;
  if (size < 1 || size > source || opening.height != source) return {};
  Picture icon = MakePicture(size, size, Rgb{0, 0, 0});
  // Each icon pixel covers the source pixels from its own start to the next
  // one's, so sizes that do not divide the source still use every pixel.
  for (int y = 0; y < size; ++y) {
    const int y0 = y * source / size, y1 = (y + 1) * source / size;
    for (int x = 0; x < size; ++x) {
      const int x0 = x * source / size, x1 = (x + 1) * source / size;
      long sum[3] = {0, 0, 0};
      for (int sy = y0; sy < y1; ++sy) {
        for (int sx = x0; sx < x1; ++sx) {
          const Rgb pixel = opening.pixels[size_t(sy) * source + sx];
          sum[0] += pixel.r;
          sum[1] += pixel.g;
          sum[2] += pixel.b;
        }
      }
      const long count = long(y1 - y0) * (x1 - x0);
      auto mean = [count](long total) { return uint8_t((total + count / 2) / count); };
      PixelAt(icon, x, y) = Rgb{mean(sum[0]), mean(sum[1]), mean(sum[2])};
    }
  }
  return icon;
}
