// A view region of any depth: an exact decimal centre and extents, and its picture mapping.
#pragma once

#include <stdexcept>
#include <string>

#include "deep/Mpfr.h"

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

// The exact decimal of an extended value (every binary fraction has one).
std::string ExactDecimal(long double value);

// Pixel (column j, row i) of a W x H picture is
//   (cx + (j - (W-1)/2) * width/(W-1),  cy + (i - (H-1)/2) * height/(H-1)),
// row 0 holding the smallest y. The centre is kept in MPFR at Bits(); the
// offsets from it, tiny next to the centre, fit extended numbers.
class Mapping {
public:
    // Throws RegionError for a text that is not a decimal, an extent <= 0,
    // a side below 2, or a pixel spacing too fine for extended offsets.
    Mapping(const DeepRegion& region, int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Bits of 1 / (pixel spacing) plus those of the centre's integer part,
    // plus 64: the precision the depth needs.
    mpfr_prec_t Bits() const { return bits_; }
    const Mpfr& CenterX() const { return cx_; }
    const Mpfr& CenterY() const { return cy_; }
    const Mpfr& StepX() const { return stepX_; }
    const Mpfr& StepY() const { return stepY_; }

    long double OffsetX(int column) const;
    long double OffsetY(int row) const;
    // The largest distance of a pixel from the centre.
    long double Radius() const;
    // The exact point of a pixel at `bits` (for direct iteration).
    void Point(int column, int row, Mpfr& x, Mpfr& y) const;

private:
    int width_, height_;
    mpfr_prec_t bits_;
    Mpfr cx_, cy_, stepX_, stepY_;
    long double stepXd_, stepYd_;
};

// Pictures whose pixel spacing is below this need offsets under the
// smallest normal extended numbers.
inline constexpr long double kFinestSpacing = 1e-4800L;

} // namespace deep
