#include "datagen/loudness.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double pi = 3.14159265358979323846;

struct Biquad {
  double b0, b1, b2, a1, a2;
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  double Run(double x) {
    const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1, x1 = x, y2 = y1, y1 = y;
    return y;
  }
};

// The two K-weighting stages, derived for any sample rate from their
// analogue prototypes (a +4 dB shelf above about 1.7 kHz, a high pass at 38 Hz).
Biquad HighShelf(double rate) {
  const double k = std::tan(pi * 1681.974450955533 / rate), q = 0.7071752369554196;
  const double vh = std::pow(10.0, 3.999843853973347 / 20.0), vb = std::pow(vh, 0.4996667741545416);
  const double a0 = 1.0 + k / q + k * k;
  return {(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
          2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

Biquad HighPass(double rate) {
  const double k = std::tan(pi * 38.13547087602444 / rate), q = 0.5003270373238773;
  const double a0 = 1.0 + k / q + k * k;
  return {1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

double BlockLoudness(double meanSquare) { return -0.691 + 10.0 * std::log10(std::max(meanSquare, 1e-30)); }
}  // namespace

double IntegratedLoudness(const std::vector<float>& left, const std::vector<float>& right, double sampleRate) {
  const size_t count = std::min(left.size(), right.size());
  const size_t step = size_t(sampleRate / 10);  // 100 ms
  if (count < 4 * step) return -70.0;
  // Squared K-weighted samples, both channels added (each weighs 1).
  std::vector<double> power(count);
  for (const std::vector<float>* channel : {&left, &right}) {
    Biquad shelf = HighShelf(sampleRate), pass = HighPass(sampleRate);
    for (size_t i = 0; i < count; ++i) {
      const double y = pass.Run(shelf.Run((*channel)[i]));
      power[i] += y * y;
    }
  }
  std::vector<double> stepPower;
  for (size_t start = 0; start + step <= count; start += step) {
    double sum = 0;
    for (size_t i = start; i < start + step; ++i) sum += power[i];
    stepPower.push_back(sum);
  }
  std::vector<double> blocks;  // mean square of each 400 ms block
  for (size_t k = 0; k + 4 <= stepPower.size(); ++k)
    blocks.push_back((stepPower[k] + stepPower[k + 1] + stepPower[k + 2] + stepPower[k + 3]) / (4.0 * step));

  auto gatedMean = [&](double gate) {
    double sum = 0;
    int used = 0;
    for (double block : blocks) {
      if (BlockLoudness(block) > gate) sum += block, ++used;
    }
    return used ? sum / used : 0.0;
  };
  const double ungated = gatedMean(-70.0);
  if (ungated <= 0) return -70.0;
  return BlockLoudness(gatedMean(BlockLoudness(ungated) - 10.0));
}
