// The opening picture and the two end pictures, 256 x 256 in full colour,
// each held on the walls for many seconds: a scene with the title "QEB" and
// a few words in the generator's own lettering.
#pragma once

#include "datagen/picture.h"

constexpr int titleCardSize = 256;

Picture MakeOpeningPicture();    // begin
Picture MakeFirstEndPicture();   // end1
Picture MakeSecondEndPicture();  // end2
