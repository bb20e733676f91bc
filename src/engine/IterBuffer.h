// The 1024 x 768 iteration buffer, shared between a calculation and the user interface.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "engine/Region.h"

namespace engine {

// Bytes are relaxed atomics: a calculation writes rows while the interface
// may read any byte (the POV-Ray export runs during a calculation). Ordering
// between a finished row and its readers comes from the row counter's
// release/acquire pair, not from these bytes.
class IterBuffer {
public:
    IterBuffer() { Fill(0); }

    std::uint8_t Get(int row, int column) const
    {
        return cells_[static_cast<std::size_t>(row) * kBufferWidth + column].load(std::memory_order_relaxed);
    }
    std::uint8_t At(std::size_t index) const { return cells_[index].load(std::memory_order_relaxed); }
    void Set(std::size_t index, std::uint8_t v) { cells_[index].store(v, std::memory_order_relaxed); }

    void StoreRow(int row, const std::uint8_t* values)
    {
        std::atomic<std::uint8_t>* dst = &cells_[static_cast<std::size_t>(row) * kBufferWidth];
        for (int j = 0; j < kBufferWidth; ++j)
            dst[j].store(values[j], std::memory_order_relaxed);
    }

    void LoadRow(int row, std::uint8_t* out) const
    {
        const std::atomic<std::uint8_t>* src = &cells_[static_cast<std::size_t>(row) * kBufferWidth];
        for (int j = 0; j < kBufferWidth; ++j)
            out[j] = src[j].load(std::memory_order_relaxed);
    }

    void Fill(std::uint8_t v)
    {
        for (auto& c : cells_)
            c.store(v, std::memory_order_relaxed);
    }

    // A plain copy of the current contents, row 0 first.
    std::vector<std::uint8_t> Snapshot() const
    {
        std::vector<std::uint8_t> out(kBufferCells);
        for (int r = 0; r < kBufferHeight; ++r)
            LoadRow(r, out.data() + static_cast<std::size_t>(r) * kBufferWidth);
        return out;
    }

private:
    std::array<std::atomic<std::uint8_t>, kBufferCells> cells_;
};

} // namespace engine
