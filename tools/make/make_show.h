// Makes a whole data set from the options: the pictures decoded and fitted
// on all cores, the slots filled, the title and end pictures, the room, the
// soundtrack, and a note of how it was made; written beside the target and
// renamed into place. Returns the exit status (0, 1 or 2).
#pragma once

#include "make_options.h"

int MakeShow(const MakeOptions& options);
