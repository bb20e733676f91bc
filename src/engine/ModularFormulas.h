// Each modular kernel formula written once, over the arithmetic described in KernelFormulas.h:
// those of the RN1 to RN3 windows in ModularFormulasRN1to3.h, those of RN4 to RN6 here.
#pragma once

#include <cstdint>

#include "engine/KernelFormulas.h"
#include "engine/ModularFormulasRN1to3.h"

namespace engine::formulas {

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
