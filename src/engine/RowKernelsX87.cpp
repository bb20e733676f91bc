// The row kernels written in x87 assembly: the level set and the Julia sets, two orbits held in the registers.
//
// The loops perform the same IEEE operations on the same operands as
// LevelSetAt and TJUSet::Get with CountJuliaSet, so every count is the same;
// docs/performance.md tells how they were arrived at.
#include "engine/RowKernels.h"

#include <cmath>
#include <cstddef>

#include "engine/KernelFormulas.h"
#include "engine/Kernels.h"

namespace engine {
namespace {

#if defined(__x86_64__)

// LevelSetRow splits a row's points on the stack; a longer row (no caller
// has one) runs pixel by pixel.
constexpr int kMaxRowCount = 1024;

// An extended value as the exact sum of two doubles. Loading it takes two
// plain loads and one addition whose result is exact, where the 80-bit load
// FLD m80 is microcoded and costs about as much as a whole iteration.
struct SplitPoint {
    double hi;
    double lo;
};
static_assert(sizeof(SplitPoint) == 16, "the loop strides the point array by 16 bytes");

// True when hi + lo, added in extended precision as the loop adds them, gives
// back exactly v, sign of zero included. Fails for coordinates beyond the
// double range or so small that the low part would be subnormal.
bool Split(Extended v, SplitPoint& sp)
{
    sp.hi = static_cast<double>(v);
    sp.lo = static_cast<double>(v - static_cast<Extended>(sp.hi));
    const Extended back = static_cast<Extended>(sp.hi) + static_cast<Extended>(sp.lo);
    return back == v && std::signbit(back) == std::signbit(v) && std::isfinite(v);
}

// State shared with the assembly loop of LevelSetRow. A lane is idle once
// its column is at or beyond `end`: it keeps iterating on a valid point but
// stores nothing, until both lanes are idle.
struct LevelSetLanes {
    const SplitPoint* px;
    std::uint8_t* out;
    long colA;
    long colB;
    long next;
    long end;
    Extended py;
    float bailout;
};

// The x87 stack holds [xA yA xB yB py] at the start and end of every lane
// step: each lane's x and y stay in their own two slots. The state of a lane
// is the x and y of the iteration about to be counted. A step squares them
// (u, v), forms s = u + v and d = u - v, compares s with the bailout, and
// computes the next x = d + px and y = (x*2)*y + py. u and v are dead once s
// and d exist, which is what lets two orbits and py fit into the eight
// registers. A step leaves the flags of "10000 compared with s" (below or
// equal: escaped, unordered included) and the lane's count incremented.
// x*2 is formed as x + x, the same exactly rounded value; px is rebuilt
// from its two doubles (see SplitPoint).
#define QUILLON_LEVELSET_STEP_A(P, N)                                                                      \
    "fld %%st(0)\n\t"            /* c x y X Y py             c = x */                                    \
    "fxch %%st(1)\n\t"           /* x c y X Y py */                                                      \
    "fmul %%st(0), %%st\n\t"     /* u c y X Y py */                                                      \
    "fxch %%st(1)\n\t"           /* c u y X Y py */                                                      \
    "fadd %%st(0), %%st\n\t"     /* 2x */                                                                \
    "fmul %%st(2), %%st\n\t"     /* (2x)*y */                                                            \
    "fadd %%st(5), %%st\n\t"     /* t u y X Y py             t = (2x)*y + py */                          \
    "fld %%st(2)\n\t"            /* y t u y X Y py */                                                    \
    "fmul %%st(0), %%st\n\t"     /* v t u y X Y py */                                                    \
    "fst %%st(3)\n\t"            /* v t u v X Y py */                                                    \
    "fadd %%st(2), %%st\n\t"     /* s t u v X Y py           s = v + u */                                \
    "flds %c[oBail](%[ctx])\n\t" /* 10000 s t u v X Y py */                                              \
    "fcomip %%st(1), %%st\n\t"   /* s t u v X Y py           flags of 10000 vs s */                      \
    "fstp %%st(0)\n\t"           /* t u v X Y py */                                                      \
    "fxch %%st(1)\n\t"           /* u t v X Y py */                                                      \
    "fsub %%st(2), %%st\n\t"     /* d t v X Y py             d = u - v */                                \
    "fldl (%[" P "])\n\t"        /* hi d t v X Y py */                                                   \
    "faddl 8(%[" P "])\n\t"      /* px d t v X Y py */                                                   \
    "faddp %%st, %%st(1)\n\t"    /* x' t v X Y py            x' = d + px */                              \
    "fxch %%st(1)\n\t"           /* t x' v X Y py */                                                     \
    "fstp %%st(2)\n\t"           /* x' t X Y py */                                                       \
    "leaq 1(%[" N "]), %[" N "]\n\t"

#define QUILLON_LEVELSET_STEP_B(P, N)                                                                      \
    "fld %%st(2)\n\t"            /* c A B x y py             c = x */                                    \
    "fxch %%st(3)\n\t"           /* x A B c y py */                                                      \
    "fmul %%st(0), %%st\n\t"     /* u A B c y py */                                                      \
    "fxch %%st(3)\n\t"           /* c A B u y py */                                                      \
    "fadd %%st(0), %%st\n\t"     /* 2x */                                                                \
    "fmul %%st(4), %%st\n\t"     /* (2x)*y */                                                            \
    "fadd %%st(5), %%st\n\t"     /* t A B u y py */                                                      \
    "fld %%st(4)\n\t"            /* y t A B u y py */                                                    \
    "fmul %%st(0), %%st\n\t"     /* v t A B u y py */                                                    \
    "fst %%st(5)\n\t"            /* v t A B u v py */                                                    \
    "fadd %%st(4), %%st\n\t"     /* s t A B u v py */                                                    \
    "flds %c[oBail](%[ctx])\n\t" /* 10000 s t A B u v py */                                              \
    "fcomip %%st(1), %%st\n\t"   /* s t A B u v py */                                                    \
    "fstp %%st(0)\n\t"           /* t A B u v py */                                                      \
    "fxch %%st(3)\n\t"           /* u A B t v py */                                                      \
    "fsub %%st(4), %%st\n\t"     /* d A B t v py */                                                      \
    "fldl (%[" P "])\n\t"        /* hi d A B t v py */                                                   \
    "faddl 8(%[" P "])\n\t"      /* px d A B t v py */                                                   \
    "faddp %%st, %%st(1)\n\t"    /* x' A B t v py */                                                     \
    "fxch %%st(3)\n\t"           /* t A B x' v py */                                                     \
    "fstp %%st(4)\n\t"           /* A B x' t py */                                                       \
    "leaq 1(%[" N "]), %[" N "]\n\t"

// A lane whose orbit ended: store its count unless idle, take the next
// column (or go idle), and fall through to "3:" to restart the lane, with P
// pointing at the column's point; leave for EXIT when both lanes are idle.
// STRIDE is log2 of the point array's element size. Shared by the lane
// loops below, whose contexts all have px, out, colA, colB, next and end.
#define QUILLON_LANE_NEXT_COLUMN(P, N, COL, OTHERCOL, STRIDE, EXIT)                                        \
    "movq %c[o" COL "](%[ctx]), %[t1]\n\t"                                                               \
    "cmpq %c[oEnd](%[ctx]), %[t1]\n\t"                                                                   \
    "jae 1f\n\t"                                                                                         \
    "movq %c[oOut](%[ctx]), %[t2]\n\t"                                                                   \
    "movb %b[" N "], (%[t2], %[t1])\n"                                                                   \
    "1:\n\t"                                                                                             \
    "movq %c[oNext](%[ctx]), %[t1]\n\t"                                                                  \
    "cmpq %c[oEnd](%[ctx]), %[t1]\n\t"                                                                   \
    "jae 2f\n\t"                                                                                         \
    "leaq 1(%[t1]), %[t2]\n\t"                                                                           \
    "movq %[t2], %c[oNext](%[ctx])\n\t"                                                                  \
    "movq %[t1], %c[o" COL "](%[ctx])\n\t"                                                               \
    "shlq $" STRIDE ", %[t1]\n\t"                                                                        \
    "addq %c[oPx](%[ctx]), %[t1]\n\t"                                                                    \
    "movq %[t1], %[" P "]\n\t"                                                                           \
    "jmp 3f\n"                                                                                           \
    "2:\n\t"                                                                                             \
    "movq %[t1], %c[o" COL "](%[ctx])\n\t"                                                               \
    "movq %c[o" OTHERCOL "](%[ctx]), %[t2]\n\t"                                                          \
    "cmpq %c[oEnd](%[ctx]), %[t2]\n\t"                                                                   \
    "jae " EXIT "\n"                                                                                     \
    "3:\n\t"                                                                                             \
    "xorl %k[" N "], %k[" N "]\n\t"

// The loop both two-lane kernels run: a step of lane A, a step of lane B,
// and a lane whose orbit escaped (flags "below or equal") or reached the
// iteration limit (held in a register, as cheap to compare as a constant)
// goes through its REFILL, which leaves for L_exit when both lanes are idle.
// L is the prefix of the loop's labels.
#define QUILLON_TWO_LANE_LOOP(L, STEP_A, STEP_B, REFILL_A, REFILL_B)                                        \
    ".L" L "_top%=:\n\t"                                                                                  \
    STEP_A                                                                                               \
    "jbe .L" L "_doneA%=\n\t"                                                                             \
    "cmpq %[limit], %[nA]\n\t"                                                                                \
    "je .L" L "_doneA%=\n"                                                                                 \
    ".L" L "_backA%=:\n\t"                                                                                \
    STEP_B                                                                                               \
    "jbe .L" L "_doneB%=\n\t"                                                                             \
    "cmpq %[limit], %[nB]\n\t"                                                                                \
    "jne .L" L "_top%=\n"                                                                                  \
    ".L" L "_doneB%=:\n\t"                                                                                \
    REFILL_B                                                                                             \
    ".L" L "_doneA%=:\n\t"                                                                                \
    REFILL_A                                                                                             \
    ".L" L "_exit%=:\n\t"

// The operands of the two-lane loops, CTX being the type of their context.
#define QUILLON_TWO_LANE_OUTPUTS [pA] "+r"(pA), [pB] "+r"(pB), [nA] "+r"(nA), [nB] "+r"(nB), [t1] "+r"(t1), [t2] "+r"(t2)
#define QUILLON_TWO_LANE_INPUTS(CTX)                                                                        \
    [ctx] "r"(&ctx), [oPx] "i"(offsetof(CTX, px)), [oOut] "i"(offsetof(CTX, out)),                          \
        [oColA] "i"(offsetof(CTX, colA)), [oColB] "i"(offsetof(CTX, colB)), [oNext] "i"(offsetof(CTX, next)), \
        [oEnd] "i"(offsetof(CTX, end)), [oPy] "i"(offsetof(CTX, py)), [oBail] "i"(offsetof(CTX, bailout)), \
        [limit] "r"(limit)
#define QUILLON_TWO_LANE_CLOBBERS "cc", "memory", "st", "st(1)", "st(2)", "st(3)", "st(4)", "st(5)", "st(6)", "st(7)"

// Restarts a level-set lane with the state after the first iteration from
// zero: x = (0 - 0) + px = 0 + px and y = ((0*2)*0) + py = 0 + py. XSLOT and
// YSLOT are the lane's slots once the new x has been pushed.
#define QUILLON_LEVELSET_REFILL(P, N, COL, OTHERCOL, XSLOT, YSLOT, BACK)                                   \
    QUILLON_LANE_NEXT_COLUMN(P, N, COL, OTHERCOL, "4", ".Lqls_exit%=")                                  \
    "fldz\n\t"                                                                                           \
    "fldl (%[" P "])\n\t"                                                                                \
    "faddl 8(%[" P "])\n\t"                                                                              \
    "faddp %%st, %%st(1)\n\t" /* x1 xA yA xB yB py */                                                    \
    "fstp %%st(" XSLOT ")\n\t"                                                                           \
    "fldz\n\t"                                                                                           \
    "fadd %%st(5), %%st\n\t" /* y1 xA yA xB yB py, one of the pairs now x1 */                             \
    "fstp %%st(" YSLOT ")\n\t"                                                                           \
    "jmp " BACK "\n"

void LevelSetLanesRun(LevelSetLanes& ctx, const SplitPoint* pA, const SplitPoint* pB, long limit)
{
    long nA = 0, nB = 0;
    long t1 = 0, t2 = 0;
    __asm__ volatile(
        // [xA yA xB yB py], both lanes after their first iteration's x and y.
        "fldt %c[oPy](%[ctx])\n\t"
        "fldz\n\t"
        "fadd %%st(1), %%st\n\t"
        "fldz\n\t"
        "fldl (%[pB])\n\t"
        "faddl 8(%[pB])\n\t"
        "faddp %%st, %%st(1)\n\t"
        "fldz\n\t"
        "fadd %%st(3), %%st\n\t"
        "fldz\n\t"
        "fldl (%[pA])\n\t"
        "faddl 8(%[pA])\n\t"
        "faddp %%st, %%st(1)\n"
        QUILLON_TWO_LANE_LOOP("qls", QUILLON_LEVELSET_STEP_A("pA", "nA"), QUILLON_LEVELSET_STEP_B("pB", "nB"),
                              QUILLON_LEVELSET_REFILL("pA", "nA", "ColA", "ColB", "1", "2", ".Lqls_backA%="),
                              QUILLON_LEVELSET_REFILL("pB", "nB", "ColB", "ColA", "3", "4", ".Lqls_top%="))
        "fstp %%st(0)\n\t"
        "fstp %%st(0)\n\t"
        "fstp %%st(0)\n\t"
        "fstp %%st(0)\n\t"
        "fstp %%st(0)\n\t"
        : QUILLON_TWO_LANE_OUTPUTS
        : QUILLON_TWO_LANE_INPUTS(LevelSetLanes)
        : QUILLON_TWO_LANE_CLOBBERS);
}

#undef QUILLON_LEVELSET_STEP_A
#undef QUILLON_LEVELSET_STEP_B
#undef QUILLON_LEVELSET_REFILL

// State shared with the assembly loop of JuliaRow; lanes as in LevelSetLanes.
struct JuliaLanes {
    const Extended* px;
    std::uint8_t* out;
    long colA;
    long colB;
    long next;
    long end;
    Extended py;
    Extended cx;
    Extended cy;
    float bailout;
};
static_assert(sizeof(Extended) == 16, "the loop strides the point array by 16 bytes");

// The Julia step of TJUSet::Get followed by CountJuliaSet's test on the new
// point, for two orbits at once. The x87 stack holds [xA yA xB yB cx cy] at
// the start and end of every lane step: the Julia constant never leaves the
// registers, and the column's own point is loaded only when a lane restarts,
// so the 80-bit load stays out of the loop. A step forms v = y*y, u = x*x,
// x' = (u - v) + cx and y' = ((x*2)*y) + cy, then compares 25.5 with
// |x' + y'| (below or equal: escaped, unordered included) and counts the
// step. x*2 is formed as x + x, the same exactly rounded value.
#define QUILLON_JULIA_STEP_A(N)                                                                            \
    "fld %%st(1)\n\t"            /* y x y X Y cx cy */                                                   \
    "fmul %%st(0), %%st\n\t"     /* v x y X Y cx cy */                                                   \
    "fld %%st(1)\n\t"            /* x v x y X Y cx cy */                                                 \
    "fmul %%st(0), %%st\n\t"     /* u v x y X Y cx cy */                                                 \
    "fsub %%st(1), %%st\n\t"     /* u-v v x y X Y cx cy */                                               \
    "fadd %%st(6), %%st\n\t"     /* x' v x y X Y cx cy */                                                \
    "fstp %%st(1)\n\t"           /* x' x y X Y cx cy */                                                  \
    "fxch %%st(1)\n\t"           /* x x' y X Y cx cy */                                                  \
    "fadd %%st(0), %%st\n\t"     /* 2x x' y X Y cx cy */                                                 \
    "fmul %%st(2), %%st\n\t"     /* (2x)*y x' y X Y cx cy */                                             \
    "fadd %%st(6), %%st\n\t"     /* y' x' y X Y cx cy */                                                 \
    "fstp %%st(2)\n\t"           /* x' y' X Y cx cy */                                                   \
    "fld %%st(0)\n\t"            /* x' x' y' X Y cx cy */                                                \
    "fadd %%st(2), %%st\n\t"     /* s x' y' X Y cx cy        s = x' + y' */                              \
    "fabs\n\t"                                                                                           \
    "flds %c[oBail](%[ctx])\n\t" /* 25.5 |s| x' y' X Y cx cy */                                          \
    "fcomip %%st(1), %%st\n\t"   /* |s| x' y' X Y cx cy      flags of 25.5 vs |s| */                     \
    "fstp %%st(0)\n\t"           /* x' y' X Y cx cy */                                                   \
    "leaq 1(%[" N "]), %[" N "]\n\t"

#define QUILLON_JULIA_STEP_B(N)                                                                            \
    "fld %%st(3)\n\t"            /* y A B x y cx cy */                                                   \
    "fmul %%st(0), %%st\n\t"     /* v A B x y cx cy */                                                   \
    "fld %%st(3)\n\t"            /* x v A B x y cx cy */                                                 \
    "fmul %%st(0), %%st\n\t"     /* u v A B x y cx cy */                                                 \
    "fsub %%st(1), %%st\n\t"     /* u-v v A B x y cx cy */                                               \
    "fadd %%st(6), %%st\n\t"     /* x' v A B x y cx cy */                                                \
    "fstp %%st(1)\n\t"           /* x' A B x y cx cy */                                                  \
    "fld %%st(3)\n\t"            /* x x' A B x y cx cy */                                                \
    "fadd %%st(0), %%st\n\t"     /* 2x x' A B x y cx cy */                                               \
    "fmul %%st(5), %%st\n\t"     /* (2x)*y x' A B x y cx cy */                                           \
    "fadd %%st(7), %%st\n\t"     /* y' x' A B x y cx cy */                                               \
    "fstp %%st(5)\n\t"           /* x' A B x y' cx cy */                                                 \
    "fstp %%st(3)\n\t"           /* A B x' y' cx cy */                                                   \
    "fld %%st(2)\n\t"            /* x' A B x' y' cx cy */                                                \
    "fadd %%st(4), %%st\n\t"     /* s A B x' y' cx cy */                                                 \
    "fabs\n\t"                                                                                           \
    "flds %c[oBail](%[ctx])\n\t" /* 25.5 |s| A B x' y' cx cy */                                          \
    "fcomip %%st(1), %%st\n\t"                                                                           \
    "fstp %%st(0)\n\t"           /* A B x' y' cx cy */                                                   \
    "leaq 1(%[" N "]), %[" N "]\n\t"

// Restarts a Julia lane at its column's point with no step counted. XSLOT
// and YSLOT are the lane's slots once one value has been pushed.
#define QUILLON_JULIA_REFILL(P, N, COL, OTHERCOL, XSLOT, YSLOT, BACK)                                      \
    QUILLON_LANE_NEXT_COLUMN(P, N, COL, OTHERCOL, "4", ".Lqju_exit%=")                                  \
    "fldt (%[" P "])\n\t"                                                                                \
    "fstp %%st(" XSLOT ")\n\t"                                                                           \
    "fldt %c[oPy](%[ctx])\n\t"                                                                           \
    "fstp %%st(" YSLOT ")\n\t"                                                                           \
    "jmp " BACK "\n"

void JuliaLanesRun(JuliaLanes& ctx, const Extended* pA, const Extended* pB, long limit)
{
    long nA = 0, nB = 0;
    long t1 = 0, t2 = 0;
    __asm__ volatile(
        "fldt %c[oCy](%[ctx])\n\t"
        "fldt %c[oCx](%[ctx])\n\t"
        "fldt %c[oPy](%[ctx])\n\t"
        "fldt (%[pB])\n\t"
        "fldt %c[oPy](%[ctx])\n\t"
        "fldt (%[pA])\n"
        QUILLON_TWO_LANE_LOOP("qju", QUILLON_JULIA_STEP_A("nA"), QUILLON_JULIA_STEP_B("nB"),
                              QUILLON_JULIA_REFILL("pA", "nA", "ColA", "ColB", "1", "2", ".Lqju_backA%="),
                              QUILLON_JULIA_REFILL("pB", "nB", "ColB", "ColA", "3", "4", ".Lqju_top%="))
        "fstp %%st(0)\n\t"
        "fstp %%st(0)\n\t"
        "fstp %%st(0)\n\t"
        "fstp %%st(0)\n\t"
        "fstp %%st(0)\n\t"
        "fstp %%st(0)\n\t"
        : QUILLON_TWO_LANE_OUTPUTS
        : QUILLON_TWO_LANE_INPUTS(JuliaLanes), [oCx] "i"(offsetof(JuliaLanes, cx)), [oCy] "i"(offsetof(JuliaLanes, cy))
        : QUILLON_TWO_LANE_CLOBBERS);
}

#undef QUILLON_JULIA_STEP_A
#undef QUILLON_JULIA_STEP_B
#undef QUILLON_JULIA_REFILL
#undef QUILLON_LANE_NEXT_COLUMN
#undef QUILLON_TWO_LANE_LOOP
#undef QUILLON_TWO_LANE_OUTPUTS
#undef QUILLON_TWO_LANE_INPUTS
#undef QUILLON_TWO_LANE_CLOBBERS

#endif // __x86_64__

} // namespace

void LevelSetRow(const Extended* px, Extended py, int count, std::uint8_t* out, std::int32_t limit)
{
    if (count <= 0)
        return;
#if defined(__x86_64__)
    SplitPoint split[kMaxRowCount];
    bool splittable = count <= kMaxRowCount;
    for (int j = 0; splittable && j < count; ++j)
        splittable = Split(px[j], split[j]);
    if (!splittable) {
        for (int j = 0; j < count; ++j)
            out[j] = LowByte(LevelSetAt(px[j], py, limit));
        return;
    }
    LevelSetLanes ctx{};
    ctx.px = split;
    ctx.out = out;
    ctx.colA = 0;
    ctx.colB = count > 1 ? 1 : count;
    ctx.next = count > 1 ? 2 : count;
    ctx.end = count;
    ctx.py = py;
    ctx.bailout = static_cast<float>(formulas::kQuadraticBailout);
    LevelSetLanesRun(ctx, split, split + (count > 1 ? 1 : 0), limit);
#else
    for (int j = 0; j < count; ++j)
        out[j] = LowByte(LevelSetAt(px[j], py, limit));
#endif
}

void JuliaRow(const Extended* px, Extended py, Extended cx, Extended cy, int count, std::uint8_t* out,
              std::int32_t limit)
{
    if (count <= 0)
        return;
#if defined(__x86_64__)
    JuliaLanes ctx{};
    ctx.px = px;
    ctx.out = out;
    ctx.colA = 0;
    ctx.colB = count > 1 ? 1 : count;
    ctx.next = count > 1 ? 2 : count;
    ctx.end = count;
    ctx.py = py;
    ctx.cx = cx;
    ctx.cy = cy;
    ctx.bailout = 25.5f;
    JuliaLanesRun(ctx, px, px + (count > 1 ? 1 : 0), limit);
#else
    TJUSet set;
    set.JuliaConst = TTriple{cx, cy, 0.0L};
    set.IterationLimit = limit;
    for (int j = 0; j < count; ++j) {
        set.SetValues(kCalcParam, TTriple{px[j], py, 0.0L});
        out[j] = LowByte(CountJuliaSet(set));
    }
#endif
}

} // namespace engine
