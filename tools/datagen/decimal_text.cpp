#include "datagen/decimal_text.h"

#include <cmath>
#include <cstdint>

std::string FixedDecimal(double value, int decimals) {
  int64_t scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  const int64_t scaled = std::llround(value * double(scale));
  const uint64_t magnitude = scaled < 0 ? uint64_t(-scaled) : uint64_t(scaled);

  std::string text = scaled < 0 ? "-" : "";
  text += std::to_string(magnitude / uint64_t(scale));
  if (decimals > 0) {
    const std::string fraction = std::to_string(magnitude % uint64_t(scale));
    text += '.';
    text.append(size_t(decimals) - fraction.size(), '0');
    text += fraction;
  }
  return text;
}
