// Per-pixel perturbation with rebasing and skipped runs, and rows on the shared pool.
#include "deep/Perturb.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "deep/PairSteps.h"

namespace deep {

namespace {

// |x| + |y|: never below the modulus and never off by more than a factor
// √2, and unlike a sum of squares it does not underflow for the deltas of
// the deepest pictures.
inline long double Size(long double x, long double y) { return std::fabs(x) + std::fabs(y); }

constexpr int kRetrySteps = kLookupRetry;
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
    static constexpr bool kCalm = false;
    const Complex* z;
    long double X(int n) const { return z[n].x; }
    long double Y(int n) const { return z[n].y; }
};
struct Narrow {
    static constexpr bool kCalm = true;
    const SplitComplex* z;
    long double X(int n) const { return static_cast<long double>(z[n].xHigh) + z[n].xLow; }
    long double Y(int n) const { return static_cast<long double>(z[n].yHigh) + z[n].yLow; }
    double Calm(int n) const { return z[n].calm; }
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
        const long double delta = Size(zx, zy);
        // A delta small against Z_m settles both tests without the whole
        // value (see SplitComplex::calm).
        if constexpr (Iterates::kCalm) {
            if (delta < z.Calm(m)) {
                if (m == end)
                    break;
                continue;
            }
        }
        // The size of the whole value alone settles both tests while it is
        // well inside the escape bound, which keeps the loop in the x87's
        // eight registers.
        const long double size = Size(z.X(m) + zx, z.Y(m) + zy);
        if (!(size < SureInside<F>()) && EscapedAt<F>(Complex{z.X(m), z.Y(m)}, zx, zy)) {
            escaped = true;
            break;
        }
        if (size < delta) {
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

// One pixel's count as a walk along the reference: lookups of skipped runs
// and rebases here, the single steps between them taken by the caller
// (alone, or beside another pixel in the x87 registers), so that the count
// comes out the same either way. The Julia count starts from the pixel and
// has no dc term in its step; the level-set count starts from 0 and adds dc
// at each step.
template <Formula F>
class Walk {
public:
    Walk(const Reference& reference, Complex dc, RowStats* stats)
        : reference_(reference), stats_(stats), limit_(reference.Params().limit), orbit_(&reference.Main()),
          last_(orbit_->Last())
    {
        if constexpr (F == Formula::Julia) {
            zx = dc.x;
            zy = dc.y;
        } else {
            cx = dc.x;
            cy = dc.y;
        }
        splitC_ = SplitExactly(cx, narrowC_.xHigh, narrowC_.xLow) && SplitExactly(cy, narrowC_.yHigh, narrowC_.yLow);
    }

    // Lookups and rebases until single steps from m to End() are due
    // (true), or the count is final (false, and from then on).
    bool Due()
    {
        const Complex* z = orbit_->z.data();
        while (!done_ && n_ < limit_) {
            // Runs start at multiples of their length, so most indices have
            // none. A failed lookup is not repeated for a while: the delta is
            // then mostly growing away from the reference, and the lookups
            // would cost more than the steps they could skip.
            if (m_ >= retry_ && (m_ & (kRunAlign - 1)) == 0) {
                int steps = 0;
                const Bla* run = orbit_->Find(m_, Size(zx, zy), limit_ - n_, steps);
                if (run) {
                    const long double nx = (run->a.x * zx - run->a.y * zy) + (run->b.x * cx - run->b.y * cy);
                    const long double ny = (run->a.x * zy + run->a.y * zx) + (run->b.x * cy + run->b.y * cx);
                    zx = nx;
                    zy = ny;
                    m_ += steps;
                    n_ += steps;
                    if (stats_)
                        stats_->skipped += static_cast<std::uint64_t>(steps);
                    const long double fx = z[m_].x + zx;
                    const long double fy = z[m_].y + zy;
                    if (Escaped<F>(fx, fy)) {
                        done_ = true;
                        break;
                    }
                    if (m_ == last_ || Size(fx, fy) < Size(zx, zy)) {
                        Rebase(fx, fy);
                        z = orbit_->z.data();
                    }
                    continue;
                }
                retry_ = m_ + kRetrySteps;
            }
            // Single steps up to the next index where a lookup is due, the
            // reference's end or the limit, whichever comes first.
            const int due = m_ < retry_ ? retry_ : (m_ | (kRunAlign - 1)) + 1;
            hardEnd_ = std::min(last_, m_ + (limit_ - n_));
            end_ = std::min(due, hardEnd_);
            return true;
        }
        return false;
    }

    // Single steps taken from m up to `reached`, the delta now zx, zy.
    void Stepped(int reached)
    {
        n_ += reached - m_;
        if (stats_)
            stats_->steps += static_cast<std::uint64_t>(reached - m_);
        m_ = reached;
    }

    // After the single steps stopped at m: an escape ends the count;
    // otherwise the pixel rebases when the steps found it nearer the start
    // or the reference has ended. The caller asks Due() next.
    bool Stopped(bool escaped, bool rebase)
    {
        if (escaped) {
            done_ = true;
            return false;
        }
        if (rebase || m_ == last_)
            Rebase(orbit_->z[m_].x + zx, orbit_->z[m_].y + zy);
        return true;
    }

    // Single steps alone, then the rest of the count.
    std::int32_t Finish()
    {
        while (Due()) {
            bool escaped = false, rebase = false;
            int reached = m_;
            if (orbit_->split.empty())
                reached = SingleSteps<F>(Wide{orbit_->z.data()}, m_, end_, zx, zy, WideOffset{cx, cy}, escaped, rebase);
            else if (splitC_)
                reached = SingleSteps<F>(Narrow{orbit_->split.data()}, m_, end_, zx, zy, narrowC_, escaped, rebase);
            else
                reached = SingleSteps<F>(Narrow{orbit_->split.data()}, m_, end_, zx, zy, WideOffset{cx, cy}, escaped,
                                         rebase);
            Stepped(reached);
            if (!Stopped(escaped, rebase))
                break;
        }
        return n_;
    }

    std::int32_t Count() const { return n_; }
    int M() const { return m_; }
    int End() const { return end_; }
    // Where single steps must end whatever the lookups find: the
    // reference's end or the limit.
    int HardEnd() const { return hardEnd_; }
    const Orbit& Along() const { return *orbit_; }

    long double zx = 0.0L, zy = 0.0L, cx = 0.0L, cy = 0.0L;

private:
    // Rebasing: once the pixel is nearer the orbit's start than the
    // reference point it follows, or the reference has ended, carry on from
    // the start with the whole value as the delta. Both orbits start at the
    // critical point 0 (the Julia count moves to its critical orbit), where
    // precision is lost otherwise.
    void Rebase(long double fx, long double fy)
    {
        if constexpr (F == Formula::Julia) {
            orbit_ = &reference_.Critical();
            last_ = orbit_->Last();
        }
        zx = fx;
        zy = fy;
        m_ = 0;
        retry_ = 0;
        if (stats_)
            ++stats_->rebases;
    }

    const Reference& reference_;
    RowStats* stats_;
    int limit_;
    const Orbit* orbit_;
    int last_;
    NarrowOffset narrowC_{};
    bool splitC_ = false;
    bool done_ = false;
    int m_ = 0, retry_ = 0, end_ = 0, hardEnd_ = 0;
    std::int32_t n_ = 0;
};

template <Formula F>
std::int32_t Run(const Reference& reference, Complex dc, RowStats* stats)
{
    Walk<F> walk(reference, dc, stats);
    return walk.Finish();
}

// A row two pixels at a time: whenever one of them stops (a lookup is due,
// it rebases, it may escape) it is served alone and goes back beside the
// other, or the next pixel of the row takes its place.
template <Formula F>
void PairRow(const Reference& reference, const Complex& offset, const Mapping& mapping, long double dy,
             std::int32_t* out)
{
    const int width = mapping.Width();
    std::optional<Walk<F>> walks[2];
    int column[2] = {-1, -1};
    int next = 0;
    PairSteps pair;
    pair.inside = static_cast<float>(SureInside<F>());
    // Gives lane k its next pixel that needs single steps; false when the
    // row has none left.
    auto fill = [&](int k) {
        while (next < width) {
            const int j = next++;
            walks[k].emplace(reference, Complex{offset.x + mapping.OffsetX(j), dy}, nullptr);
            if (walks[k]->Due()) {
                column[k] = j;
                return true;
            }
            out[j] = walks[k]->Count();
        }
        walks[k].reset();
        return false;
    };
    auto load = [&](int k) {
        Walk<F>& w = *walks[k];
        const SplitComplex* split = w.Along().split.data();
        // A lookup is due at End() unless that is the hard end.
        pair.lane[k] = {split + w.M(), split + w.HardEnd(), split + w.End(), w.zx, w.zy, w.cx, w.cy};
    };
    if (!fill(0))
        return;
    if (!fill(1)) {
        out[column[0]] = walks[0]->Finish();
        return;
    }
    load(0);
    load(1);
    for (;;) {
        const PairResult r = StepPair(pair);
        for (int k = 0; k < 2; ++k) {
            Walk<F>& w = *walks[k];
            w.zx = pair.lane[k].x;
            w.zy = pair.lane[k].y;
            w.Stepped(static_cast<int>(pair.lane[k].at - w.Along().split.data()));
        }
        const int k = r.lane;
        Walk<F>& w = *walks[k];
        bool going = true;
        if (r.stop == PairStop::MayEscape) {
            const Complex& at = w.Along().z[static_cast<std::size_t>(w.M())];
            if (EscapedAt<F>(at, w.zx, w.zy))
                going = w.Stopped(true, false);
            else if (Size(at.x + w.zx, at.y + w.zy) < Size(w.zx, w.zy))
                going = w.Stopped(false, true);
            else if (pair.lane[k].at == pair.lane[k].end || pair.lane[k].at == pair.lane[k].look)
                going = w.Stopped(false, false);
            else
                continue;
        } else {
            going = w.Stopped(false, r.stop == PairStop::Rebase);
        }
        if (going && w.Due() && !w.Along().split.empty()) {
            load(k);
            continue;
        }
        if (going)
            w.Finish();
        out[column[k]] = w.Count();
        if (fill(k)) {
            load(k);
            continue;
        }
        // The row's last pixel finishes alone.
        out[column[1 - k]] = walks[1 - k]->Finish();
        return;
    }
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
    const bool level = reference.Params().formula == Formula::LevelSet;
    // The pair loop reads every orbit a pixel may follow as doubles.
    if (PairStepsAvailable() && !reference.Main().split.empty() && (level || !reference.Critical().split.empty())) {
        if (level)
            PairRow<Formula::LevelSet>(reference, offset, mapping, dy, out);
        else
            PairRow<Formula::Julia>(reference, offset, mapping, dy, out);
        return;
    }
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
        if (!stream.TakeRow(row, cells.data(), cancel))
            return false;
        sink(row, cells.data());
    }
    return true;
}

} // namespace deep
