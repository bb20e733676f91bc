// Row kernels: exact reformulations of the pixel kernels that run faster than one scalar call per pixel.
//
// Every value below is computed by the same IEEE operation on the same
// operands as in the scalar kernels of Kernels.cpp, so every count is the
// same; what changes is which registers hold the values, how many orbits run
// at once, and that values needed twice are computed once.
#include "engine/RowKernels.h"

#include <cmath>
#include <cstddef>

#include "engine/Kernels.h"

namespace engine {
namespace {

// LevelSetRow splits a row's points on the stack; a longer row (no caller
// has one) runs pixel by pixel.
constexpr int kMaxRowCount = 1024;

inline std::uint8_t LowByte(std::int32_t n) { return static_cast<std::uint8_t>(static_cast<std::uint32_t>(n) & 0xFFu); }

#if defined(__x86_64__)

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
// and a lane whose orbit escaped (flags "below or equal") or reached 200
// steps goes through its REFILL, which leaves for L_exit when both lanes are
// idle. L is the prefix of the loop's labels.
#define QUILLON_TWO_LANE_LOOP(L, STEP_A, STEP_B, REFILL_A, REFILL_B)                                        \
    ".L" L "_top%=:\n\t"                                                                                  \
    STEP_A                                                                                               \
    "jbe .L" L "_doneA%=\n\t"                                                                             \
    "cmpq $200, %[nA]\n\t"                                                                                \
    "je .L" L "_doneA%=\n"                                                                                 \
    ".L" L "_backA%=:\n\t"                                                                                \
    STEP_B                                                                                               \
    "jbe .L" L "_doneB%=\n\t"                                                                             \
    "cmpq $200, %[nB]\n\t"                                                                                \
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
        [oEnd] "i"(offsetof(CTX, end)), [oPy] "i"(offsetof(CTX, py)), [oBail] "i"(offsetof(CTX, bailout))
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

void LevelSetLanesRun(LevelSetLanes& ctx, const SplitPoint* pA, const SplitPoint* pB)
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

void JuliaLanesRun(JuliaLanes& ctx, const Extended* pA, const Extended* pB)
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

// FSINCOS: both values of one argument for the price of one FSIN. The range
// test is that of Sin87 and Cos87, which give 0 from 2^63 on.
inline void SinCos87(Extended x, Extended& s, Extended& c)
{
    if (std::fabs(x) >= 0x1p63L) {
        s = 0.0L;
        c = 0.0L;
        return;
    }
    __asm__("fsincos" : "=t"(c), "=u"(s) : "0"(x));
}

// glibc's arctangent of an extended value is FPATAN of (x, 1); inline it
// saves a call per iteration. st(7) is clobbered to make room for the 1.
inline Extended ArcTan87(Extended x)
{
    Extended r;
    __asm__("fld1\n\tfpatan" : "=t"(r) : "0"(x) : "st(7)");
    return r;
}

bool SameValue(Extended a, Extended b)
{
    return a == b ? std::signbit(a) == std::signbit(b) : (std::isnan(a) && std::isnan(b));
}

// Magnitudes across the reduction ranges of the sine and cosine, and
// neighbours of multiples of pi/2 where the reduction is most delicate.
template <class Check>
bool ForProbeArguments(Check check)
{
    const Extended halfPi = 1.5707963267948966192313216916397514L;
    for (int e = -40; e <= 63; ++e)
        for (int k = 1; k <= 7; ++k) {
            const Extended x = std::ldexp(1.0L + k / 7.0L, e);
            if (!check(x) || !check(-x))
                return false;
        }
    for (int k = -300; k <= 300; k += 7) {
        const Extended base = k * halfPi;
        for (int d = -3; d <= 3; ++d)
            if (!check(base + d * std::ldexp(std::fabs(base) + 1.0L, -63)))
                return false;
    }
    for (const Extended x : {0.0L, -0.0L, 1e4L, 10001.0L, 123456789.0L, 0x1p63L, -0x1p63L, 1e30L, 1e4000L})
        if (!check(x))
            return false;
    return true;
}

bool CheckSinCos()
{
    return ForProbeArguments([](Extended x) {
        Extended s, c;
        SinCos87(x, s, c);
        return SameValue(s, Sin87(x)) && SameValue(c, Cos87(x));
    });
}

bool CheckArcTan()
{
    return ForProbeArguments([](Extended x) { return SameValue(ArcTan87(x), ArcTan(x)); });
}

// One RN6Kernel1 orbit with the sine of u carried over from the iteration
// that took its cosine.
struct SinCosOrbit {
    Extended px = 0.0L, x = 0.0L, y = 0.0L, u = 0.0L, v = 0.0L, sinU = 0.0L;
    std::int32_t n = 0;
    int col = -1;

    void Start(Extended p, int column)
    {
        px = p;
        x = y = u = v = 0.0L;
        sinU = Sin87(u);
        n = 0;
        col = column;
    }
    bool Running() const { return n < 200 && u + v < 10000.0L; }
    void Step(Extended py)
    {
        y = (x * 2.0L) * y + py;
        x = (u - v) + px;
        u = sinU + x * x;
        Extended cosU;
        SinCos87(u, sinU, cosU);
        v = cosU + y * y;
        ++n;
    }
};

// ---------------------------------------------------------------------------
// The modular family. The formulas are those of Kernels.cpp, operation for
// operation, on a pair instead of a triple (no modular formula reads Z) and
// with the truncation of the remainder done by FISTTP: truncation toward
// zero into a signed 32-bit integer, the integer indefinite -2^31 for NaN and
// anything out of range, exactly what TruncToInt32 computes. The compiled
// TruncToInt32 switches the x87 rounding mode twice per component (FLDCW),
// which costs more than the rest of an iteration and varies with code
// placement from one build to the next.

struct Pair {
    Extended X;
    Extended Y;
};

inline Pair PairAdd(Pair a, Pair b) { return {a.X + b.X, a.Y + b.Y}; }
inline Pair PairSub(Pair a, Pair b) { return {a.X - b.X, a.Y - b.Y}; }
inline Pair PairSqr(Pair a) { return {(a.X * a.X) - (a.Y * a.Y), (a.X * 2.0L) * a.Y}; }
inline Pair PairMul(Pair a, Pair b) { return {(a.X * b.X) - (a.Y * b.Y), (a.X * b.Y) + (a.Y * b.X)}; }
inline Pair PairDiv(Pair a, Pair b)
{
    const Extended d = (b.X * b.X) + (b.Y * b.Y);
    return {((a.X * b.X) + (a.Y * b.Y)) / d, ((b.X * a.Y) - (a.X * b.Y)) / d};
}

inline Extended Trunc32(Extended v)
{
    std::int32_t r;
    __asm__("fisttpl %0" : "=m"(r) : "t"(v) : "st");
    return static_cast<Extended>(r);
}

inline Pair PairMod(Pair a, Pair b)
{
    const Pair q = PairDiv(a, b);
    return PairSub(a, PairMul(Pair{Trunc32(q.X), Trunc32(q.Y)}, b));
}

constexpr Pair kZero2{0.0L, 0.0L};
constexpr Pair kM0{32000.876123L, 31000.13143L};
constexpr Pair kM1{1300.876123L, 1300.13143L};

// Counter first, then the bailout test on the current z, then one step.
template <class Step, class Stop>
inline std::int32_t Orbit(Pair z, Step step, Stop stop)
{
    std::int32_t n = 0;
    while (n < 50 && !stop(z)) {
        step(z);
        ++n;
    }
    return n;
}

inline bool SquareSum(const Pair& z, Extended bound) { return z.X * z.X + z.Y * z.Y >= bound; }
inline bool AbsSum(const Pair& z, Extended bound) { return std::fabs(z.X) + std::fabs(z.Y) >= bound; }
inline bool AbsProduct(const Pair& z, Extended bound) { return std::fabs(z.X * z.Y) >= bound; }
inline bool SignedLarger(const Pair& z, Extended bound) { return Larger(z.X, z.Y) >= bound; }
inline bool CosWeighted(const Pair& z, Extended bound)
{
    return Cos87(z.X * 0.01L) * z.X + Cos87(z.Y * 0.01L) * z.Y >= bound;
}

inline void AffineMod(Pair& z, const Pair& m, const Pair& a, const Pair& M) { z = PairMod(PairAdd(PairMul(z, m), a), M); }

bool SinCosMatches() { return SinCosMatchesSeparateInstructions(); }

// Sine and cosine of one argument, from one FSINCOS where it gives what
// FSIN and FCOS give.
inline void SinCosOf(Extended x, Extended& s, Extended& c)
{
    if (SinCosMatches()) {
        SinCos87(x, s, c);
    } else {
        s = Sin87(x);
        c = Cos87(x);
    }
}

// The cosine-gated steps G1 (or G1A) then G2. G1 changes only x, so the sine
// G1 may need and the sine and cosine G2 tests are all of the same y.
inline void G1G2(Pair& z)
{
    Extended sinY, cosY;
    SinCosOf(z.Y, sinY, cosY);
    const Extended cosX = Cos87(z.X);
    z.X = (cosX > 0.0L) ? z.X * cosX : z.X * sinY;
    z.Y = (cosY > 0.0L) ? z.Y * sinY : z.Y * Cos87(z.X);
}

inline void G1AG2(Pair& z)
{
    Extended sinY, cosY;
    SinCosOf(z.Y, sinY, cosY);
    z.X = (Cos87(z.X) > 0.0L) ? z.X * ArcTan(z.X) : z.X * sinY;
    z.Y = (cosY > 0.0L) ? z.Y * sinY : z.Y * Cos87(z.X);
}

// One row: `pixel` gets the pixel p = (px, py) and returns the count.
template <class Pixel>
inline void EachPixel(const Extended* px, Extended py, int count, std::uint8_t* out, Pixel pixel)
{
    for (int j = 0; j < count; ++j)
        out[j] = LowByte(pixel(Pair{px[j], py}));
}

#define QUILLON_MODULAR_ROW(NAME, ...)                                                                     \
    void NAME##Row(const Extended* px, Extended py, int count, std::uint8_t* out)                         \
    {                                                                                                      \
        EachPixel(px, py, count, out, [](const Pair p) -> std::int32_t __VA_ARGS__);                      \
    }

QUILLON_MODULAR_ROW(RN1Kernel1, {
    const Pair m{2.123L, -0.523456L};
    return Orbit(p, [&](Pair& z) { AffineMod(z, m, kZero2, kM0); },
                 [](const Pair& z) { return SquareSum(z, 1500000000.0L); });
})

QUILLON_MODULAR_ROW(RN1Kernel2, {
    const Pair m{2.123L, -0.523456L};
    return Orbit(p, [&](Pair& z) { AffineMod(z, m, kZero2, kM0); },
                 [](const Pair& z) { return AbsSum(z, 55000.0L); });
})

QUILLON_MODULAR_ROW(RN1Kernel3, {
    const Pair m{1.123L, 1.123456L};
    return Orbit(kZero2, [&](Pair& z) { AffineMod(z, m, p, kM0); },
                 [](const Pair& z) { return SquareSum(z, 1500000000.0L); });
})

QUILLON_MODULAR_ROW(RN1Kernel4, {
    const Pair m{1.123L, 1.123456L};
    return Orbit(kZero2, [&](Pair& z) { AffineMod(z, m, p, kM0); },
                 [](const Pair& z) { return AbsSum(z, 55000.0L); });
})

QUILLON_MODULAR_ROW(RN1Kernel5, {
    const Pair m{1.123L, 2.123456L};
    return Orbit(kZero2, [&](Pair& z) { AffineMod(z, m, p, kM0); },
                 [](const Pair& z) {
                     const Extended g = Larger(std::fabs(z.X), std::fabs(z.Y));
                     return g * g + g >= 300000000.0L;
                 });
})

QUILLON_MODULAR_ROW(RN1Kernel6, {
    const Pair m{1.123L, 2.123456L};
    return Orbit(kZero2, [&](Pair& z) { AffineMod(z, m, p, kM0); },
                 [](const Pair& z) { return SignedLarger(z, 30000.0L); });
})

QUILLON_MODULAR_ROW(RN2Kernel1, {
    const Pair m{1.123L, 2.123456L};
    return Orbit(kZero2, [&](Pair& z) { AffineMod(z, m, p, kM0); },
                 [](const Pair& z) { return AbsProduct(z, 550000000.0L); });
})

QUILLON_MODULAR_ROW(RN2Kernel2, {
    const Pair m{1.00123L, 1.00123456L};
    return Orbit(kZero2, [&](Pair& z) { AffineMod(z, m, p, kM0); },
                 [](const Pair& z) { return AbsProduct(z, 550000000.0L); });
})

QUILLON_MODULAR_ROW(RN2Kernel3, {
    const Pair m{1.0000123L, 1.0000123456L};
    const Pair M{1000.876123L, 31000.13143L};
    return Orbit(kZero2, [&](Pair& z) { AffineMod(z, m, p, M); },
                 [](const Pair& z) { return AbsProduct(z, 550000000.0L); });
})

QUILLON_MODULAR_ROW(RN2Kernel4, {
    const Pair m{1.0000123L, 1.0000123456L};
    return Orbit(kZero2, [&](Pair& z) { AffineMod(z, m, p, kM1); },
                 [](const Pair& z) { return AbsProduct(z, 800000.0L); });
})

QUILLON_MODULAR_ROW(RN2Kernel5, {
    const Pair m{1.0000123L, 0.69123456L};
    return Orbit(kZero2, [&](Pair& z) { AffineMod(z, m, p, kM1); },
                 [](const Pair& z) { return AbsProduct(z, 800000.0L); });
})

QUILLON_MODULAR_ROW(RN2Kernel6, {
    const Pair m{0.26000123L, 1.2659123456L};
    return Orbit(kZero2, [&](Pair& z) { AffineMod(z, m, p, kM1); },
                 [](const Pair& z) { return AbsProduct(z, 800000.0L); });
})

QUILLON_MODULAR_ROW(RN3Kernel1, {
    const Pair m{0.16000123L, 1.3659123456L};
    return Orbit(kZero2, [&](Pair& z) { AffineMod(z, m, p, kM1); },
                 [](const Pair& z) { return AbsProduct(z, 800000.0L); });
})

QUILLON_MODULAR_ROW(RN3Kernel2, {
    const Pair m{0.46000123L, 1.3659123456L};
    return Orbit(kZero2, [&](Pair& z) { AffineMod(z, m, p, kM1); },
                 [](const Pair& z) { return SignedLarger(z, 1100.0L); });
})

QUILLON_MODULAR_ROW(RN3Kernel4, {
    const Pair m{2.123L, 3.123456L};
    return Orbit(p, [&](Pair& z) { z = PairMod(PairMul(z, m), kM0); },
                 [](const Pair& z) { return AbsSum(z, 55000.0L); });
})

QUILLON_MODULAR_ROW(RN3Kernel5, {
    const Pair m{123.123L, 321.123456L};
    return Orbit(Pair{1.5L, 1.3L}, [&](Pair& z) { AffineMod(z, m, p, kM0); },
                 [](const Pair& z) { return SquareSum(z, 1500000000.0L); });
})

QUILLON_MODULAR_ROW(RN3Kernel6, {
    const Pair m{1.00123L, 1.002123456L};
    const Pair M{32000.876123L, 1000.13143L};
    return Orbit(Pair{1.5L, 1.3L}, [&](Pair& z) { AffineMod(z, m, p, M); },
                 [](const Pair& z) { return CosWeighted(z, 10000.0L); });
})

QUILLON_MODULAR_ROW(RN4Kernel1, {
    const Pair m{0.16000123L, 1.3659123456L};
    const Pair M{6.876123L, 26.13143L};
    return Orbit(Pair{1.5L, 1.3L}, [&](Pair& z) { z = PairSqr(PairMod(PairAdd(PairMul(z, m), p), M)); },
                 [](const Pair& z) { return CosWeighted(z, 100.0L); });
})

QUILLON_MODULAR_ROW(RN4Kernel2, {
    const Pair M{21.123L, -1.523456L};
    return Orbit(kZero2, [&](Pair& z) { z = PairMul(PairAdd(PairMod(z, M), p), p); },
                 [](const Pair& z) { return SquareSum(z, 150000.0L); });
})

QUILLON_MODULAR_ROW(RN4Kernel3, {
    const Pair M{-210.123L, -110.523456L};
    return Orbit(p, [&](Pair& z) { z = PairMul(PairAdd(PairMod(PairMul(z, z), M), p), p); },
                 [](const Pair& z) { return SquareSum(z, 150000.0L); });
})

QUILLON_MODULAR_ROW(RN4Kernel4, {
    const Pair d{-210.123L * Sin87(p.X), -110.523456L * Sin87(p.Y)};
    const Pair q{p.Y, p.X};
    return Orbit(p, [&](Pair& z) { z = PairMul(PairAdd(PairMod(PairMul(z, z), d), q), p); },
                 [](const Pair& z) { return SquareSum(z, 150000.0L); });
})

QUILLON_MODULAR_ROW(RN4Kernel5, {
    const Pair m{1.00123L, 1.00123456L};
    return Orbit(kZero2,
                 [&](Pair& z) {
                     AffineMod(z, m, p, kM0);
                     z.X = z.X * Sin87(z.X);
                     z.Y = z.Y * Cos87(z.Y);
                 },
                 [](const Pair& z) { return AbsProduct(z, 55.0L); });
})

QUILLON_MODULAR_ROW(RN5Kernel1, {
    const Pair m{0.16000123L, 1.3659123456L};
    const Pair M{13.876123L, 13.13143L};
    return Orbit(p,
                 [&](Pair& z) {
                     z = PairMod(PairMul(z, m), M);
                     Extended sinY, cosY;
                     SinCosOf(z.Y, sinY, cosY);
                     z.Y = (cosY > 0.0L) ? z.Y * sinY : z.Y * cosY;
                 },
                 [](const Pair& z) { return AbsProduct(z, 8.0L); });
})

QUILLON_MODULAR_ROW(RN5Kernel2, {
    const Pair m{0.16000123L, 1.3659123456L};
    const Pair a{13.876123L, 13.13143L};
    return Orbit(p,
                 [&](Pair& z) {
                     z = PairAdd(PairMul(z, m), a);
                     G1G2(z);
                 },
                 [](const Pair& z) { return AbsProduct(z, 100.0L); });
})

QUILLON_MODULAR_ROW(RN5Kernel3, {
    const Pair m{0.16000123L, 1.3659123456L};
    const Pair f{13.876123L, 13.13143L};
    return Orbit(p,
                 [&](Pair& z) {
                     z = PairMul(PairMul(z, m), f);
                     G1G2(z);
                 },
                 [](const Pair& z) { return AbsProduct(z, 100.0L); });
})

QUILLON_MODULAR_ROW(RN5Kernel4, {
    const Pair m{0.16000123L, 1.3659123456L};
    const Pair f{1.876123L, 1.13143L};
    return Orbit(p,
                 [&](Pair& z) {
                     z = PairMul(PairMul(z, m), f);
                     G1G2(z);
                 },
                 [](const Pair& z) { return AbsProduct(z, 100.0L); });
})

QUILLON_MODULAR_ROW(RN5Kernel5, {
    const Pair m{1.16000123L, 1.3659123456L};
    const Pair f{-1.876123L, -1.13143L};
    return Orbit(kZero2,
                 [&](Pair& z) {
                     z = PairMul(PairAdd(PairMul(z, m), p), f);
                     G1G2(z);
                 },
                 [](const Pair& z) { return AbsProduct(z, 100.0L); });
})

QUILLON_MODULAR_ROW(RN5Kernel6, {
    const Pair m{1.16000123L, 1.3659123456L};
    const Pair f{-1.876123L, -1.13143L};
    const Pair a{0.0L, p.Y};
    return Orbit(Pair{p.X, 0.0L},
                 [&](Pair& z) {
                     z = PairMul(PairAdd(PairMul(z, m), a), f);
                     G1AG2(z);
                 },
                 [](const Pair& z) { return AbsProduct(z, 100.0L); });
})

QUILLON_MODULAR_ROW(RN6Kernel6, {
    return Orbit(kZero2,
                 [&](Pair& z) {
                     Extended sinY, cosY;
                     SinCosOf(z.Y, sinY, cosY);
                     z.X = z.X * (Cos87(z.X) + sinY);
                     z.Y = z.Y * (cosY + Sin87(z.X));
                     z = PairAdd(PairSqr(z), p);
                 },
                 [](const Pair& z) { return AbsProduct(z, 80.0L); }) +
           2;
})

#undef QUILLON_MODULAR_ROW

struct RowKernelEntry {
    TValueFunction kernel;
    RowKernel row;
};

// RN3Kernel3 is RN1Kernel4 under another button.
constexpr RowKernelEntry kModularRows[] = {
    {RN1Kernel1, RN1Kernel1Row}, {RN1Kernel2, RN1Kernel2Row}, {RN1Kernel3, RN1Kernel3Row},
    {RN1Kernel4, RN1Kernel4Row}, {RN1Kernel5, RN1Kernel5Row}, {RN1Kernel6, RN1Kernel6Row},
    {RN2Kernel1, RN2Kernel1Row}, {RN2Kernel2, RN2Kernel2Row}, {RN2Kernel3, RN2Kernel3Row},
    {RN2Kernel4, RN2Kernel4Row}, {RN2Kernel5, RN2Kernel5Row}, {RN2Kernel6, RN2Kernel6Row},
    {RN3Kernel1, RN3Kernel1Row}, {RN3Kernel2, RN3Kernel2Row}, {RN3Kernel3, RN1Kernel4Row},
    {RN3Kernel4, RN3Kernel4Row}, {RN3Kernel5, RN3Kernel5Row}, {RN3Kernel6, RN3Kernel6Row},
    {RN4Kernel1, RN4Kernel1Row}, {RN4Kernel2, RN4Kernel2Row}, {RN4Kernel3, RN4Kernel3Row},
    {RN4Kernel4, RN4Kernel4Row}, {RN4Kernel5, RN4Kernel5Row}, {RN5Kernel1, RN5Kernel1Row},
    {RN5Kernel2, RN5Kernel2Row}, {RN5Kernel3, RN5Kernel3Row}, {RN5Kernel4, RN5Kernel4Row},
    {RN5Kernel5, RN5Kernel5Row}, {RN5Kernel6, RN5Kernel6Row}, {RN6Kernel6, RN6Kernel6Row},
};

// FISTTP came with SSE3; every x86-64 processor of the last fifteen years has it.
bool HasFisttp()
{
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("sse3") != 0;
    }();
    return has;
}

#endif // __x86_64__

// arctan(u) of one iteration's v is the arctan(u) of the next iteration's u:
// one arctangent per iteration instead of two. Running two orbits side by
// side gains nothing here, FPATAN sequences do not overlap.
template <Extended (*Atan)(Extended)>
void RN6Kernel4Orbits(const Extended* px, Extended py, int count, std::uint8_t* out)
{
    const Extended atanZero = Atan(0.0L);
    for (int j = 0; j < count; ++j) {
        const Extended p = px[j];
        Extended x = 0.0L, y = 0.0L, u = 0.0L, v = 0.0L;
        Extended atanU = atanZero;
        std::int32_t n = 0;
        while (n < 200 && u + v < 10000.0L) {
            y = (x * 2.0L) * y + py;
            x = (u - v) + p;
            u = atanU + x * x;
            atanU = Atan(u);
            v = atanU + y * y;
            ++n;
        }
        out[j] = LowByte(n);
    }
}

} // namespace

bool SinCosMatchesSeparateInstructions()
{
#if defined(__x86_64__)
    static const bool matches = CheckSinCos();
    return matches;
#else
    return false;
#endif
}

bool ArcTanMatchesInstruction()
{
#if defined(__x86_64__)
    static const bool matches = CheckArcTan();
    return matches;
#else
    return false;
#endif
}

void LevelSetRow(const Extended* px, Extended py, int count, std::uint8_t* out)
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
            out[j] = LowByte(LevelSetAt(px[j], py));
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
    ctx.bailout = 10000.0f;
    LevelSetLanesRun(ctx, split, split + (count > 1 ? 1 : 0));
#else
    for (int j = 0; j < count; ++j)
        out[j] = LowByte(LevelSetAt(px[j], py));
#endif
}

void JuliaRow(const Extended* px, Extended py, Extended cx, Extended cy, int count, std::uint8_t* out)
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
    JuliaLanesRun(ctx, px, px + (count > 1 ? 1 : 0));
#else
    TJUSet set;
    set.JuliaConst = TTriple{cx, cy, 0.0L};
    for (int j = 0; j < count; ++j) {
        set.SetValues(kCalcParam, TTriple{px[j], py, 0.0L});
        out[j] = LowByte(CountJuliaSet(set));
    }
#endif
}

// The sine of u in one iteration is the sine of the u the previous iteration
// left, whose cosine that iteration took: one FSINCOS per iteration instead
// of an FSIN and an FCOS. Two orbits run side by side so that their FSINCOS
// sequences overlap; a lane whose orbit ends takes the next column.
void RN6Kernel1Row(const Extended* px, Extended py, int count, std::uint8_t* out)
{
#if defined(__x86_64__)
    if (SinCosMatchesSeparateInstructions()) {
        SinCosOrbit lane[2];
        int next = 0;
        for (auto& l : lane)
            if (next < count) {
                l.Start(px[next], next);
                ++next;
            }
        for (;;) {
            bool any = false;
            for (auto& l : lane) {
                if (l.col < 0)
                    continue;
                if (!l.Running()) {
                    out[l.col] = LowByte(l.n);
                    if (next < count) {
                        l.Start(px[next], next);
                        ++next;
                    } else {
                        l.col = -1;
                        continue;
                    }
                }
                any = true;
            }
            if (!any)
                break;
            for (auto& l : lane)
                if (l.col >= 0)
                    l.Step(py);
        }
        return;
    }
#endif
    for (int j = 0; j < count; ++j)
        out[j] = LowByte(RN6Kernel1At(px[j], py));
}

void RN6Kernel4Row(const Extended* px, Extended py, int count, std::uint8_t* out)
{
#if defined(__x86_64__)
    if (ArcTanMatchesInstruction()) {
        RN6Kernel4Orbits<ArcTan87>(px, py, count, out);
        return;
    }
#endif
    RN6Kernel4Orbits<ArcTan>(px, py, count, out);
}

RowKernel FindRowKernel(TValueFunction fn)
{
    if (fn == LevelSetKernel)
        return LevelSetRow;
    if (fn == RN6Kernel1)
        return RN6Kernel1Row;
    if (fn == RN6Kernel4)
        return RN6Kernel4Row;
#if defined(__x86_64__)
    if (HasFisttp())
        for (const RowKernelEntry& e : kModularRows)
            if (e.kernel == fn)
                return e.row;
#endif
    return nullptr;
}

} // namespace engine
