#include "render/timeline.h"

#include <gtest/gtest.h>

#include "image/texture_bank.h"

namespace {

struct TimelineCase {
  int32_t tick;
  int slot;
};

using namespace TextureSlot;

// Both sides of every boundary of the timeline.
const TimelineCase timeline[] = {
    {0, begin},          {1599, begin},       {1600, anim1},  {1700, anim1 + 1},  {5599, anim1 + 39},
    {5600, anim2},       {7199, anim2},       {7200, anim2},  {7300, anim2 + 1},  {11199, anim2 + 39},
    {11200, anim3},      {12799, anim3},      {12800, anim3}, {12900, anim3 + 1}, {16799, anim3 + 39},
    {16800, anim3 + 39}, {18399, anim3 + 39}, {18400, end1},  {18899, end1},      {18900, end2},
    {19399, end2},       {19400, map4},       {25600, map4},  {INT32_MAX, map4},
};

TEST(Timeline, PicksThePictureOfEachStretch) {
  for (const TimelineCase& entry : timeline)
    EXPECT_EQ(TimelineTextureSlot(entry.tick), entry.slot) << "demoTick " << entry.tick;
}

}  // namespace
