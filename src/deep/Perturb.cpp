// Per-pixel perturbation with rebasing and skipped runs, and rows on the shared pool.
#include "deep/Perturb.h"

#include <cmath>
#include <vector>

namespace deep {

namespace {

// |x| + |y|: never below the modulus and never off by more than a factor
// √2, and unlike a sum of squares it does not underflow for the deltas of
// the deepest pictures.
inline long double Size(long double x, long double y) { return std::fabs(x) + std::fabs(y); }

constexpr int kRetrySteps = 32;

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
    int m = 0, retry = 0;
    std::int32_t n = 0;
    while (n < limit) {
        int steps = 0;
        long double nx, ny;
        // Runs start at multiples of their length, so most indices have none.
        // A failed lookup is not repeated for a while: the delta is then
        // mostly growing away from the reference, and the lookups would
        // cost more than the steps they could skip.
        const Bla* run = nullptr;
        if (m >= retry && (m & ((1 << Orbit::kFirstLevel) - 1)) == 0) {
            run = orbit->Find(m, Size(zx, zy), limit - n, steps);
            if (!run)
                retry = m + kRetrySteps;
        }
        if (run) {
            nx = (run->a.x * zx - run->a.y * zy) + (run->b.x * cx - run->b.y * cy);
            ny = (run->a.x * zy + run->a.y * zx) + (run->b.x * cy + run->b.y * cx);
            if (stats)
                stats->skipped += static_cast<std::uint64_t>(steps);
        } else {
            // z' = (2 Z + z) z + dc, the exact difference of two orbits.
            const long double ax = 2.0L * z[m].x + zx;
            const long double ay = 2.0L * z[m].y + zy;
            nx = (ax * zx - ay * zy) + cx;
            ny = (ax * zy + ay * zx) + cy;
            steps = 1;
            if (stats)
                ++stats->steps;
        }
        zx = nx;
        zy = ny;
        m += steps;
        n += steps;
        const long double fx = z[m].x + zx;
        const long double fy = z[m].y + zy;
        if constexpr (F == Formula::LevelSet) {
            if (!(fx * fx + fy * fy < 10000.0L))
                break;
        } else {
            if (!(std::fabs(fx + fy) < 25.5L))
                break;
        }
        // Rebasing: once the pixel is nearer the orbit's start than the
        // reference point it follows, or the reference has ended, carry on
        // from the start with the whole value as the delta. Both orbits start
        // at the critical point 0 (the Julia count moves to its critical
        // orbit), where precision is lost otherwise.
        if (m == last || Size(fx, fy) < Size(zx, zy)) {
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
