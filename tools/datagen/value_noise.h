// Smooth value noise that tiles: the lattice values repeat with the given
// period, so a texture drawn from it joins seamlessly at its edges.
#pragma once

#include <cstdint>

// Noise in [0, 1] at (x, y), lattice cells of size 1, repeating every
// 'period' cells in both directions.
double TiledNoise(uint64_t seed, double x, double y, int period);

// Several octaves of TiledNoise added up and scaled back to [0, 1]; octave n
// has 2^n times the lattice of the first, whose period is 'period' cells.
double TiledFractalNoise(uint64_t seed, double x, double y, int period, int octaves);
