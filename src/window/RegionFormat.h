// The text a region coordinate is shown with in the Position box: general format, 10 significant digits.
#pragma once

#include <string>

namespace window {

// Rounds to 10 significant digits (halves away from zero) and writes fixed
// notation when the value is 0.d1d2... x 10^E with -3 <= E <= 10, otherwise
// scientific notation like "1.5E-7". Trailing zeros are dropped; zero is "0".
std::string FormatRegionNumber(long double value, char decimalSeparator);

} // namespace window
