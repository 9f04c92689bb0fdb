// The Windows virtual-key code of each key SDL reports, so the window
// procedure sees every key as a Windows program would.
#pragma once

#include <SDL.h>

// The code of a key: letters follow the keyboard layout (the key that types
// 'a' is 'A'), every other key its position; 0 for the few keys Windows has
// no code for (copy, paste, brightness, ...).
unsigned VirtualKeyOf(const SDL_Keysym& key);
