// Reference orbits in MPFR, rounded to extended, with their bilinear-approximation tables.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "deep/Mapping.h"

namespace deep {

struct Complex {
    long double x = 0.0L, y = 0.0L;
};

// Over a run of steps from reference index m a small delta z maps to
// A·z + B·dc (dc the pixel's offset from the reference point) while
// |z| < r; past r the neglected z² terms could matter.
struct Bla {
    Complex a, b;
    long double r = 0.0L;
};

// An extended number as the exact sum of two doubles: the x87 loads a double
// in one cheap operation and an 80-bit number in several slow ones.
struct SplitComplex {
    double xHigh = 0.0, xLow = 0.0, yHigh = 0.0, yLow = 0.0;
    // A delta with |x| + |y| below this, added to this iterate, can neither
    // be nearer 0 than the delta itself (no rebase) nor meet the escape
    // test: both tests of a single step are then settled by one comparison.
    float calm = 0.0f;
    // At least the radius of the shortest run of the tables starting here
    // (0 where none starts): a delta of |x| + |y| not below it finds no run,
    // without the lookup.
    float run = 0.0f;
};

// A float at most / at least x (x >= 0, not a NaN; beyond the floats the
// largest float / infinity).
float FloatBelow(long double x);
float FloatAbove(long double x);

// x as high + low, both doubles; false (and the parts meaningless) when no
// such exact sum exists: beyond the range of doubles, or a low part that
// would be subnormal.
bool SplitExactly(long double x, double& high, double& low);

// One orbit Z_0 ... Z_last of z := z^2 + c, and runs of 2^k steps (k >= 2)
// starting at multiples of 2^k, each table level halving the last.
struct Orbit {
    std::vector<Complex> z;
    std::vector<std::vector<Bla>> levels; // levels[k - kFirstLevel]
    // The same Z_n as sums of two doubles, or empty when one of them has no
    // such exact form (an iterate so small that its low part is subnormal).
    std::vector<SplitComplex> split;

    static constexpr int kFirstLevel = 2;
    int Last() const { return static_cast<int>(z.size()) - 1; }
    // The longest run that starts at index m, is valid for delta size
    // `size` (an upper bound of |z|) and takes at most `room` steps; null
    // when none.
    const Bla* Find(int m, long double size, int room, int& steps) const;
};

// What a picture iterates against: for the level-set count the orbit of
// the reference point from 0; for the Julia count the orbit of the
// reference point and the critical orbit (from 0), onto which pixels
// rebase. Shared read-only by every row of every picture that uses it.
class Reference {
public:
    // The orbit of the mapping's centre, computed at its precision plus a
    // guard, for at most params.limit steps. `radius` bounds |dc| for the
    // approximation tables (the mapping's radius when 0). `stopped`, when
    // given, is asked every few hundred steps of the orbits; once it says
    // yes the construction throws Stopped.
    Reference(const Mapping& mapping, const FormulaParams& params, long double radius = 0.0L,
              const std::function<bool()>& stopped = {});

    const FormulaParams& Params() const { return params_; }
    mpfr_prec_t Bits() const { return bits_; }
    long double RadiusBound() const { return radius_; }
    const Mpfr& PointX() const { return px_; }
    const Mpfr& PointY() const { return py_; }
    const Orbit& Main() const { return main_; }
    // The Julia count's critical orbit (empty for the level-set count).
    const Orbit& Critical() const { return critical_; }

    // The offset of a mapping's centre from the reference point, so that
    // pixel (j, i) lies at dc = offset + (OffsetX(j), OffsetY(i)).
    Complex OffsetOf(const Mapping& mapping) const;
    // Whether this reference can serve a picture of that mapping: same
    // formula and limit, enough precision, its centre close enough and its
    // pixels within the table's bound.
    bool Serves(const Mapping& mapping, const FormulaParams& params) const;
    // Whether this is the very reference a new one for that mapping would
    // be (same point, precision, radius and formula): a picture drawn
    // against it is the picture a new reference gives.
    bool SameAsNew(const Mapping& mapping, const FormulaParams& params) const;
    // Bytes held by the orbits and tables.
    std::size_t Bytes() const;

private:
    FormulaParams params_;
    mpfr_prec_t bits_;
    long double radius_;
    Mpfr px_, py_;
    Orbit main_, critical_;
};

// A reference whose construction was asked to stop.
class Stopped : public std::runtime_error {
public:
    Stopped() : std::runtime_error("reference orbit stopped") {}
};

// Relative size of the neglected term against the kept one in a valid
// run: the extended format's own rounding unit.
inline constexpr long double kBlaEpsilon = 0x1p-64L;

} // namespace deep
