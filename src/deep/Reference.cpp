// The reference orbits in MPFR and the tables of runs that a small delta may skip.
#include "deep/Reference.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace deep {

namespace {

// Bits beyond the depth's own, so that the rounding of the orbit stays far
// below the pixels' deltas for as long as the pixels follow it.
constexpr mpfr_prec_t kGuardBits = 32;

long double Magnitude(const Complex& v) { return std::hypot(v.x, v.y); }

Complex Mul(const Complex& p, const Complex& q) { return {p.x * q.x - p.y * q.y, p.x * q.y + p.y * q.x}; }

Complex Add(const Complex& p, const Complex& q) { return {p.x + q.x, p.y + q.y}; }

// The escape test of the count on an iterate: the level-set count stops at
// |z|^2 >= 10000, the Julia count at |x + y| >= 25.5; anything not finite
// stops both.
bool Escapes(Formula formula, long double x, long double y)
{
    if (formula == Formula::LevelSet)
        return !(x * x + y * y < 10000.0L);
    return !(std::fabs(x + y) < 25.5L);
}

// An iterate close enough to the escape test that a skipped run must not
// step over it: the run could hide the step at which a pixel escapes.
bool NearEscape(Formula formula, const Complex& v)
{
    if (formula == Formula::LevelSet)
        return !(v.x * v.x + v.y * v.y < 2500.0L);
    return !(std::fabs(v.x + v.y) < 12.75L) || !(std::fabs(v.x) + std::fabs(v.y) < 1e100L);
}

// Iterates z := z^2 + c from (x, y) in MPFR, keeping each iterate in
// extended, until the escape test stops it or `limit` steps are done.
// A step costs a few multiplications at the depth's precision: asking this
// often keeps a stop prompt at any depth and costs nothing next to them.
constexpr int kStepsBetweenStopChecks = 256;

std::vector<Complex> Iterate(Formula formula, Mpfr& x, Mpfr& y, const Mpfr& cx, const Mpfr& cy, int limit,
                             const std::function<bool()>& stopped)
{
    const mpfr_prec_t bits = x.bits();
    Mpfr xx(bits), yy(bits), xy(bits);
    std::vector<Complex> orbit;
    orbit.push_back({mpfr_get_ld(x.get(), MPFR_RNDN), mpfr_get_ld(y.get(), MPFR_RNDN)});
    for (int n = 0; n < limit; ++n) {
        if (stopped && n % kStepsBetweenStopChecks == 0 && stopped())
            throw Stopped();
        mpfr_sqr(xx.get(), x.get(), MPFR_RNDN);
        mpfr_sqr(yy.get(), y.get(), MPFR_RNDN);
        mpfr_mul(xy.get(), x.get(), y.get(), MPFR_RNDN);
        mpfr_sub(x.get(), xx.get(), yy.get(), MPFR_RNDN);
        mpfr_add(x.get(), x.get(), cx.get(), MPFR_RNDN);
        mpfr_mul_2ui(y.get(), xy.get(), 1, MPFR_RNDN);
        mpfr_add(y.get(), y.get(), cy.get(), MPFR_RNDN);
        const Complex v{mpfr_get_ld(x.get(), MPFR_RNDN), mpfr_get_ld(y.get(), MPFR_RNDN)};
        orbit.push_back(v);
        if (Escapes(formula, v.x, v.y))
            break;
    }
    return orbit;
}

// Run x, then run y: z -> A_y (A_x z + B_x dc) + B_y dc. It is valid while
// |z| < r_x and the delta entering y, at most |A_x| |z| + |B_x| |dc|,
// stays below r_y.
Bla Merge(const Bla& x, const Bla& y, long double radius)
{
    Bla out;
    out.a = Mul(y.a, x.a);
    out.b = Add(Mul(y.a, x.b), y.b);
    const long double ax = Magnitude(x.a);
    long double r = 0.0L;
    if (ax > 0.0L && x.r > 0.0L && y.r > 0.0L)
        r = std::min(x.r, std::max(0.0L, y.r - Magnitude(x.b) * radius) / ax);
    if (!std::isfinite(r) || !std::isfinite(Magnitude(out.a)) || !std::isfinite(Magnitude(out.b)))
        r = 0.0L;
    out.r = r;
    return out;
}

} // namespace

float FloatBelow(long double x)
{
    if (!(x < std::numeric_limits<float>::max()))
        return std::numeric_limits<float>::max();
    float f = static_cast<float>(x);
    if (static_cast<long double>(f) > x)
        f = std::nextafter(f, 0.0f);
    return f;
}

float FloatAbove(long double x)
{
    if (!(x <= std::numeric_limits<float>::max()))
        return std::numeric_limits<float>::infinity();
    float f = static_cast<float>(x);
    if (static_cast<long double>(f) < x)
        f = std::nextafter(f, std::numeric_limits<float>::infinity());
    return f;
}

bool SplitExactly(long double x, double& high, double& low)
{
    if (!(std::fabs(x) <= static_cast<long double>(std::numeric_limits<double>::max())))
        return false;
    high = static_cast<double>(x);
    low = static_cast<double>(x - static_cast<long double>(high));
    return static_cast<long double>(high) + static_cast<long double>(low) == x;
}

namespace {

// With S = |Z.x| + |Z.y| and a delta of size d = |z.x| + |z.y| < S / 2, the
// whole value's size is at least S - d > d: no rebase. Below `inside` - 1 -
// S it is at most S + d, an iterate well inside the bound that no escape
// test can meet. The 2^-40 leaves room for the roundings of S, of d, of the
// whole value and its size (a few units of 2^-64 each) and of the double.
float CalmSize(const Complex& z, long double inside)
{
    const long double size = std::fabs(z.x) + std::fabs(z.y);
    const long double calm = std::min(0.5L * size, inside - 1.0L - size) * (1.0L - 0x1p-40L);
    return calm > 0.0L && std::isfinite(calm) ? FloatBelow(calm) : 0.0f;
}

void BuildSplit(Orbit& orbit, Formula formula)
{
    // The single-step loops' bound below which no iterate can escape.
    const long double inside = formula == Formula::LevelSet ? 99.0L : 25.0L;
    orbit.split.resize(orbit.z.size());
    for (std::size_t n = 0; n < orbit.z.size(); ++n) {
        SplitComplex& s = orbit.split[n];
        if (!SplitExactly(orbit.z[n].x, s.xHigh, s.xLow) || !SplitExactly(orbit.z[n].y, s.yHigh, s.yLow)) {
            orbit.split.clear();
            orbit.split.shrink_to_fit();
            return;
        }
        s.calm = CalmSize(orbit.z[n], inside);
    }
}

void BuildTables(Orbit& orbit, Formula formula, long double radius)
{
    BuildSplit(orbit, formula);
    const int last = orbit.Last();
    const Complex b = formula == Formula::LevelSet ? Complex{1.0L, 0.0L} : Complex{0.0L, 0.0L};
    // One step from index s: z' = 2 Z_s z + z^2 + B dc; the square is
    // negligible while |z| < eps |2 Z_s|.
    auto single = [&](int s) {
        Bla e;
        e.a = {2.0L * orbit.z[s].x, 2.0L * orbit.z[s].y};
        e.b = b;
        const bool stepsOver = NearEscape(formula, orbit.z[s + 1]);
        e.r = stepsOver ? 0.0L : kBlaEpsilon * Magnitude(e.a);
        if (!std::isfinite(e.r))
            e.r = 0.0L;
        return e;
    };
    orbit.levels.clear();
    const int first = last >> Orbit::kFirstLevel;
    if (first == 0)
        return;
    // The first stored level, merged from single steps on the fly: the
    // single steps themselves would take the most room of all.
    auto span = [&](auto& self, int s, int k) -> Bla {
        if (k == 0)
            return single(s);
        return Merge(self(self, s, k - 1), self(self, s + (1 << (k - 1)), k - 1), radius);
    };
    std::vector<Bla> level(static_cast<std::size_t>(first));
    for (int j = 0; j < first; ++j)
        level[static_cast<std::size_t>(j)] = span(span, j << Orbit::kFirstLevel, Orbit::kFirstLevel);
    orbit.levels.push_back(std::move(level));
    for (int k = Orbit::kFirstLevel + 1; (last >> k) > 0; ++k) {
        const std::vector<Bla>& below = orbit.levels.back();
        std::vector<Bla> next(static_cast<std::size_t>(last >> k));
        for (std::size_t j = 0; j < next.size(); ++j)
            next[j] = Merge(below[2 * j], below[2 * j + 1], radius);
        orbit.levels.push_back(std::move(next));
    }
    if (!orbit.split.empty()) {
        const std::vector<Bla>& shortest = orbit.levels.front();
        for (std::size_t j = 0; j < shortest.size(); ++j)
            orbit.split[j << Orbit::kFirstLevel].run = FloatAbove(shortest[j].r);
    }
}

} // namespace

const Bla* Orbit::Find(int m, long double size, int room, int& steps) const
{
    // A run's radius never exceeds that of its first half, so the runs from
    // m are valid up to some length and no further: climb while they are.
    const Bla* best = nullptr;
    const int top = kFirstLevel + static_cast<int>(levels.size()) - 1;
    for (int k = kFirstLevel; k <= top && (m & ((1 << k) - 1)) == 0 && (1 << k) <= room; ++k) {
        const std::vector<Bla>& level = levels[static_cast<std::size_t>(k - kFirstLevel)];
        const std::size_t j = static_cast<std::size_t>(m >> k);
        if (j >= level.size() || !(size < level[j].r))
            break;
        best = &level[j];
        steps = 1 << k;
    }
    return best;
}

Reference::Reference(const Mapping& mapping, const FormulaParams& params, long double radius,
                     const std::function<bool()>& stopped)
    : params_(params), bits_(mapping.Bits() + kGuardBits), radius_(radius > 0.0L ? radius : mapping.Radius()),
      px_(bits_), py_(bits_)
{
    mpfr_set(px_.get(), mapping.CenterX().get(), MPFR_RNDN);
    mpfr_set(py_.get(), mapping.CenterY().get(), MPFR_RNDN);
    const int limit = std::max(1, params.limit);
    Mpfr x(bits_), y(bits_);
    if (params.formula == Formula::LevelSet) {
        main_.z = Iterate(params.formula, x, y, px_, py_, limit, stopped);
        BuildTables(main_, params.formula, radius_);
        return;
    }
    Mpfr cx(bits_), cy(bits_);
    mpfr_set_ld(cx.get(), params.juliaX, MPFR_RNDN);
    mpfr_set_ld(cy.get(), params.juliaY, MPFR_RNDN);
    mpfr_set(x.get(), px_.get(), MPFR_RNDN);
    mpfr_set(y.get(), py_.get(), MPFR_RNDN);
    main_.z = Iterate(params.formula, x, y, cx, cy, limit, stopped);
    BuildTables(main_, params.formula, radius_);
    mpfr_set_zero(x.get(), 1);
    mpfr_set_zero(y.get(), 1);
    critical_.z = Iterate(params.formula, x, y, cx, cy, limit, stopped);
    BuildTables(critical_, params.formula, radius_);
}

Complex Reference::OffsetOf(const Mapping& mapping) const
{
    const mpfr_prec_t bits = std::max(bits_, mapping.Bits());
    Mpfr d(bits);
    Complex offset;
    mpfr_sub(d.get(), mapping.CenterX().get(), px_.get(), MPFR_RNDN);
    offset.x = mpfr_get_ld(d.get(), MPFR_RNDN);
    mpfr_sub(d.get(), mapping.CenterY().get(), py_.get(), MPFR_RNDN);
    offset.y = mpfr_get_ld(d.get(), MPFR_RNDN);
    return offset;
}

bool Reference::Serves(const Mapping& mapping, const FormulaParams& params) const
{
    // Half the guard may go: a movie zooms 2^16 times into one reference.
    if (params.formula != params_.formula || params.limit != params_.limit ||
        mapping.Bits() + kGuardBits / 2 > bits_)
        return false;
    if (params.formula == Formula::Julia && (params.juliaX != params_.juliaX || params.juliaY != params_.juliaY))
        return false;
    const Complex offset = OffsetOf(mapping);
    const long double distance = Magnitude(offset);
    // The offset is rounded to extended: far from the reference point its
    // rounding would move pixels by a visible fraction of their spacing.
    const long double spacing = std::min(std::fabs(mapping.OffsetX(1) - mapping.OffsetX(0)),
                                         std::fabs(mapping.OffsetY(1) - mapping.OffsetY(0)));
    return distance + mapping.Radius() <= radius_ && distance <= 0x1p24L * spacing;
}

bool Reference::SameAsNew(const Mapping& mapping, const FormulaParams& params) const
{
    if (params.formula != params_.formula || params.limit != params_.limit || mapping.Bits() + kGuardBits != bits_ ||
        mapping.Radius() != radius_)
        return false;
    if (params.formula == Formula::Julia && (params.juliaX != params_.juliaX || params.juliaY != params_.juliaY))
        return false;
    return mpfr_equal_p(mapping.CenterX().get(), px_.get()) != 0 && mpfr_equal_p(mapping.CenterY().get(), py_.get()) != 0;
}

std::size_t Reference::Bytes() const
{
    std::size_t bytes = 0;
    for (const Orbit* o : {&main_, &critical_}) {
        bytes += o->z.capacity() * sizeof(Complex);
        bytes += o->split.capacity() * sizeof(SplitComplex);
        for (const auto& level : o->levels)
            bytes += level.capacity() * sizeof(Bla);
    }
    return bytes;
}

} // namespace deep
