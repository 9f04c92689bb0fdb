// The opening picture and the two end pictures, each with the title "Qeb"
// drawn in the built-in font. 256 x 256.
#pragma once

#include "datagen/picture.h"

constexpr int titleCardSize = 256;

Picture MakeOpeningPicture();           // begin: full colour
IndexedPicture MakeFirstEndPicture();   // end1: 16 colours
IndexedPicture MakeSecondEndPicture();  // end2: 16 colours
