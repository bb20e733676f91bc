// Single perturbation steps of two pixels at once, in the x87 registers.
#pragma once

#include "deep/Reference.h"

namespace deep {

// One pixel between two stops: `at` points to the split Z_m it steps from,
// `end` to the index at which its single steps must end, `look` to the next
// index where a lookup of the tables is due; x, y its delta and cx, cy what
// each step adds (dc for the level-set count, 0 for the Julia count).
struct PairLane {
    const SplitComplex* at = nullptr;
    const SplitComplex* end = nullptr;
    const SplitComplex* look = nullptr;
    long double x = 0.0L, y = 0.0L, cx = 0.0L, cy = 0.0L;
};

// After a lookup that finds no run the next is due this many steps later.
inline constexpr int kLookupRetry = 32;

struct PairSteps {
    PairLane lane[2];
    // |x| + |y| of a whole value below which the count's escape test
    // cannot be met.
    float inside = 0.0f;
    float two = 2.0f;
};

// Why a lane stopped, after the step that made it stop.
enum class PairStop { MayEscape, Rebase, End };  // End: at `end` or `look`

struct PairResult {
    int lane;
    PairStop stop;
};

// Whether PairSteps runs here (the loop is x87 assembly).
bool PairStepsAvailable();

// Steps both lanes in turn, each exactly as the single-step loop would:
// z' = ((2 Z_m + z) z) + c in that order of operations, then W = Z_{m+1} + z'
// and s = |W.x| + |W.y|. A lane stops when s is not below `inside` (the
// caller makes the exact escape test), when s < |z'.x| + |z'.y| (rebase), on
// reaching `end`, or at `look` unless the delta is too large for any run
// there (then the lookup would fail, and `look` moves kLookupRetry steps on),
// tested in that order. The other lane keeps the steps it took; both lanes'
// `at`, `look`, x and y are updated.
PairResult StepPair(PairSteps& pair);

} // namespace deep
