// The pixel kernels of the random-set and level-set windows.
#pragma once

#include <cstdint>

#include "engine/PointSets.h"

namespace engine {

// Modular family (limit 50).
std::int32_t RN1Kernel1(TBasicSet& S);
std::int32_t RN1Kernel2(TBasicSet& S);
std::int32_t RN1Kernel3(TBasicSet& S);
std::int32_t RN1Kernel4(TBasicSet& S);
std::int32_t RN1Kernel5(TBasicSet& S);
std::int32_t RN1Kernel6(TBasicSet& S);
std::int32_t RN2Kernel1(TBasicSet& S);
std::int32_t RN2Kernel2(TBasicSet& S);
std::int32_t RN2Kernel3(TBasicSet& S);
std::int32_t RN2Kernel4(TBasicSet& S);
std::int32_t RN2Kernel5(TBasicSet& S);
std::int32_t RN2Kernel6(TBasicSet& S);
std::int32_t RN3Kernel1(TBasicSet& S);
std::int32_t RN3Kernel2(TBasicSet& S);
std::int32_t RN3Kernel3(TBasicSet& S); // the formula of RN1Kernel4
std::int32_t RN3Kernel4(TBasicSet& S);
std::int32_t RN3Kernel5(TBasicSet& S);
std::int32_t RN3Kernel6(TBasicSet& S);
std::int32_t RN4Kernel1(TBasicSet& S);
std::int32_t RN4Kernel2(TBasicSet& S);
std::int32_t RN4Kernel3(TBasicSet& S);
std::int32_t RN4Kernel4(TBasicSet& S);
std::int32_t RN4Kernel5(TBasicSet& S);
std::int32_t RN5Kernel1(TBasicSet& S);
std::int32_t RN5Kernel2(TBasicSet& S);
std::int32_t RN5Kernel3(TBasicSet& S);
std::int32_t RN5Kernel4(TBasicSet& S);
std::int32_t RN5Kernel5(TBasicSet& S);
std::int32_t RN5Kernel6(TBasicSet& S);
std::int32_t RN6Kernel6(TBasicSet& S);

// Quadratic family (limit 200; LevelSetKernel's is the set's IterationLimit).
std::int32_t LevelSetKernel(TBasicSet& S);
std::int32_t RN6Kernel1(TBasicSet& S);
std::int32_t RN6Kernel4(TBasicSet& S);

// The same three quadratic formulas on plain coordinates, for callers that
// have no set object at hand.
std::int32_t LevelSetAt(Extended px, Extended py, std::int32_t limit = kDefaultIterationLimit);
std::int32_t RN6Kernel1At(Extended px, Extended py);
std::int32_t RN6Kernel4At(Extended px, Extended py);

} // namespace engine
