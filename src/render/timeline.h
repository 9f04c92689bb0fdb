// Which picture the four walls show at a given moment of the demo clock.
#pragma once

#include <cstdint>

// The texture bank slot (TextureSlot::...) for demoTick: a still picture
// before, between and after three 40-frame animations, one frame per slot of
// 100 ticks.
int TimelineTextureSlot(int32_t tick);
