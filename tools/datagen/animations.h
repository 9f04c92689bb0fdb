// The three series of 40 pictures shown on the waving walls, 128 x 128. The
// timeline shows the first two at about two pictures a second and the third
// at one picture every 1.7 seconds, holding the first picture of the second
// and third series and the last of the third for 27 seconds each: so each
// series is a run of distinct cards that tells something, with its held
// pictures made to be looked at.
#pragma once

#include "datagen/picture.h"

constexpr int animationFrameCount = 40;
constexpr int animationSize = 128;

// anim1: a countdown from 39 to 1 and "GO!", a ring of ticks emptying as it
// runs (8-bit palette).
IndexedPicture MakeCountdownCard(int card);
// anim2: a rocket's trip to the moon, from the launch pad to the landing;
// the first card, held, shows the rocket waiting (full colour).
Picture MakeRocketCard(int card);
// anim3: a tree growing from a seed, one card a day for 40 days, to a tree
// in blossom (16 colours).
IndexedPicture MakeTreeCard(int card);
