// The modular formulas of the RN1, RN2 and RN3 windows, written once over the arithmetic described in KernelFormulas.h.
#pragma once

#include <cstdint>

#include "engine/KernelFormulas.h"

namespace engine::formulas {

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

} // namespace engine::formulas
