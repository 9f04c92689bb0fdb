// Turns a full-colour picture into palette indices: each pixel takes the
// nearest palette colour, optionally after a 4 x 4 ordered dither so that
// smooth gradients survive a small palette.
#pragma once

#include <vector>

#include "datagen/picture.h"

// ditherSpread: how far (in 0..255 channel units) the dither may push a
// pixel before matching; 0 matches plainly.
IndexedPicture MatchToPalette(const Picture& picture, const std::vector<Rgb>& palette, double ditherSpread);
