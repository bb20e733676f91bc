// The picture mapping of a deep region: exact centre in MPFR, pixel offsets in extended.
#pragma once

#include "deep/DeepRegion.h"
#include "deep/Mpfr.h"

#include <cstddef>
#include <string>

namespace deep {

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

// A decimal of `digits` significant digits, "[-]0.DIGITSe<exponent>", that
// reads back as a deep region's text.
std::string DecimalText(const Mpfr& value, std::size_t digits);

// Pictures whose pixel spacing is below this need offsets under the
// smallest normal extended numbers.
inline constexpr long double kFinestSpacing = 1e-4800L;

} // namespace deep
