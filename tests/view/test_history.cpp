// The history of views and the process-wide store of their pictures.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "view/History.h"

namespace {

view::HistoryView ViewAt(int k)
{
    view::HistoryView v;
    v.region.XStart = engine::Real48::FromExtended(static_cast<engine::Extended>(k));
    return v;
}

} // namespace

TEST(History, StoreDropsTheLeastRecentlyUsedBeyondItsBudget)
{
    view::PictureStore store(30);
    const std::uint64_t a = store.Keep(std::vector<std::uint8_t>(10, 1));
    const std::uint64_t b = store.Keep(std::vector<std::uint8_t>(10, 2));
    const std::uint64_t c = store.Keep(std::vector<std::uint8_t>(10, 3));
    ASSERT_NE(store.Find(a), nullptr); // a is now used more recently than b
    const std::uint64_t d = store.Keep(std::vector<std::uint8_t>(10, 4));
    EXPECT_EQ(store.Find(b), nullptr);
    ASSERT_NE(store.Find(a), nullptr);
    EXPECT_EQ((*store.Find(a))[0], 1);
    EXPECT_NE(store.Find(c), nullptr);
    EXPECT_NE(store.Find(d), nullptr);
    EXPECT_EQ(store.BytesKept(), 30u);
}

TEST(History, KeepsThirtyTwoViewsAndReleasesWhatItForgets)
{
    view::PictureStore store(1000);
    {
        view::ViewHistory h(store);
        for (int k = 0; k < 40; ++k) {
            h.Record(ViewAt(k));
            h.KeepCurrent(std::vector<std::uint8_t>(10, static_cast<std::uint8_t>(k)));
        }
        EXPECT_EQ(h.Size(), view::ViewHistory::kMaxViews);
        EXPECT_EQ(store.BytesKept(), 320u) << "forgotten views give their buffers back";
        int steps = 0;
        while (h.CanStep(-1)) {
            h.Step(-1);
            ++steps;
        }
        EXPECT_EQ(steps, 31);
        EXPECT_EQ(h.Step(0).region.XStart.ToExtended(), 8.0L) << "the oldest views went first";
        h.Step(1);
        h.Record(ViewAt(100));
        EXPECT_EQ(h.Size(), 3u) << "a new view after Back drops the views ahead";
        EXPECT_FALSE(h.CanStep(1));
        EXPECT_EQ(h.CurrentBuffer(), nullptr) << "the new view has no picture until it is finished";
        EXPECT_EQ(store.BytesKept(), 20u);
        EXPECT_THROW(h.Step(1), std::logic_error);
    }
    EXPECT_EQ(store.BytesKept(), 0u) << "a window that goes releases its pictures";
}
