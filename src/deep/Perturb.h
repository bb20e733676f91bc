// Counts of deep pixels by perturbation against a shared reference, and whole pictures on the row pool.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "deep/Reference.h"
#include "engine/RowPool.h"

namespace deep {

// The count of the point reference + dc: the same number the extended
// engine's count means (limit first, then the escape test on each new
// iterate), with the delta carried in extended precision.
std::int32_t Count(const Reference& reference, Complex dc);

// Statistics a caller may want about how a picture was computed.
struct RowStats {
    std::uint64_t steps = 0;   // iterations taken one at a time
    std::uint64_t skipped = 0; // iterations skipped by the tables
    std::uint64_t rebases = 0;
};
std::int32_t Count(const Reference& reference, Complex dc, RowStats& stats);

// The counts of one row of the mapping's picture.
void CountRow(const Reference& reference, const Mapping& mapping, int row, std::int32_t* out);
// The cells (low 8 bits of the counts) of one row.
void CellRow(const Reference& reference, const Mapping& mapping, int row, std::uint8_t* out);

// Computes rows firstRow ... lastRow - 1 on the pool and hands each to
// `sink` in order. Returns false when `cancel` was set: the rows in
// flight then finish, no other row starts and the sink gets no more.
using RowSink = std::function<void(int row, const std::uint8_t* cells)>;
bool ComputeRows(const Reference& reference, const Mapping& mapping, int firstRow, int lastRow, const RowSink& sink,
                 const std::atomic<bool>* cancel = nullptr, engine::RowPool& pool = engine::RowPool::Instance(),
                 engine::RowPool::Priority priority = engine::RowPool::Priority::Interactive);

} // namespace deep
