// The three animations shown on the waving walls, 40 frames each, 128 x 128.
// Each one loops: the step from its last frame back to its first is like any
// other step.
#pragma once

#include "datagen/picture.h"

constexpr int animationFrameCount = 40;
constexpr int animationSize = 128;

// anim1: a plasma whose palette flows through the rainbow (8-bit palette).
IndexedPicture MakePlasmaFrame(int frame);
// anim2: flying down a chequered tunnel that slowly twists (full colour).
Picture MakeTunnelFrame(int frame);
// anim3: a turning cube in front of drifting stars (16 colours).
IndexedPicture MakeCubeFrame(int frame);
