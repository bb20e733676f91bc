// The frame regions of zoom movies: exact ends, constant zoom factor, the shared point held still.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/Real48.h"
#include "movie/ZoomPath.h"

namespace {

using engine::Extended;
using engine::Narrow;
using engine::RegionValues;
using movie::PathError;
using movie::PlanZoom;
using movie::ShareFrames;

// A region as a window holds it: every value through the 6-byte format.
RegionValues Stored(Extended xStart, Extended xWidth, Extended yStart, Extended yHeight)
{
    return {Narrow(xStart), Narrow(xWidth), Narrow(yStart), Narrow(yHeight)};
}

bool Same(const RegionValues& a, const RegionValues& b)
{
    return a.XStart == b.XStart && a.XWidth == b.XWidth && a.YStart == b.YStart && a.YHeight == b.YHeight;
}

std::string Text(const RegionValues& r)
{
    char text[160];
    std::snprintf(text, sizeof text, "(%.21Lg, %.21Lg, %.21Lg, %.21Lg)", r.XStart, r.XWidth, r.YStart, r.YHeight);
    return text;
}

using Quad = __float128;
Quad Abs(Quad v) { return v < 0 ? -v : v; }

struct Axis {
    Extended start0, extent0, start1, extent1;
};
Axis XOf(const RegionValues& a, const RegionValues& b) { return {a.XStart, a.XWidth, b.XStart, b.XWidth}; }
Axis YOf(const RegionValues& a, const RegionValues& b) { return {a.YStart, a.YHeight, b.YStart, b.YHeight}; }
Extended StartOf(const RegionValues& r, bool x) { return x ? r.XStart : r.YStart; }
Extended ExtentOf(const RegionValues& r, bool x) { return x ? r.XWidth : r.YHeight; }

struct PathCase {
    const char* name;
    RegionValues from, to;
    int frames;
};

const PathCase kPathCases[] = {
    {"Form1 into the seahorse valley x1e9", Stored(-2.5L, 4.0L, -1.5L, 3.0L),
     Stored(-0.743643887037L, 4.0e-9L, 0.131825904205L, 3.0e-9L), 300},
    {"zoom out x50", Stored(0.25L, 0.01L, -0.1L, 0.0075L), Stored(-1.0L, 0.5L, -0.4L, 0.375L), 97},
    {"aspect changes: x by 100, y by 10", Stored(-2.0L, 3.0L, -1.0L, 2.0L), Stored(-0.6L, 0.03L, 0.2L, 0.2L), 61},
    {"mirrored in both", Stored(1.0L, -2.0L, 1.0L, -1.5L), Stored(0.3L, -0.002L, 0.1L, -0.0015L), 40},
    {"shared point off the screen", Stored(0.0L, 1.0L, 0.0L, 1.0L), Stored(5.0L, 0.1L, -3.0L, 0.1L), 25},
    {"deepest the 6-byte region allows", Stored(-2.0L, 3.0L, -1.5L, 3.0L),
     Stored(-1.74999841099L, 3.0e-11L, -0.00000000282L, 3.0e-11L), 500},
    {"two frames: the ends only", Stored(-2.0L, 3.0L, -1.0L, 2.0L), Stored(-1.0L, 1.0L, -0.5L, 0.5L), 2},
    {"near move: widths one 6-byte step apart", Stored(0.0L, 1.0L, 0.0L, 1.0L),
     Stored(1000.0L, 1.0L + std::ldexp(1.0L, -39), 200.0L, 1.0L), 120},
};

class ZoomPathCase : public ::testing::TestWithParam<PathCase> {};

TEST_P(ZoomPathCase, EndsExactConstantFactorSharedPointStill)
{
    const PathCase& c = GetParam();
    const RegionValues views[] = {c.from, c.to};
    const movie::ZoomPlan plan = PlanZoom(views, c.frames);
    ASSERT_EQ(plan.frames.size(), static_cast<std::size_t>(c.frames));
    EXPECT_TRUE(Same(plan.frames.front(), c.from)) << Text(plan.frames.front());
    EXPECT_TRUE(Same(plan.frames.back(), c.to)) << Text(plan.frames.back());
    ASSERT_EQ(plan.viewFrames, (std::vector<int>{0, c.frames - 1}));

    for (bool x : {true, false}) {
        const Axis a = x ? XOf(c.from, c.to) : YOf(c.from, c.to);
        const char* axis = x ? "x" : "y";
        if (a.extent0 == a.extent1)
            continue;
        // The factor between consecutive frames, from the ends alone.
        const Extended factor = std::pow(a.extent1 / a.extent0, 1.0L / static_cast<Extended>(c.frames - 1));
        // The screen fraction u at the same plane point p in both views, in
        // quadruple precision: in extended, p would round with the larger of
        // the starts (1.5 beside a point 3e-9 in the deepest case).
        const Quad u = (Quad(a.start1) - Quad(a.start0)) / (Quad(a.extent0) - Quad(a.extent1));
        const Quad p = Quad(a.start0) + u * Quad(a.extent0);
        for (int k = 0; k < c.frames; ++k) {
            const RegionValues& f = plan.frames[static_cast<std::size_t>(k)];
            if (k + 1 < c.frames) {
                const Extended step = ExtentOf(plan.frames[static_cast<std::size_t>(k) + 1], x) / ExtentOf(f, x);
                EXPECT_NEAR(static_cast<double>(step / factor - 1.0L), 0.0, 1e-12) << axis << " frame " << k;
            }
            const Quad here = Quad(StartOf(f, x)) + u * Quad(ExtentOf(f, x));
            const Quad scale = std::max({Abs(p), Abs(u * Quad(ExtentOf(f, x))), Abs(Quad(StartOf(f, x)))});
            EXPECT_LE(static_cast<double>(Abs(here - p) / scale), 1e-15) << axis << " frame " << k;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, ZoomPathCase, ::testing::ValuesIn(kPathCases),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(ZoomPath, NearMoveStaysCloseToALinearMove)
{
    // Extents one 6-byte step apart put the shared point 2^39 screens away;
    // the start must still go along its straight way without wobble.
    const RegionValues from = Stored(0.0L, 1.0L, 0.0L, 1.0L);
    const RegionValues to = Stored(1000.0L, 1.0L + std::ldexp(1.0L, -39), 200.0L, 1.0L);
    const RegionValues views[] = {from, to};
    const movie::ZoomPlan plan = PlanZoom(views, 101);
    for (int k = 0; k <= 100; ++k) {
        const RegionValues& f = plan.frames[static_cast<std::size_t>(k)];
        const Extended t = static_cast<Extended>(k) / 100.0L;
        EXPECT_NEAR(static_cast<double>(f.XStart), static_cast<double>(1000.0L * t), 1e-6) << k;
        EXPECT_NEAR(static_cast<double>(f.YStart), static_cast<double>(200.0L * t), 1e-12) << k;
    }
}

TEST(ZoomPath, PureMoveMovesTheCentreLinearly)
{
    struct Move {
        RegionValues from, to;
    };
    const Move moves[] = {
        {Stored(-2.0L, 3.0L, -1.0L, 2.0L), Stored(-1.25L, 3.0L, 0.5L, 2.0L)},
        {Stored(0.1L, 1e-6L, 0.2L, 7.5e-7L), Stored(0.1000031L, 1e-6L, 0.1999987L, 7.5e-7L)},
        {Stored(5.0L, -1.0L, 0.0L, 1.0L), Stored(-5.0L, -1.0L, 0.0L, 1.0L)},
    };
    for (const Move& m : moves) {
        const RegionValues views[] = {m.from, m.to};
        const int frames = 33;
        const movie::ZoomPlan plan = PlanZoom(views, frames);
        for (int k = 0; k < frames; ++k) {
            const RegionValues& f = plan.frames[static_cast<std::size_t>(k)];
            const Extended t = static_cast<Extended>(k) / static_cast<Extended>(frames - 1);
            for (bool x : {true, false}) {
                const Extended c0 = StartOf(m.from, x) + ExtentOf(m.from, x) / 2;
                const Extended c1 = StartOf(m.to, x) + ExtentOf(m.to, x) / 2;
                const Extended centre = StartOf(f, x) + ExtentOf(f, x) / 2;
                EXPECT_EQ(ExtentOf(f, x), ExtentOf(m.from, x));
                const Extended scale = std::max({std::fabs(c0), std::fabs(c1), std::fabs(ExtentOf(f, x))});
                EXPECT_LE(static_cast<double>(std::fabs(centre - (c0 + (c1 - c0) * t)) / scale), 1e-15)
                    << Text(m.from) << " frame " << k;
            }
        }
    }
}

TEST(ZoomPath, ManyViewsHitEveryViewExactlyAndZoomEvenlyBetween)
{
    const std::vector<RegionValues> views = {
        Stored(-2.5L, 4.0L, -1.5L, 3.0L),
        Stored(-0.75L, 0.004L, 0.1L, 0.003L),       // x1000 in
        Stored(-0.745L, 0.004L, 0.101L, 0.003L),    // a move
        Stored(-0.745L, 0.004L, 0.101L, 0.003L),    // the same view again (a recalculation)
        Stored(-0.7446L, 0.0004L, 0.1013L, 0.0003L), // x10 in
        Stored(-0.76L, 0.04L, 0.09L, 0.03L),        // x100 out
    };
    const int frames = 240;
    const movie::ZoomPlan plan = PlanZoom(views, frames);
    ASSERT_EQ(plan.frames.size(), static_cast<std::size_t>(frames));
    ASSERT_EQ(plan.viewFrames.size(), views.size());
    EXPECT_EQ(plan.viewFrames.front(), 0);
    EXPECT_EQ(plan.viewFrames.back(), frames - 1);
    EXPECT_EQ(plan.viewFrames[2], plan.viewFrames[3]);
    for (std::size_t i = 0; i < views.size(); ++i)
        EXPECT_TRUE(Same(plan.frames[static_cast<std::size_t>(plan.viewFrames[i])], views[i])) << "view " << i;
    for (std::size_t i = 0; i + 1 < views.size(); ++i) {
        const int first = plan.viewFrames[i], last = plan.viewFrames[i + 1];
        if (Same(views[i], views[i + 1]))
            continue;
        ASSERT_GT(last, first) << "segment " << i;
        if (views[i].XWidth == views[i + 1].XWidth)
            continue;
        const Extended factor = std::pow(views[i + 1].XWidth / views[i].XWidth, 1.0L / (last - first));
        for (int k = first; k < last; ++k) {
            const Extended step = plan.frames[static_cast<std::size_t>(k) + 1].XWidth / plan.frames[static_cast<std::size_t>(k)].XWidth;
            EXPECT_NEAR(static_cast<double>(step / factor - 1.0L), 0.0, 1e-12) << "segment " << i << " frame " << k;
        }
    }
    // Zooms share the frames by their depth: x1000 gets about three times the frames of x10.
    const int in1000 = plan.viewFrames[1] - plan.viewFrames[0];
    const int in10 = plan.viewFrames[4] - plan.viewFrames[3];
    const int out100 = plan.viewFrames[5] - plan.viewFrames[4];
    EXPECT_NEAR(static_cast<double>(in1000) / in10, 3.0, 0.1);
    EXPECT_NEAR(static_cast<double>(out100) / in10, 2.0, 0.1);
}

TEST(ZoomPath, FramesSharedByZoomDepthWithOneAtLeast)
{
    struct Share {
        std::vector<Extended> widths; // one view per width, each zooming about 0
        int frames;
        std::vector<int> expected;
    };
    const Share shares[] = {
        {{1.0L, 1.0L / 1024, 1.0L / 2048}, 12, {10, 1}},         // 11 intervals: depth 10 : 1
        {{1.0L, 1e-6L, 2e-6L, 4e-6L}, 4, {1, 1, 1}},             // too few for more: one each
        {{1.0L, 0.25L, 1.0L / 16}, 10, {5, 4}},                  // a tie goes to the first
        {{1.0L, 0.999L, 0.5L}, 9, {4, 4}},                       // a slight zoom counts as a doubling
        {{1.0L, 1.0L, 1.0L / 8}, 7, {0, 6}},                     // the same view twice takes no frame
        {{1.0L, 1.0L / 8, 1.0L / 8, 1.0L}, 10, {5, 0, 4}},
    };
    for (const Share& s : shares) {
        std::vector<RegionValues> views;
        for (Extended w : s.widths)
            views.push_back({-w / 2, w, -w / 2, w});
        EXPECT_EQ(ShareFrames(views, s.frames), s.expected) << s.frames << " frames";
    }
    // All views the same region: a still movie of that view.
    const std::vector<RegionValues> still(3, Stored(-2.0L, 3.0L, -1.0L, 2.0L));
    const movie::ZoomPlan plan = PlanZoom(still, 5);
    ASSERT_EQ(plan.frames.size(), 5u);
    for (const RegionValues& f : plan.frames)
        EXPECT_TRUE(Same(f, still[0]));
}

TEST(ZoomPath, ImpossiblePathsAreRefusedWithOneSentence)
{
    const Extended nan = std::nan("");
    const Extended inf = HUGE_VALL;
    struct Bad {
        std::vector<RegionValues> views;
        int frames;
        const char* words;
    };
    const RegionValues a = Stored(-2.0L, 3.0L, -1.0L, 2.0L);
    const Bad bads[] = {
        {{a, Stored(-2.0L, -3.0L, -1.0L, 2.0L)}, 10, "same sign"},
        {{a, Stored(-2.0L, 3.0L, -1.0L, 0.0L)}, 10, "neither 0"},
        {{Stored(-2.0L, 0.0L, -1.0L, 2.0L), a}, 10, "neither 0"},
        {{a, {nan, 3.0L, -1.0L, 2.0L}}, 10, "finite"},
        {{a, {-2.0L, inf, -1.0L, 2.0L}}, 10, "finite"},
        {{a, Stored(-1.0L, 1.0L, 0.0L, 1.0L)}, 1, "2 to"},
        {{a, Stored(-1.0L, 1.0L, 0.0L, 1.0L)}, movie::kMaxFrames + 1, "2 to"},
        {{a}, 10, "start view and an end view"},
        {{a, Stored(-1.0L, 1.0L, 0.0L, 1.0L), a, Stored(-1.0L, 1.0L, 0.0L, 1.0L)}, 3, "too few"},
    };
    for (const Bad& b : bads) {
        try {
            PlanZoom(b.views, b.frames);
            ADD_FAILURE() << "accepted: " << b.words;
        } catch (const PathError& e) {
            EXPECT_NE(std::string(e.what()).find(b.words), std::string::npos) << e.what();
        }
    }
    // Equal extents, even 0, are a move and need no sign.
    const RegionValues flat0 = Stored(-2.0L, 0.0L, -1.0L, 2.0L), flat1 = Stored(-1.0L, 0.0L, -1.0L, 2.0L);
    const RegionValues move[] = {flat0, flat1};
    EXPECT_NO_THROW(PlanZoom(move, 3));
}

} // namespace
