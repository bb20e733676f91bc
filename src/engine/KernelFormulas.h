// Each modular kernel formula, bailout test and limit written once, for the per-point and the row kernels.
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

// ---- the modular family: one function template per formula ----
//
// Each takes the pixel (px, py) and returns the count. RN3Kernel3 is
// RN1Kernel4 under another button and has no formula of its own.

template <class A>
std::int32_t RN1Kernel1(Extended px, Extended py)
{
    return AffineModOrbit<A, kMulRN1Kernel1, kM0>(A::Make(px, py), Of<A>(kZero), SquareSum{1500000000.0L});
}

template <class A>
std::int32_t RN1Kernel2(Extended px, Extended py)
{
    return AffineModOrbit<A, kMulRN1Kernel1, kM0>(A::Make(px, py), Of<A>(kZero), AbsSum{55000.0L});
}

template <class A>
std::int32_t RN1Kernel3(Extended px, Extended py)
{
    return AffineModOrbit<A, kMulRN1Kernel3, kM0>(Of<A>(kZero), A::Make(px, py), SquareSum{1500000000.0L});
}

template <class A>
std::int32_t RN1Kernel4(Extended px, Extended py)
{
    return AffineModOrbit<A, kMulRN1Kernel3, kM0>(Of<A>(kZero), A::Make(px, py), AbsSum{55000.0L});
}

template <class A>
std::int32_t RN1Kernel5(Extended px, Extended py)
{
    return AffineModOrbit<A, kMulRN1Kernel5, kM0>(Of<A>(kZero), A::Make(px, py), LargerSquare{300000000.0L});
}

template <class A>
std::int32_t RN1Kernel6(Extended px, Extended py)
{
    return AffineModOrbit<A, kMulRN1Kernel5, kM0>(Of<A>(kZero), A::Make(px, py), SignedLarger{30000.0L});
}

template <class A>
std::int32_t RN2Kernel1(Extended px, Extended py)
{
    return AffineModOrbit<A, kMulRN1Kernel5, kM0>(Of<A>(kZero), A::Make(px, py), AbsProduct{550000000.0L});
}

template <class A>
std::int32_t RN2Kernel2(Extended px, Extended py)
{
    return AffineModOrbit<A, kMulRN2Kernel2, kM0>(Of<A>(kZero), A::Make(px, py), AbsProduct{550000000.0L});
}

template <class A>
std::int32_t RN2Kernel3(Extended px, Extended py)
{
    return AffineModOrbit<A, kMulRN2Kernel3, Complex{1000.876123L, 31000.13143L}>(
        Of<A>(kZero), A::Make(px, py), AbsProduct{550000000.0L});
}

template <class A>
std::int32_t RN2Kernel4(Extended px, Extended py)
{
    return AffineModOrbit<A, kMulRN2Kernel3, kM1>(Of<A>(kZero), A::Make(px, py), AbsProduct{800000.0L});
}

template <class A>
std::int32_t RN2Kernel5(Extended px, Extended py)
{
    return AffineModOrbit<A, Complex{1.0000123L, 0.69123456L}, kM1>(
        Of<A>(kZero), A::Make(px, py), AbsProduct{800000.0L});
}

template <class A>
std::int32_t RN2Kernel6(Extended px, Extended py)
{
    return AffineModOrbit<A, Complex{0.26000123L, 1.2659123456L}, kM1>(
        Of<A>(kZero), A::Make(px, py), AbsProduct{800000.0L});
}

template <class A>
std::int32_t RN3Kernel1(Extended px, Extended py)
{
    return AffineModOrbit<A, kMulRN3Kernel1, kM1>(Of<A>(kZero), A::Make(px, py), AbsProduct{800000.0L});
}

template <class A>
std::int32_t RN3Kernel2(Extended px, Extended py)
{
    return AffineModOrbit<A, Complex{0.46000123L, kMulImag}, kM1>(
        Of<A>(kZero), A::Make(px, py), SignedLarger{1100.0L});
}

template <class A>
std::int32_t RN3Kernel4(Extended px, Extended py)
{
    return Orbit(A::Make(px, py), [&](auto& z) { z = A::Mod(A::Mul(z, A::Make(2.123L, 3.123456L)), Of<A>(kM0)); },
                 AbsSum{55000.0L});
}

template <class A>
std::int32_t RN3Kernel5(Extended px, Extended py)
{
    return AffineModOrbit<A, Complex{123.123L, 321.123456L}, kM0>(
        Of<A>(kStartRN3Kernel5), A::Make(px, py), SquareSum{1500000000.0L});
}

template <class A>
std::int32_t RN3Kernel6(Extended px, Extended py)
{
    return AffineModOrbit<A, Complex{1.00123L, 1.002123456L}, Complex{32000.876123L, 1000.13143L}>(
        Of<A>(kStartRN3Kernel5), A::Make(px, py), CosWeighted{10000.0L});
}

template <class A>
std::int32_t RN4Kernel1(Extended px, Extended py)
{
    const auto p = A::Make(px, py);
    return Orbit(Of<A>(kStartRN3Kernel5),
                 [&](auto& z) {
                     z = A::Sqr(A::Mod(A::Add(A::Mul(z, Of<A>(kMulRN3Kernel1)), p), A::Make(6.876123L, 26.13143L)));
                 },
                 CosWeighted{100.0L});
}

template <class A>
std::int32_t RN4Kernel2(Extended px, Extended py)
{
    const auto p = A::Make(px, py);
    return Orbit(Of<A>(kZero), [&](auto& z) { z = A::Mul(A::Add(A::Mod(z, A::Make(21.123L, -1.523456L)), p), p); },
                 SquareSum{150000.0L});
}

template <class A>
std::int32_t RN4Kernel3(Extended px, Extended py)
{
    const auto p = A::Make(px, py);
    return Orbit(p, [&](auto& z) { z = A::Mul(A::Add(A::Mod(A::Mul(z, z), A::Make(-210.123L, -110.523456L)), p), p); },
                 SquareSum{150000.0L});
}

// The modulus depends on the pixel and is zero where sin px = sin py = 0:
// the quotient then holds infinities or NaNs and the orbit goes on with them.
template <class A>
std::int32_t RN4Kernel4(Extended px, Extended py)
{
    const auto p = A::Make(px, py);
    const auto d = A::Make(-210.123L * Sin87(px), -110.523456L * Sin87(py));
    const auto q = A::Make(py, px);
    return Orbit(p, [&](auto& z) { z = A::Mul(A::Add(A::Mod(A::Mul(z, z), d), q), p); }, SquareSum{150000.0L});
}

template <class A>
std::int32_t RN4Kernel5(Extended px, Extended py)
{
    const auto p = A::Make(px, py);
    return Orbit(Of<A>(kZero),
                 [&](auto& z) {
                     AffineMod<A>(z, Of<A>(kMulRN2Kernel2), p, Of<A>(kM0));
                     z.X = z.X * Sin87(z.X);
                     z.Y = z.Y * Cos87(z.Y);
                 },
                 AbsProduct{55.0L});
}

template <class A>
std::int32_t RN5Kernel1(Extended px, Extended py)
{
    return Orbit(A::Make(px, py),
                 [&](auto& z) {
                     z = A::Mod(A::Mul(z, Of<A>(kMulRN3Kernel1)), Of<A>(kBoxRN5Kernel1));
                     Extended sinY, cosY;
                     A::SinCos(z.Y, sinY, cosY);
                     z.Y = (cosY > 0.0L) ? z.Y * sinY : z.Y * cosY;
                 },
                 AbsProduct{8.0L});
}

template <class A>
std::int32_t RN5Kernel2(Extended px, Extended py)
{
    return Orbit(A::Make(px, py),
                 [&](auto& z) {
                     z = A::Add(A::Mul(z, Of<A>(kMulRN3Kernel1)), Of<A>(kBoxRN5Kernel1));
                     G1G2<A>(z);
                 },
                 AbsProduct{100.0L});
}

template <class A>
std::int32_t RN5Kernel3(Extended px, Extended py)
{
    return Orbit(A::Make(px, py),
                 [&](auto& z) {
                     z = A::Mul(A::Mul(z, Of<A>(kMulRN3Kernel1)), Of<A>(kBoxRN5Kernel1));
                     G1G2<A>(z);
                 },
                 AbsProduct{100.0L});
}

template <class A>
std::int32_t RN5Kernel4(Extended px, Extended py)
{
    return Orbit(A::Make(px, py),
                 [&](auto& z) {
                     z = A::Mul(A::Mul(z, Of<A>(kMulRN3Kernel1)), A::Make(1.876123L, 1.13143L));
                     G1G2<A>(z);
                 },
                 AbsProduct{100.0L});
}

template <class A>
std::int32_t RN5Kernel5(Extended px, Extended py)
{
    const auto p = A::Make(px, py);
    return Orbit(Of<A>(kZero),
                 [&](auto& z) {
                     z = A::Mul(A::Add(A::Mul(z, Of<A>(kMulRN5Kernel5)), p), Of<A>(kFactorRN5Kernel5));
                     G1G2<A>(z);
                 },
                 AbsProduct{100.0L});
}

template <class A>
std::int32_t RN5Kernel6(Extended px, Extended py)
{
    return Orbit(A::Make(px, 0.0L),
                 [&](auto& z) {
                     z = A::Mul(A::Add(A::Mul(z, Of<A>(kMulRN5Kernel5)), A::Make(0.0L, py)), Of<A>(kFactorRN5Kernel5));
                     G1AG2<A>(z);
                 },
                 AbsProduct{100.0L});
}

// The result is the count + 2.
template <class A>
std::int32_t RN6Kernel6(Extended px, Extended py)
{
    const auto p = A::Make(px, py);
    return Orbit(Of<A>(kZero),
                 [&](auto& z) {
                     Extended sinY, cosY;
                     A::SinCos(z.Y, sinY, cosY);
                     z.X = z.X * (Cos87(z.X) + sinY);
                     z.Y = z.Y * (cosY + Sin87(z.X));
                     z = A::Add(A::Sqr(z), p);
                 },
                 AbsProduct{80.0L})
        + 2;
}

} // namespace engine::formulas

// Every modular formula but RN3Kernel3 (the formula of RN1Kernel4), for
// X(NAME) to make one kernel of each.
#define QUILLON_MODULAR_FORMULAS(X)                                                                       \
    X(RN1Kernel1) X(RN1Kernel2) X(RN1Kernel3) X(RN1Kernel4) X(RN1Kernel5) X(RN1Kernel6)                   \
    X(RN2Kernel1) X(RN2Kernel2) X(RN2Kernel3) X(RN2Kernel4) X(RN2Kernel5) X(RN2Kernel6)                   \
    X(RN3Kernel1) X(RN3Kernel2) X(RN3Kernel4) X(RN3Kernel5) X(RN3Kernel6)                                 \
    X(RN4Kernel1) X(RN4Kernel2) X(RN4Kernel3) X(RN4Kernel4) X(RN4Kernel5)                                 \
    X(RN5Kernel1) X(RN5Kernel2) X(RN5Kernel3) X(RN5Kernel4) X(RN5Kernel5) X(RN5Kernel6)                   \
    X(RN6Kernel6)
