// What the modular kernel formulas share, written once for the per-point and the row kernels: constants, bailout tests, the loop and common steps.
//
// A modular formula is a function template over an arithmetic A, which
// names the number type of the running value and how its operations are
// done:
//
//   A::Value                  a type with Extended members X and Y
//   A::Make(x, y)             the value x + iy (a triple gets Z = 0)
//   A::Add, A::Mul, A::Sqr    the complex operations of Triple.h, in its order of operations
//   A::Mod(a, b)              a - b * trunc(a / b), truncation through a signed 32-bit integer
//   A::SinCos(v, s, c)        s = Sin87(v) and c = Cos87(v)
//
// Kernels.cpp instantiates them on triples with the operations of Triple.h;
// RowKernels.cpp on pairs with FISTTP for the truncation and one FSINCOS for
// a sine and cosine of the same value. Each computes the same IEEE operations
// on the same operands, so both give the same counts; a change to a formula
// made here reaches both.
#pragma once

#include <cmath>
#include <cstdint>

#include "engine/Triple.h"

namespace engine::formulas {

// ---- constants ----

struct Complex {
    Extended X;
    Extended Y;
};

template <class A>
inline typename A::Value Of(Complex c)
{
    return A::Make(c.X, c.Y);
}

constexpr std::int32_t kModularLimit = 50;
constexpr std::int32_t kQuadraticLimit = 200;
constexpr Extended kQuadraticBailout = 10000.0L;

constexpr Complex kZero{0.0L, 0.0L};
// The standard moduli.
constexpr Complex kM0{32000.876123L, 31000.13143L};
constexpr Complex kM1{1300.876123L, 1300.13143L};
// Start value of RN3Kernel5, RN3Kernel6 and RN4Kernel1.
constexpr Complex kStartRN3Kernel5{1.5L, 1.3L};
// Imaginary part of the multipliers of RN3Kernel1, RN3Kernel2, RN4Kernel1 and RN5Kernel1 … RN5Kernel6.
constexpr Extended kMulImag = 1.3659123456L;
// Values that several formulas share, named after the first that uses them.
constexpr Complex kMulRN1Kernel1{2.123L, -0.523456L};
constexpr Complex kMulRN1Kernel3{1.123L, 1.123456L};
constexpr Complex kMulRN1Kernel5{1.123L, 2.123456L};
constexpr Complex kMulRN2Kernel2{1.00123L, 1.00123456L};
constexpr Complex kMulRN2Kernel3{1.0000123L, 1.0000123456L};
constexpr Complex kMulRN3Kernel1{0.16000123L, kMulImag};
constexpr Complex kMulRN5Kernel5{1.16000123L, kMulImag};
constexpr Complex kBoxRN5Kernel1{13.876123L, 13.13143L};
constexpr Complex kFactorRN5Kernel5{-1.876123L, -1.13143L};

// ---- bailout tests: true when the orbit stops ----

struct SquareSum {
    Extended bound;
    template <class V>
    bool operator()(const V& z) const
    {
        return z.X * z.X + z.Y * z.Y >= bound;
    }
};

struct AbsSum {
    Extended bound;
    template <class V>
    bool operator()(const V& z) const
    {
        return std::fabs(z.X) + std::fabs(z.Y) >= bound;
    }
};

struct AbsProduct {
    Extended bound;
    template <class V>
    bool operator()(const V& z) const
    {
        return std::fabs(z.X * z.Y) >= bound;
    }
};

// Signed components: only a large positive one stops the orbit.
struct SignedLarger {
    Extended bound;
    template <class V>
    bool operator()(const V& z) const
    {
        return Larger(z.X, z.Y) >= bound;
    }
};

// g*g + g with g the larger magnitude.
struct LargerSquare {
    Extended bound;
    template <class V>
    bool operator()(const V& z) const
    {
        const Extended g = Larger(std::fabs(z.X), std::fabs(z.Y));
        return g * g + g >= bound;
    }
};

struct CosWeighted {
    Extended bound;
    template <class V>
    bool operator()(const V& z) const
    {
        return Cos87(z.X * 0.01L) * z.X + Cos87(z.Y * 0.01L) * z.Y >= bound;
    }
};

// The escape test of the quadratic family, on the squares u and v.
inline bool QuadraticGoesOn(std::int32_t n, Extended u, Extended v)
{
    return n < kQuadraticLimit && u + v < kQuadraticBailout;
}

// ---- the loop and the shared steps of the modular family ----

// Counter first, then the bailout test on the current z, then one step.
template <class V, class Step, class Stop>
inline std::int32_t Orbit(V z, Step step, Stop stop)
{
    std::int32_t n = 0;
    while (n < kModularLimit && !stop(z)) {
        step(z);
        ++n;
    }
    return n;
}

// z := (z*m + a) mod M
template <class A, class V>
inline void AffineMod(V& z, const V& m, const V& a, const V& M)
{
    z = A::Mod(A::Add(A::Mul(z, m), a), M);
}

// The orbit of z := (z*m + a) mod M from `start`. m and M are template
// arguments so that the compiler sees them as constants (and folds the
// divisor M.X*M.X + M.Y*M.Y of the remainder), as it does a named constant.
template <class A, Complex m, Complex M, class Stop>
inline std::int32_t AffineModOrbit(typename A::Value start, typename A::Value a, Stop stop)
{
    return Orbit(start, [&](auto& z) { AffineMod<A>(z, Of<A>(m), a, Of<A>(M)); }, stop);
}

// The cosine-gated steps of the RN5 kernels: G1 (or G1A), then G2 with the
// new x. G1 changes only x, so the sine G1 may need and the sine and cosine
// G2 tests are all of the y the step starts with.
template <class A, class V>
inline void G1G2(V& z)
{
    Extended sinY, cosY;
    A::SinCos(z.Y, sinY, cosY);
    const Extended cosX = Cos87(z.X);
    z.X = (cosX > 0.0L) ? z.X * cosX : z.X * sinY;
    z.Y = (cosY > 0.0L) ? z.Y * sinY : z.Y * Cos87(z.X);
}

template <class A, class V>
inline void G1AG2(V& z)
{
    Extended sinY, cosY;
    A::SinCos(z.Y, sinY, cosY);
    z.X = (Cos87(z.X) > 0.0L) ? z.X * ArcTan(z.X) : z.X * sinY;
    z.Y = (cosY > 0.0L) ? z.Y * sinY : z.Y * Cos87(z.X);
}

} // namespace engine::formulas
