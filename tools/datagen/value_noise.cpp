#include "datagen/value_noise.h"

#include <cmath>

#include "datagen/prng.h"

namespace {
double LatticeValue(uint64_t seed, int x, int y, int period) {
  const int wrappedX = ((x % period) + period) % period;
  const int wrappedY = ((y % period) + period) % period;
  Prng prng = MakePrng(seed ^ (uint64_t(wrappedX) * 0x9E3779B1ull) ^ (uint64_t(wrappedY) << 32));
  return NextUnit(prng);
}

double Smooth(double t) { return t * t * (3.0 - 2.0 * t); }
}  // namespace

double TiledNoise(uint64_t seed, double x, double y, int period) {
  const double cellX = std::floor(x);
  const double cellY = std::floor(y);
  const int x0 = int(cellX);
  const int y0 = int(cellY);
  const double tx = Smooth(x - cellX);
  const double ty = Smooth(y - cellY);
  const double top = LatticeValue(seed, x0, y0, period) * (1 - tx) + LatticeValue(seed, x0 + 1, y0, period) * tx;
  const double bottom =
      LatticeValue(seed, x0, y0 + 1, period) * (1 - tx) + LatticeValue(seed, x0 + 1, y0 + 1, period) * tx;
  return top * (1 - ty) + bottom * ty;
}

double TiledFractalNoise(uint64_t seed, double x, double y, int period, int octaves) {
  double sum = 0.0;
  double weight = 1.0;
  double total = 0.0;
  for (int octave = 0; octave < octaves; ++octave) {
    const int scale = 1 << octave;
    sum += weight * TiledNoise(seed + uint64_t(octave), x * scale, y * scale, period * scale);
    total += weight;
    weight *= 0.5;
  }
  return sum / total;
}
