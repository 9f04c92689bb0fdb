// Writes numbers into the text files with a fixed number of decimals, from
// integer arithmetic only, so the text does not depend on the C library's
// floating-point printing or on the locale.
#pragma once

#include <string>

// value rounded to 'decimals' places (at most 9), e.g. -0.25 with 6 decimals
// gives "-0.250000". A value that rounds to zero is written without a sign.
std::string FixedDecimal(double value, int decimals);
