// Row kernels in C++ and the choice of a row kernel for a value function, with the processor probes the choice rests on.
//
// Every value below is computed by the same IEEE operation on the same
// operands as in the scalar kernels of Kernels.cpp, so every count is the
// same; what changes is which registers hold the values, how many orbits run
// at once, and that values needed twice are computed once. The level-set and
// Julia loops, written in x87 assembly, are in RowKernelsX87.cpp.
#include "engine/RowKernels.h"

#include <cmath>

#include "engine/ModularFormulas.h"
#include "engine/Kernels.h"

namespace engine {
namespace {

#if defined(__x86_64__)

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
// saves a call per iteration. FPATAN pops: st(1) is gone afterwards.
inline Extended ArcTan87(Extended x)
{
    Extended r;
    __asm__("fpatan" : "=t"(r) : "0"(1.0L), "u"(x) : "st(1)");
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
    bool Running() const { return formulas::QuadraticGoesOn(n, u, v); }
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

// The modular family: the formulas of ModularFormulas.h on a pair instead of
// a triple (no modular formula reads Z), with the truncation of the
// remainder done by FISTTP: truncation toward zero into a signed 32-bit
// integer, the integer indefinite -2^31 for NaN and anything out of range,
// exactly what TruncToInt32 computes. The compiled TruncToInt32 switches the
// x87 rounding mode twice per component (FLDCW), which costs more than the
// rest of an iteration and varies with code placement from one build to the
// next.

struct Pair {
    Extended X;
    Extended Y;
};

inline Extended Trunc32(Extended v)
{
    std::int32_t r;
    __asm__("fisttpl %0" : "=m"(r) : "t"(v) : "st");
    return static_cast<Extended>(r);
}

// The pair operations in the order of operations of Triple.h.
struct PairArith {
    using Value = Pair;
    static Pair Make(Extended x, Extended y) { return {x, y}; }
    static Pair Add(Pair a, Pair b) { return {a.X + b.X, a.Y + b.Y}; }
    static Pair Sub(Pair a, Pair b) { return {a.X - b.X, a.Y - b.Y}; }
    static Pair Sqr(Pair a) { return {(a.X * a.X) - (a.Y * a.Y), (a.X * 2.0L) * a.Y}; }
    static Pair Mul(Pair a, Pair b) { return {(a.X * b.X) - (a.Y * b.Y), (a.X * b.Y) + (a.Y * b.X)}; }
    static Pair Div(Pair a, Pair b)
    {
        const Extended d = (b.X * b.X) + (b.Y * b.Y);
        return {((a.X * b.X) + (a.Y * b.Y)) / d, ((b.X * a.Y) - (a.X * b.Y)) / d};
    }
    static Pair Mod(Pair a, Pair b)
    {
        const Pair q = Div(a, b);
        return Sub(a, Mul(Pair{Trunc32(q.X), Trunc32(q.Y)}, b));
    }
    // Both from one FSINCOS where it gives what FSIN and FCOS give.
    static void SinCos(Extended v, Extended& s, Extended& c)
    {
        if (SinCosMatchesSeparateInstructions()) {
            SinCos87(v, s, c);
        } else {
            s = Sin87(v);
            c = Cos87(v);
        }
    }
};

// One orbit after the other: two in flight lose more to spilled 80-bit
// values than they gain (docs/performance.md).
template <std::int32_t (*Formula)(Extended, Extended)>
void ModularRow(const Extended* px, Extended py, int count, std::uint8_t* out, std::int32_t)
{
    for (int j = 0; j < count; ++j)
        out[j] = LowByte(Formula(px[j], py));
}

struct RowKernelEntry {
    TValueFunction kernel;
    RowKernel row;
};

#define QUILLON_MODULAR_ROW_ENTRY(NAME) {NAME, ModularRow<formulas::NAME<PairArith>>},
constexpr RowKernelEntry kModularRows[] = {
    QUILLON_MODULAR_FORMULAS(QUILLON_MODULAR_ROW_ENTRY)
    {RN3Kernel3, ModularRow<formulas::RN1Kernel4<PairArith>>},
};
#undef QUILLON_MODULAR_ROW_ENTRY

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
        while (formulas::QuadraticGoesOn(n, u, v)) {
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

// The sine of u in one iteration is the sine of the u the previous iteration
// left, whose cosine that iteration took: one FSINCOS per iteration instead
// of an FSIN and an FCOS. Two orbits run side by side so that their FSINCOS
// sequences overlap; a lane whose orbit ends takes the next column.
void RN6Kernel1Row(const Extended* px, Extended py, int count, std::uint8_t* out, std::int32_t)
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

void RN6Kernel4Row(const Extended* px, Extended py, int count, std::uint8_t* out, std::int32_t)
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