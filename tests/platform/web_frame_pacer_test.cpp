// The page's pace: at most one demo frame per 1/60 s of animation-frame
// time, whatever the display's rate.
#include "platform/web/web_frame_pacer.h"

#include <gtest/gtest.h>

namespace {

// Frames drawn in `seconds` of animation frames at `hertz`, each frame's
// time off the display's grid by up to `jitter` milliseconds.
int FramesDrawn(double hertz, double seconds, double jitter = 0) {
  FramePacer pacer;
  int drawn = 0;
  const int frames = int(hertz * seconds);
  for (int i = 0; i < frames; ++i) {
    const double wobble = jitter * ((i * 7919) % 11 - 5) / 5.0;  // spread over [-jitter, jitter]
    if (PaceAnimationFrame(pacer, 1000.0 * i / hertz + wobble)) ++drawn;
  }
  return drawn;
}

TEST(WebFramePacerTest, DrawsSixtyFramesASecondOnFastDisplays) {
  struct Case {
    double hertz, jitter;
    int expected;
  };
  // Ten seconds each; a display at 60 Hz or slower draws every frame.
  for (const Case c : {Case{60, 0, 600}, Case{60, 3, 600}, Case{75, 0, 600}, Case{120, 0, 600}, Case{120, 2, 600},
                       Case{144, 0, 600}, Case{144, 1.5, 600}, Case{240, 0, 600}, Case{50, 0, 500}, Case{30, 4, 300}}) {
    EXPECT_NEAR(FramesDrawn(c.hertz, 10, c.jitter), c.expected, 1) << c.hertz << " Hz, jitter " << c.jitter << " ms";
  }
}

TEST(WebFramePacerTest, NeverTwoFramesInOneAnimationFrameNorCatchingUpAfterAPause) {
  FramePacer pacer;
  EXPECT_TRUE(PaceAnimationFrame(pacer, 1000));
  EXPECT_TRUE(PaceAnimationFrame(pacer, 1016.7));
  // The page was hidden for ten seconds: the next animation frames draw at
  // the display's pace, not a burst for the frames missed.
  int drawn = 0;
  for (int i = 0; i < 120; ++i) drawn += PaceAnimationFrame(pacer, 11016.7 + i * 1000.0 / 120) ? 1 : 0;
  EXPECT_NEAR(drawn, 60, 1);
}

}  // namespace
