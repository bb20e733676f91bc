// The counts by plain iteration in MPFR: the yardstick the perturbation is checked and timed against.
#pragma once

#include <cstdint>

#include "deep/Mapping.h"

namespace deep {

// The count of pixel (column, row) of the mapping, iterating every value in
// MPFR at `bits` with the extended engine's order of operations and tests.
std::int32_t DirectCount(const Mapping& mapping, const FormulaParams& params, int column, int row, mpfr_prec_t bits);

} // namespace deep
