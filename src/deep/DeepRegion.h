// A view region of any depth as exact decimal texts, and the formula a deep picture iterates.
#pragma once

#include <stdexcept>
#include <string>


namespace deep {

// The iteration the deep engine runs: the level-set count (z := z^2 + c
// from 0) or the Julia count (z := z^2 + c from the pixel, c the window's
// extended constant).
enum class Formula { LevelSet, Julia };

struct FormulaParams {
    Formula formula = Formula::LevelSet;
    long double juliaX = 0.0L;
    long double juliaY = 0.0L;
    int limit = 200;
};

// Decimal texts kept as typed, so a view file gives them back byte for byte.
// An empty height means square pixels.
struct DeepRegion {
    std::string centerX, centerY, width, height;

    bool operator==(const DeepRegion&) const = default;
};

// A region the deep engine cannot draw; what() is one line for the user.
class RegionError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// True for [+-]digits[.digits][e[+-]digits] with at least one digit in the
// mantissa (a leading or trailing point is allowed: ".5", "5.").
bool IsDecimal(const std::string& text);

// A decimal above 0 (as an extent must be).
bool IsPositiveDecimal(const std::string& text);

// The exact decimal of an extended value (every binary fraction has one).
std::string ExactDecimal(long double value);

} // namespace deep
