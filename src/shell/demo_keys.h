// The keys that act once per frame: B (blended look), the arrows (walk and
// turn) and F1 (switch between full screen and a window).
#pragma once

#include <cstdint>

extern float heading;    // degrees, turned by Left and Right
extern uint8_t blendOn;  // the look B last selected
extern uint8_t bHeld;    // B seen down: one press toggles once

// Applies the keys held in keyTable. False when F1's re-open failed (the
// demo must then end at once).
bool ApplyDemoKeys();
