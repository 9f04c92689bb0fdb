// Properties of the generated content that the files alone do not show:
// each picture series changes visibly from card to card, the soundtrack
// fits the show and its loudness, and numbers are written exactly.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <numeric>

#include <gtest/gtest.h>

#include "datagen/animations.h"
#include "datagen/camera_script.h"
#include "datagen/decimal_text.h"
#include "datagen/loudness.h"
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

// Each section starts where the timeline changes, within one video frame.
TEST(Soundtrack, SectionsChangeWithTheTimeline) {
  const std::vector<int> frames = FramesPerSlot();
  const int changeSlots[] = {0, 16, 56, 72, 112, 128, 168, 184};
  const std::vector<long> starts = SoundtrackSectionStarts();
  ASSERT_EQ(starts.size(), std::size(changeSlots));
  for (size_t i = 0; i < starts.size(); ++i) {
    const long frame = std::accumulate(frames.begin(), frames.begin() + changeSlots[i], 0L);
    EXPECT_NEAR(double(starts[i]), double(frame) * soundtrackSampleRate / 60, soundtrackSampleRate / 60.0)
        << "section " << i << " and slot " << changeSlots[i];
  }
}

// A 997 Hz sine at half of full scale in both channels reads -6.0 LUFS.
// Silence around it is gated out: without the gates, 3 s of silence either
// side of 5 s of tone would read 3.4 LU lower; only the few blocks that
// straddle an edge still count, a quarter of a decibel.
TEST(Loudness, ReadsASineAsTheBroadcastMeasureDoes) {
  const int rate = 44100;
  std::vector<float> tone;
  for (int i = 0; i < 5 * rate; ++i) tone.push_back(float(0.5 * std::sin(2 * M_PI * 997.0 * i / rate)));
  EXPECT_NEAR(IntegratedLoudness(tone, tone, rate), -6.02, 0.1);
  std::vector<float> withSilence(3 * rate, 0.0f);
  withSilence.insert(withSilence.end(), tone.begin(), tone.end());
  withSilence.resize(withSilence.size() + 3 * rate, 0.0f);
  EXPECT_NEAR(IntegratedLoudness(withSilence, withSilence, rate), -6.02, 0.3);
  EXPECT_LE(IntegratedLoudness(std::vector<float>(rate, 0.0f), std::vector<float>(rate, 0.0f), rate), -70.0);
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
