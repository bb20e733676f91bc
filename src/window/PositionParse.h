// Reading a coordinate typed in the Position box: decimal text with the locale's separator.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace window {

// The whole text, blanks around it aside, must be one number: an optional
// sign, digits with at most one decimal separator (at least one digit in
// all), and an optional exponent "E" or "e" with an optional sign and at
// least one digit. The value is the extended number nearest to the text; a
// number beyond the extended range, NaN, infinity or any other text gives
// nothing. A number too small for the range reads as 0 (or a denormal).
// The separator is UTF-8 text, as the labels are written with it.
std::optional<long double> ParseRegionNumber(std::string_view text, std::string_view decimalSeparator);
inline std::optional<long double> ParseRegionNumber(std::string_view text, char decimalSeparator)
{
    return ParseRegionNumber(text, std::string_view(&decimalSeparator, 1));
}

// The text the Position box reports for a text that is not a number.
class InvalidFloatText : public std::runtime_error {
public:
    explicit InvalidFloatText(const std::string& text)
        : std::runtime_error("'" + text + "' is not a valid floating point value")
    {
    }
};

// ParseRegionNumber, throwing InvalidFloatText(text) for a text that is not a number.
long double ParseRegionNumberOrThrow(std::string_view text, std::string_view decimalSeparator);
inline long double ParseRegionNumberOrThrow(std::string_view text, char decimalSeparator)
{
    return ParseRegionNumberOrThrow(text, std::string_view(&decimalSeparator, 1));
}

// The decimal separator of the user's locale in UTF-8, the one the region
// labels are written and read with ("." if the locale names none).
std::string SystemDecimalSeparator();

} // namespace window
