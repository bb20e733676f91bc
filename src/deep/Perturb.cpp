// Per-pixel perturbation with rebasing and skipped runs, and rows on the shared pool.
#include "deep/Perturb.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace deep {

namespace {

// |x| + |y|: never below the modulus and never off by more than a factor
// √2, and unlike a sum of squares it does not underflow for the deltas of
// the deepest pictures.
inline long double Size(long double x, long double y) { return std::fabs(x) + std::fabs(y); }

constexpr int kRetrySteps = 32;
constexpr int kRunAlign = 1 << Orbit::kFirstLevel;

template <Formula F>
inline bool Escaped(long double fx, long double fy)
{
    if constexpr (F == Formula::LevelSet)
        return !(fx * fx + fy * fy < 10000.0L);
    else
        return !(std::fabs(fx + fy) < 25.5L);
}

// Out of line so that the single-step loop keeps no whole value alive in
// its registers for the rare case that needs one.
template <Formula F>
[[gnu::noinline]] bool EscapedAt(const Complex& reference, long double zx, long double zy)
{
    return Escaped<F>(reference.x + zx, reference.y + zy);
}

// Below this |x| + |y| no iterate can meet the escape test: 99^2 and a few
// roundings stay under 10000, and |x + y| never exceeds |x| + |y|.
template <Formula F>
constexpr long double SureInside()
{
    return F == Formula::LevelSet ? 99.0L : 25.0L;
}

// Z_n as the loop reads them: extended numbers, or the exact sums of two
// doubles that cost the x87 far less to load.
struct Wide {
    const Complex* z;
    long double X(int n) const { return z[n].x; }
    long double Y(int n) const { return z[n].y; }
};
struct Narrow {
    const SplitComplex* z;
    long double X(int n) const { return static_cast<long double>(z[n].xHigh) + z[n].xLow; }
    long double Y(int n) const { return static_cast<long double>(z[n].yHigh) + z[n].yLow; }
};

// The pixel's dc as the loop reads it. Held in extended, the compiler keeps
// it in 80-bit spill slots and reloads it at every step; as two exact
// doubles reread at every step (the empty asm keeps them from being summed
// once and spilled again) it costs two cheap loads and an addition.
struct WideOffset {
    long double x, y;
    long double X() const { return x; }
    long double Y() const { return y; }
};
struct NarrowOffset {
    double xHigh, xLow, yHigh, yLow;
    long double X()
    {
        asm("" : "+m"(xHigh), "+m"(xLow));
        return static_cast<long double>(xHigh) + xLow;
    }
    long double Y()
    {
        asm("" : "+m"(yHigh), "+m"(yLow));
        return static_cast<long double>(yHigh) + yLow;
    }
};

// Single steps from m until index `end`, an escape or a rebase; returns the
// index reached. Kept free of everything else, since where pixels leave the
// reference this loop is where their time goes.
template <Formula F, class Iterates, class Offset>
[[gnu::always_inline]] inline int SingleSteps(const Iterates& z, int m, int end, long double& zxOut, long double& zyOut,
                                              Offset c, bool& escaped, bool& rebase)
{
    long double zx = zxOut, zy = zyOut;
    for (;;) {
        const long double cx = c.X();
        const long double cy = c.Y();
        // z' = (2 Z + z) z + dc, the exact difference of two orbits.
        const long double ax = 2.0L * z.X(m) + zx;
        const long double ay = 2.0L * z.Y(m) + zy;
        const long double nx = (ax * zx - ay * zy) + cx;
        const long double ny = (ax * zy + ay * zx) + cy;
        zx = nx;
        zy = ny;
        ++m;
        // The size of the whole value alone settles both tests while it is
        // well inside the escape bound, which keeps the loop in the x87's
        // eight registers.
        const long double size = Size(z.X(m) + zx, z.Y(m) + zy);
        if (!(size < SureInside<F>()) && EscapedAt<F>(Complex{z.X(m), z.Y(m)}, zx, zy)) {
            escaped = true;
            break;
        }
        if (size < Size(zx, zy)) {
            rebase = true;
            break;
        }
        if (m == end)
            break;
    }
    zxOut = zx;
    zyOut = zy;
    return m;
}

// The Julia count starts from the pixel and has no dc term in its step; the
// level-set count starts from 0 and adds dc at each step.
template <Formula F>
std::int32_t Run(const Reference& reference, Complex dc, RowStats* stats)
{
    const int limit = reference.Params().limit;
    const Orbit* orbit = &reference.Main();
    const Complex* z = orbit->z.data();
    int last = orbit->Last();
    long double zx = 0.0L, zy = 0.0L, cx = dc.x, cy = dc.y;
    if constexpr (F == Formula::Julia) {
        zx = dc.x;
        zy = dc.y;
        cx = 0.0L;
        cy = 0.0L;
    }
    NarrowOffset narrowC{};
    const bool splitC = SplitExactly(cx, narrowC.xHigh, narrowC.xLow) && SplitExactly(cy, narrowC.yHigh, narrowC.yLow);
    int m = 0, retry = 0;
    std::int32_t n = 0;
    while (n < limit) {
        bool rebase = false;
        long double fx = 0.0L, fy = 0.0L;
        // Runs start at multiples of their length, so most indices have none.
        // A failed lookup is not repeated for a while: the delta is then
        // mostly growing away from the reference, and the lookups would
        // cost more than the steps they could skip.
        if (m >= retry && (m & (kRunAlign - 1)) == 0) {
            int steps = 0;
            const Bla* run = orbit->Find(m, Size(zx, zy), limit - n, steps);
            if (run) {
                const long double nx = (run->a.x * zx - run->a.y * zy) + (run->b.x * cx - run->b.y * cy);
                const long double ny = (run->a.x * zy + run->a.y * zx) + (run->b.x * cy + run->b.y * cx);
                zx = nx;
                zy = ny;
                m += steps;
                n += steps;
                if (stats)
                    stats->skipped += static_cast<std::uint64_t>(steps);
                fx = z[m].x + zx;
                fy = z[m].y + zy;
                if (Escaped<F>(fx, fy))
                    break;
                rebase = m == last || Size(fx, fy) < Size(zx, zy);
                if (!rebase)
                    continue;
            } else {
                retry = m + kRetrySteps;
            }
        }
        if (!rebase) {
            // Single steps up to the next index where a lookup is due, the
            // reference's end or the limit, whichever comes first.
            const int due = m < retry ? retry : (m | (kRunAlign - 1)) + 1;
            const int end = std::min(std::min(due, last), m + (limit - n));
            const int first = m;
            bool escaped = false;
            if (orbit->split.empty())
                m = SingleSteps<F>(Wide{z}, m, end, zx, zy, WideOffset{cx, cy}, escaped, rebase);
            else if (splitC)
                m = SingleSteps<F>(Narrow{orbit->split.data()}, m, end, zx, zy, narrowC, escaped, rebase);
            else
                m = SingleSteps<F>(Narrow{orbit->split.data()}, m, end, zx, zy, WideOffset{cx, cy}, escaped, rebase);
            n += m - first;
            if (stats)
                stats->steps += static_cast<std::uint64_t>(m - first);
            if (escaped)
                break;
            if (m == last)
                rebase = true;
            if (!rebase)
                continue;
            fx = z[m].x + zx;
            fy = z[m].y + zy;
        }
        // Rebasing: once the pixel is nearer the orbit's start than the
        // reference point it follows, or the reference has ended, carry on
        // from the start with the whole value as the delta. Both orbits start
        // at the critical point 0 (the Julia count moves to its critical
        // orbit), where precision is lost otherwise.
        if constexpr (F == Formula::Julia) {
            orbit = &reference.Critical();
            z = orbit->z.data();
            last = orbit->Last();
        }
        zx = fx;
        zy = fy;
        m = 0;
        retry = 0;
        if (stats)
            ++stats->rebases;
    }
    return n;
}

} // namespace

std::int32_t Count(const Reference& reference, Complex dc)
{
    if (reference.Params().formula == Formula::LevelSet)
        return Run<Formula::LevelSet>(reference, dc, nullptr);
    return Run<Formula::Julia>(reference, dc, nullptr);
}

std::int32_t Count(const Reference& reference, Complex dc, RowStats& stats)
{
    if (reference.Params().formula == Formula::LevelSet)
        return Run<Formula::LevelSet>(reference, dc, &stats);
    return Run<Formula::Julia>(reference, dc, &stats);
}

void CountRow(const Reference& reference, const Mapping& mapping, int row, std::int32_t* out)
{
    const Complex offset = reference.OffsetOf(mapping);
    const long double dy = offset.y + mapping.OffsetY(row);
    for (int j = 0; j < mapping.Width(); ++j)
        out[j] = Count(reference, Complex{offset.x + mapping.OffsetX(j), dy});
}

void CellRow(const Reference& reference, const Mapping& mapping, int row, std::uint8_t* out)
{
    std::vector<std::int32_t> counts(static_cast<std::size_t>(mapping.Width()));
    CountRow(reference, mapping, row, counts.data());
    for (std::size_t j = 0; j < counts.size(); ++j)
        out[j] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(counts[j]) & 0xFFu);
}

bool ComputeRows(const Reference& reference, const Mapping& mapping, int firstRow, int lastRow, const RowSink& sink,
                 const std::atomic<bool>* cancel, engine::RowPool& pool, engine::RowPool::Priority priority)
{
    engine::RowStream stream(
        mapping.Width(), firstRow, lastRow,
        [&reference, &mapping](int row, std::uint8_t* out) { CellRow(reference, mapping, row, out); }, 0, pool,
        priority);
    std::vector<std::uint8_t> cells(static_cast<std::size_t>(mapping.Width()));
    for (int row = firstRow; row < lastRow; ++row) {
        if (cancel && cancel->load(std::memory_order_relaxed))
            return false;
        stream.TakeRow(row, cells.data());
        sink(row, cells.data());
    }
    return true;
}

} // namespace deep
