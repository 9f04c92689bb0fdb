// Properties of the generated content that the files alone do not show:
// each picture series changes visibly from card to card, the soundtrack
// loops without a seam, and numbers are written exactly.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>

#include <gtest/gtest.h>

#include "datagen/animations.h"
#include "datagen/decimal_text.h"
#include "datagen/soundtrack.h"

namespace {
double MeanDifference(const Picture& a, const Picture& b) {
  double sum = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) {
    sum += std::abs(a.pixels[i].r - b.pixels[i].r) + std::abs(a.pixels[i].g - b.pixels[i].g) +
           std::abs(a.pixels[i].b - b.pixels[i].b);
  }
  return sum / (3.0 * a.pixels.size());
}

struct SeriesCase {
  const char* name;
  std::function<Picture(int)> card;
};

void PrintTo(const SeriesCase& series, std::ostream* out) { *out << series.name; }

class PictureSeries : public testing::TestWithParam<SeriesCase> {};
}  // namespace

// The walls show a series one card at a time: every card must tell the
// viewer something new, so no two neighbouring cards look alike.
TEST_P(PictureSeries, EveryCardDiffersVisiblyFromTheOneBefore) {
  Picture previous = GetParam().card(0);
  for (int k = 1; k < animationFrameCount; ++k) {
    Picture card = GetParam().card(k);
    ASSERT_EQ(card.width, animationSize);
    ASSERT_EQ(card.height, animationSize);
    EXPECT_GT(MeanDifference(previous, card), 1.0) << "cards " << k << " and " << k + 1 << " look alike";
    previous = std::move(card);
  }
}

INSTANTIATE_TEST_SUITE_P(Series, PictureSeries,
                         testing::Values(SeriesCase{"countdown",
                                                    [](int k) { return ExpandIndexed(MakeCountdownCard(k)); }},
                                         SeriesCase{"rocket", MakeRocketCard},
                                         SeriesCase{"tree", [](int k) { return ExpandIndexed(MakeTreeCard(k)); }}),
                         [](const testing::TestParamInfo<SeriesCase>& info) { return info.param.name; });

TEST(Soundtrack, LoopsWithoutAClick) {
  const std::vector<int16_t> samples = SynthesiseSoundtrack();
  ASSERT_EQ(samples.size(), size_t(soundtrackFrames) * 2);
  for (int channel = 0; channel < 2; ++channel) {
    std::vector<int> steps;
    for (size_t i = channel + 2; i < samples.size(); i += 2) steps.push_back(std::abs(samples[i] - samples[i - 2]));
    std::nth_element(steps.begin(), steps.begin() + steps.size() * 99 / 100, steps.end());
    const int typicalLargeStep = steps[steps.size() * 99 / 100];
    const int seam = std::abs(samples[channel] - samples[samples.size() - 2 + channel]);
    EXPECT_LE(seam, typicalLargeStep) << "channel " << channel;
  }
}

TEST(FixedDecimal, RoundsWithoutTheCLibrary) {
  const struct {
    double value;
    int decimals;
    const char* text;
  } cases[] = {
      {0.0, 6, "0.000000"},       {-0.0000004, 6, "0.000000"}, {1.5, 6, "1.500000"},       {-2.25, 4, "-2.2500"},
      {0.0000015, 6, "0.000002"}, {-4.5, 4, "-4.5000"},        {123.456789, 3, "123.457"}, {7.0, 0, "7"},
  };
  for (const auto& c : cases) EXPECT_EQ(FixedDecimal(c.value, c.decimals), c.text) << c.value;
}
