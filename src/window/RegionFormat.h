// The text a region coordinate is shown with in the Position box: general format, 10 significant digits.
#pragma once

#include <string>
#include <string_view>

namespace window {

// Rounds to 10 significant digits (halves away from zero) and writes fixed
// notation when the value is 0.d1d2... x 10^E with -3 <= E <= 10, otherwise
// scientific notation like "1.5E-7". Trailing zeros are dropped; zero is "0".
// The separator is UTF-8 text: some locales' separator takes several bytes.
std::string FormatRegionNumber(long double value, std::string_view decimalSeparator);
inline std::string FormatRegionNumber(long double value, char decimalSeparator)
{
    return FormatRegionNumber(value, std::string_view(&decimalSeparator, 1));
}

} // namespace window
