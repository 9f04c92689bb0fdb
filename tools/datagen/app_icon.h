// Qeb's application icon: the opening picture, with its title, scaled down
// to a square of the given size for the desktop's icon theme.
#pragma once

#include "datagen/picture.h"

// Sizes the desktop files install, in pixels.
constexpr int appIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// size x size pixels, each the mean of the opening picture's pixels under it;
// an empty picture when size is not between 1 and the picture's own size.
Picture MakeAppIcon(int size);
