// Whole-row versions of the quadratic kernels that keep several orbits in flight, bit for bit equal to the scalar ones.
#pragma once

#include <cstdint>

#include "engine/PointSets.h"

namespace engine {

// Fills out[j] with the low byte of the kernel's result at (px[j], py) for
// j in [0, count). Every result equals the scalar kernel's (LevelSetAt,
// RN6Kernel1At, RN6Kernel4At) at the same point; only the order in which the
// orbits are run differs.
// `limit` is the iteration limit of LevelSetKernel; the other kernels'
// counts have limits of their own and ignore it.
using RowKernel = void (*)(const Extended* px, Extended py, int count, std::uint8_t* out, std::int32_t limit);

// The byte of a count that the buffer keeps.
inline std::uint8_t LowByte(std::int32_t n) { return static_cast<std::uint8_t>(static_cast<std::uint32_t>(n) & 0xFFu); }

void LevelSetRow(const Extended* px, Extended py, int count, std::uint8_t* out,
                 std::int32_t limit = kDefaultIterationLimit);
void RN6Kernel1Row(const Extended* px, Extended py, int count, std::uint8_t* out, std::int32_t limit = 0);
void RN6Kernel4Row(const Extended* px, Extended py, int count, std::uint8_t* out, std::int32_t limit = 0);

// CountJuliaSet on a TJUSet whose JuliaConst is (cx, cy) and IterationLimit `limit`, for the points
// (px[j], py), j in [0, count): the same counts as the set object gives,
// without a virtual call and a triple stored and reloaded per step.
void JuliaRow(const Extended* px, Extended py, Extended cx, Extended cy, int count, std::uint8_t* out,
              std::int32_t limit = kDefaultIterationLimit);

// The row kernel standing in for a value function, or nullptr when the value
// function has none (it then runs pixel by pixel).
RowKernel FindRowKernel(TValueFunction fn);

// True when the processor's FSINCOS gives the same two values as FSIN and
// FCOS apart, checked once on a spread of arguments. RN6Kernel1Row takes both
// from one FSINCOS only then.
bool SinCosMatchesSeparateInstructions();

// True when FPATAN of (x, 1) gives the library's ArcTan, checked once the
// same way. RN6Kernel4Row inlines the instruction only then.
bool ArcTanMatchesInstruction();

} // namespace engine
