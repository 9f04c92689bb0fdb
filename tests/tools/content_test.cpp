// Properties of the generated content that the files alone do not show: the
// animations and the soundtrack loop without a seam, and numbers are written
// exactly.
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

struct AnimationCase {
  const char* name;
  std::function<Picture(int)> frame;
};

void PrintTo(const AnimationCase& animation, std::ostream* out) { *out << animation.name; }

class AnimationLoop : public testing::TestWithParam<AnimationCase> {};
}  // namespace

// Every frame differs from the one before (the picture moves), and the step
// from the last frame back to the first is no bigger than the others.
TEST_P(AnimationLoop, MovesAndWrapsWithoutAJump) {
  std::vector<Picture> frames;
  for (int k = 0; k < animationFrameCount; ++k) frames.push_back(GetParam().frame(k));
  double largestStep = 0;
  for (int k = 1; k < animationFrameCount; ++k) {
    const double step = MeanDifference(frames[k - 1], frames[k]);
    EXPECT_GT(step, 1.0) << "frames " << k << " and " << k + 1 << " look alike";
    largestStep = std::max(largestStep, step);
  }
  EXPECT_LE(MeanDifference(frames.back(), frames.front()), largestStep * 1.05);
}

INSTANTIATE_TEST_SUITE_P(Animations, AnimationLoop,
                         testing::Values(AnimationCase{"plasma",
                                                       [](int k) { return ExpandIndexed(MakePlasmaFrame(k)); }},
                                         AnimationCase{"tunnel", MakeTunnelFrame},
                                         AnimationCase{"cube", [](int k) { return ExpandIndexed(MakeCubeFrame(k)); }}),
                         [](const testing::TestParamInfo<AnimationCase>& info) { return info.param.name; });

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
