// Two pixels' single perturbation steps interleaved in the x87 registers.
//
// One pixel's step is a chain of dependent x87 operations (load Z, double
// it, add z, multiply, subtract, add c) that leaves most of the floating-
// point units idle; the compiler cannot hold a second pixel's values in the
// eight x87 registers and spills them to 80-bit memory. Here each lane's x
// and y stay in their own two slots of the stack, so the two chains overlap.
#include "deep/PairSteps.h"

#include <cstddef>

namespace deep {

#if defined(__x86_64__)

bool PairStepsAvailable() { return true; }

namespace {

static_assert(sizeof(SplitComplex) == 40, "the loop strides the orbit by 40 bytes");
static_assert(offsetof(SplitComplex, calm) == 32 && offsetof(SplitComplex, run) == 36,
              "the loop reads the calm size at 32 and the run radius at 36");

// The step of a lane whose x and y are in slots O and O+1 of the stack
// [xA yA xB yB] (O = 0 for lane A, 2 for lane B). The comments give the
// stack for lane A. With k values pushed, x is in st(O+k) and y in
// st(O+k+1). The operands are those of the single-step loop, in its order:
// ax = 2 Zx + x, ay = 2 Zy + y, x' = (ax x - ay y) + cx,
// y' = (ax y + ay x) + cy; Z is loaded as the exact sum of its two doubles.
// The doubling is a multiplication by 2 from memory (the same exact value as
// Z + Z): the additions are what the x87 runs out of. Subtraction is written
// with st(0) as the destination (x - y as "fsub %st(1), %st" with x on top),
// where the AT&T operand order of fsub/fsubr cannot be misread.
#define QUILLON_PAIR_STEP(P, CX, CY, X1, Y3, Y4, X4, X3)                                                  \
    "fldl (%[" P "])\n\t"                                                                               \
    "faddl 8(%[" P "])\n\t"   /* Zx x y */                                                             \
    "fmuls %c[oTwo](%[ctx])\n\t" /* 2Zx x y */                                                         \
    "fadd %%st(" X1 "), %%st\n\t" /* ax x y */                                                         \
    "fldl 16(%[" P "])\n\t"                                                                             \
    "faddl 24(%[" P "])\n\t"  /* Zy ax x y */                                                          \
    "fmuls %c[oTwo](%[ctx])\n\t"                                                                        \
    "fadd %%st(" Y3 "), %%st\n\t" /* ay ax x y */                                                      \
    "fld %%st(0)\n\t"                                                                                   \
    "fmul %%st(" Y4 "), %%st\n\t" /* ay*y ay ax x y */                                                 \
    "fld %%st(2)\n\t"                                                                                   \
    "fmul %%st(" X4 "), %%st\n\t" /* ax*x ay*y ay ax x y */                                            \
    "fsub %%st(1), %%st\n\t"  /* ax*x-ay*y ay*y ay ax x y */                                           \
    "fstp %%st(1)\n\t"        /* d ay ax x y */                                                        \
    "fldt %c[" CX "](%[ctx])\n\t"                                                                       \
    "faddp %%st, %%st(1)\n\t" /* x' ay ax x y */                                                       \
    "fxch %%st(2)\n\t"        /* ax ay x' x y */                                                       \
    "fmul %%st(" Y4 "), %%st\n\t" /* ax*y ay x' x y */                                                 \
    "fxch %%st(1)\n\t"        /* ay ax*y x' x y */                                                     \
    "fmul %%st(" X3 "), %%st\n\t" /* ay*x ax*y x' x y */                                               \
    "faddp %%st, %%st(1)\n\t" /* ax*y+ay*x x' x y */                                                   \
    "fldt %c[" CY "](%[ctx])\n\t"                                                                       \
    "faddp %%st, %%st(1)\n\t" /* y' x' x y */                                                          \
    "fstp %%st(" Y3 ")\n\t"   /* x' x y' */                                                            \
    "fstp %%st(" X1 ")\n\t"   /* x' y' */                                                              \
    "addq $40, %[" P "]\n\t"

// After a step: d = |x| + |y| below the calm size of Z_{m+1} settles both
// tests (no rebase, no escape); only the end of the run is left to test.
// Otherwise FULL makes the tests of the single-step loop.
#define QUILLON_PAIR_CALM(P, END, LOOK, X0, Y2, FULL, ENDLABEL, LOOKLABEL)                               \
    "fld %%st(" X0 ")\n\t"                                                                              \
    "fabs\n\t"                                                                                          \
    "fld %%st(" Y2 ")\n\t"                                                                              \
    "fabs\n\t"                                                                                          \
    "faddp %%st, %%st(1)\n\t" /* d x y */                                                              \
    "flds 32(%[" P "])\n\t"                                                                             \
    "fcomip %%st(1), %%st\n\t" /* calm > d ? */                                                        \
    "jbe " FULL "\n\t"                                                                                  \
    "fstp %%st(0)\n\t"                                                                                  \
    "cmpq %[" END "], %[" P "]\n\t"                                                                     \
    "je " ENDLABEL "\n\t"                                                                               \
    "cmpq %[" LOOK "], %[" P "]\n\t"                                                                    \
    "je " LOOKLABEL "\n\t"

// At a lookup: d = |x| + |y| not below the run radius bound means no run
// of the tables starts here for this delta; the lookup is not made and the
// next is due kLookupRetry steps on. Otherwise the lane stops (STOP).
#define QUILLON_PAIR_LOOK(P, LOOK, X0, Y2, STOP, BACK)                                                   \
    "fld %%st(" X0 ")\n\t"                                                                              \
    "fabs\n\t"                                                                                          \
    "fld %%st(" Y2 ")\n\t"                                                                              \
    "fabs\n\t"                                                                                          \
    "faddp %%st, %%st(1)\n\t" /* d x y */                                                              \
    "flds 36(%[" P "])\n\t"                                                                             \
    "fcomip %%st(1), %%st\n\t" /* run > d ? */                                                         \
    "fstp %%st(0)\n\t"                                                                                  \
    "ja " STOP "\n\t"                                                                                   \
    "addq %[retry], %[" LOOK "]\n\t"                                                                    \
    "jmp " BACK "\n"

// The single-step loop's tests, entered with [d x y], on W = Z_{m+1} + z:
// s = |W.x| + |W.y| not below `inside` (unordered included) may be an
// escape (ESC, entered with [s d x y]); d > s rebases (REB); then the end
// of the run (ENDLABEL) and a lookup (LOOKLABEL); otherwise back to BACK.
// REB, ENDLABEL, LOOKLABEL and BACK are entered with the stack as it was at
// the step's start.
#define QUILLON_PAIR_TESTS(P, END, LOOK, X2, Y4, ESC, REB, ENDLABEL, LOOKLABEL, BACK)                    \
    "fldl (%[" P "])\n\t"                                                                               \
    "faddl 8(%[" P "])\n\t"                                                                             \
    "fadd %%st(" X2 "), %%st\n\t"                                                                       \
    "fabs\n\t"                /* |Wx| d x y */                                                         \
    "fldl 16(%[" P "])\n\t"                                                                             \
    "faddl 24(%[" P "])\n\t"                                                                            \
    "fadd %%st(" Y4 "), %%st\n\t"                                                                       \
    "fabs\n\t"                /* |Wy| |Wx| d x y */                                                    \
    "faddp %%st, %%st(1)\n\t" /* s d x y */                                                            \
    "flds %c[oInside](%[ctx])\n\t"                                                                      \
    "fcomip %%st(1), %%st\n\t" /* inside > s ? */                                                      \
    "jbe " ESC "\n\t"                                                                                   \
    "fxch %%st(1)\n\t"        /* d s x y */                                                            \
    "fcomip %%st(1), %%st\n\t" /* d > s ? */                                                           \
    "fstp %%st(0)\n\t"                                                                                  \
    "ja " REB "\n\t"                                                                                    \
    "cmpq %[" END "], %[" P "]\n\t"                                                                     \
    "je " ENDLABEL "\n\t"                                                                               \
    "cmpq %[" LOOK "], %[" P "]\n\t"                                                                    \
    "je " LOOKLABEL "\n\t"                                                                              \
    "jmp " BACK "\n"

} // namespace

PairResult StepPair(PairSteps& pair)
{
    const SplitComplex* pA = pair.lane[0].at;
    const SplitComplex* pB = pair.lane[1].at;
    const SplitComplex* lookA = pair.lane[0].look;
    const SplitComplex* lookB = pair.lane[1].look;
    long stop = 0;
    __asm__ volatile(
        "fldt %c[oYB](%[ctx])\n\t"
        "fldt %c[oXB](%[ctx])\n\t"
        "fldt %c[oYA](%[ctx])\n\t"
        "fldt %c[oXA](%[ctx])\n"  // xA yA xB yB
        ".Lpair_top%=:\n\t"
        QUILLON_PAIR_STEP("pA", "oCxA", "oCyA", "1", "3", "4", "4", "3")
        QUILLON_PAIR_CALM("pA", "endA", "lookA", "0", "2", ".Lpair_fullA%=", ".Lpair_endA%=", ".Lpair_lookA%=")
        ".Lpair_B%=:\n\t"
        QUILLON_PAIR_STEP("pB", "oCxB", "oCyB", "3", "5", "6", "6", "5")
        QUILLON_PAIR_CALM("pB", "endB", "lookB", "2", "4", ".Lpair_fullB%=", ".Lpair_endB%=", ".Lpair_lookB%=")
        "jmp .Lpair_top%=\n"
        ".Lpair_fullA%=:\n\t"
        QUILLON_PAIR_TESTS("pA", "endA", "lookA", "2", "4", ".Lpair_escA%=", ".Lpair_rebA%=", ".Lpair_endA%=",
                           ".Lpair_lookA%=", ".Lpair_B%=")
        ".Lpair_fullB%=:\n\t"
        QUILLON_PAIR_TESTS("pB", "endB", "lookB", "4", "6", ".Lpair_escB%=", ".Lpair_rebB%=", ".Lpair_endB%=",
                           ".Lpair_lookB%=", ".Lpair_top%=")
        ".Lpair_lookA%=:\n\t"
        QUILLON_PAIR_LOOK("pA", "lookA", "0", "2", ".Lpair_endA%=", ".Lpair_B%=")
        ".Lpair_lookB%=:\n\t"
        QUILLON_PAIR_LOOK("pB", "lookB", "2", "4", ".Lpair_endB%=", ".Lpair_top%=")
        ".Lpair_escA%=:\n\t"
        "fstp %%st(0)\n\t"
        "fstp %%st(0)\n\t"
        "movq $0, %[stop]\n\t"
        "jmp .Lpair_out%=\n"
        ".Lpair_rebA%=:\n\t"
        "movq $1, %[stop]\n\t"
        "jmp .Lpair_out%=\n"
        ".Lpair_endA%=:\n\t"
        "movq $2, %[stop]\n\t"
        "jmp .Lpair_out%=\n"
        ".Lpair_escB%=:\n\t"
        "fstp %%st(0)\n\t"
        "fstp %%st(0)\n\t"
        "movq $4, %[stop]\n\t"
        "jmp .Lpair_out%=\n"
        ".Lpair_rebB%=:\n\t"
        "movq $5, %[stop]\n\t"
        "jmp .Lpair_out%=\n"
        ".Lpair_endB%=:\n\t"
        "movq $6, %[stop]\n"
        ".Lpair_out%=:\n\t"
        "fstpt %c[oXA](%[ctx])\n\t"
        "fstpt %c[oYA](%[ctx])\n\t"
        "fstpt %c[oXB](%[ctx])\n\t"
        "fstpt %c[oYB](%[ctx])\n\t"
        : [pA] "+r"(pA), [pB] "+r"(pB), [lookA] "+r"(lookA), [lookB] "+r"(lookB), [stop] "=&r"(stop)
        : [ctx] "r"(&pair), [endA] "r"(pair.lane[0].end), [endB] "r"(pair.lane[1].end),
          [oXA] "i"(offsetof(PairSteps, lane[0].x)), [oYA] "i"(offsetof(PairSteps, lane[0].y)),
          [oCxA] "i"(offsetof(PairSteps, lane[0].cx)), [oCyA] "i"(offsetof(PairSteps, lane[0].cy)),
          [oXB] "i"(offsetof(PairSteps, lane[1].x)), [oYB] "i"(offsetof(PairSteps, lane[1].y)),
          [oCxB] "i"(offsetof(PairSteps, lane[1].cx)), [oCyB] "i"(offsetof(PairSteps, lane[1].cy)),
          [oInside] "i"(offsetof(PairSteps, inside)), [oTwo] "i"(offsetof(PairSteps, two)),
          [retry] "i"(kLookupRetry * sizeof(SplitComplex))
        : "cc", "memory", "st", "st(1)", "st(2)", "st(3)", "st(4)", "st(5)", "st(6)", "st(7)");
    pair.lane[0].at = pA;
    pair.lane[1].at = pB;
    pair.lane[0].look = lookA;
    pair.lane[1].look = lookB;
    return {static_cast<int>(stop >> 2), static_cast<PairStop>(stop & 3)};
}

#undef QUILLON_PAIR_STEP
#undef QUILLON_PAIR_CALM
#undef QUILLON_PAIR_LOOK
#undef QUILLON_PAIR_TESTS

#else

bool PairStepsAvailable() { return false; }

PairResult StepPair(PairSteps&) { return {0, PairStop::End}; }

#endif // __x86_64__

} // namespace deep
