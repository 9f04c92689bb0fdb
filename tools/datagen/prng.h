// A small deterministic random number generator (splitmix64), so every run of
// the generator writes the same bytes: no seed from the clock, no library
// generator whose sequence may change between versions.
#pragma once

#include <cstdint>

struct Prng {
  uint64_t state;
};

inline Prng MakePrng(uint64_t seed) { return Prng{seed}; }

inline uint64_t NextRandom(Prng& prng) {
  uint64_t z = (prng.state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

// Uniform in [0, 1), from the top 53 bits.
inline double NextUnit(Prng& prng) { return double(NextRandom(prng) >> 11) * (1.0 / 9007199254740992.0); }

// Uniform in [-1, 1).
inline double NextSigned(Prng& prng) { return NextUnit(prng) * 2.0 - 1.0; }
