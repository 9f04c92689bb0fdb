// Which of a display's modes the full-screen window switches to.
#pragma once

#include <SDL.h>

// The demo's clock counts frames, so its pace follows the refresh rate: of
// the modes of exactly width x height, the one at 60 Hz, else the one whose
// rate is closest to 60 Hz (a mode of unknown rate comes after every known
// one). Among modes of equal rate, one of the asked depth wins, then the
// first listed. The index of the chosen mode, or -1 when none has that size.
int ChooseDisplayMode(const SDL_DisplayMode* modes, int count, int width, int height, int bits);
