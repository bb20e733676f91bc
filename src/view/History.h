// The views a fractal window has shown, with the finished pictures it keeps to return to them at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "engine/PointSets.h"
#include "deep/DeepRegion.h"
#include "engine/Region.h"
#include "fractals/Catalogue.h"

namespace view {

// What a calculation draws: the region's four stored values, the formula,
// its parameters and the colour offset.
struct HistoryView {
    engine::Region region;
    engine::TValueFunction valueFunction = nullptr;
    std::uint8_t colourOffset = 0;
    fractals::Parameters parameters;
    std::optional<deep::DeepRegion> deep; // drawn in place of the region when set
};

// The finished iteration buffers every window keeps, one budget for the
// whole process: the least recently used buffer goes first.
class PictureStore {
public:
    static constexpr std::size_t kBudgetBytes = std::size_t{256} << 20;

    static PictureStore& Instance();
    explicit PictureStore(std::size_t budgetBytes = kBudgetBytes) : budget_(budgetBytes) {}

    // Returns the key the buffer is found under later.
    std::uint64_t Keep(std::vector<std::uint8_t> buffer);
    // The buffer, now the most recently used; null once it was dropped.
    std::shared_ptr<const std::vector<std::uint8_t>> Find(std::uint64_t key);
    void Drop(std::uint64_t key);
    std::size_t BytesKept() const { return bytes_; }

private:
    struct Kept {
        std::uint64_t key;
        std::shared_ptr<const std::vector<std::uint8_t>> buffer;
    };
    std::size_t budget_;
    std::size_t bytes_ = 0;
    std::uint64_t nextKey_ = 1;
    std::vector<Kept> kept_; // least recently used first
};

// Back and Forward as a browser has them: a new view after Back drops the
// views ahead of it. At most kMaxViews are remembered, the oldest goes first.
class ViewHistory {
public:
    static constexpr std::size_t kMaxViews = 32;

    explicit ViewHistory(PictureStore& store = PictureStore::Instance()) : store_(store) {}
    ~ViewHistory();
    ViewHistory(const ViewHistory&) = delete;
    ViewHistory& operator=(const ViewHistory&) = delete;

    // The view a calculation goes to becomes the current one.
    void Record(const HistoryView& view);
    bool CanStep(int step) const;
    // Moves by step (-1 back, +1 forward) and returns the view now current.
    const HistoryView& Step(int step);
    // The finished picture of the current view.
    void KeepCurrent(std::vector<std::uint8_t> buffer);
    // The current view's kept buffer, or null when it must be calculated again.
    std::shared_ptr<const std::vector<std::uint8_t>> CurrentBuffer() const;
    std::size_t Size() const { return views_.size(); }
    std::size_t CurrentIndex() const { return current_; }
    // The view `index` places after the oldest one remembered.
    const HistoryView& At(std::size_t index) const { return views_.at(index).view; }

private:
    struct Entry {
        HistoryView view;
        std::uint64_t key = 0; // 0: no buffer
    };
    void Release(Entry& e);
    PictureStore& store_;
    std::vector<Entry> views_;
    std::size_t current_ = 0;
};

} // namespace view
