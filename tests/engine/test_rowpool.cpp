// The shared row pool: ordered rows equal the one-thread result, early stops and concurrent streams.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <set>
#include <thread>
#include <vector>

#include "engine/Compute.h"
#include "engine/RowPool.h"
#include "fractals/Catalogue.h"

using namespace engine;

namespace {

struct Fixture {
    const fractals::View* view;
    std::unique_ptr<TBasicSet> set;
    RegionValues region;
};

Fixture Make(const char* id, Extended x1, Extended x2, Extended y1, Extended y2)
{
    Fixture f{fractals::FindView(id), nullptr, {}};
    f.set = fractals::MakePointSet(*f.view->window);
    Region r;
    r.SetRegionByCorners(x1, x2, y1, y2);
    f.region = r.Values();
    return f;
}

std::vector<std::uint8_t> ReadAll(RowStream& stream, int rows = kBufferHeight)
{
    std::vector<std::uint8_t> out(static_cast<std::size_t>(rows) * kBufferWidth);
    for (int i = 0; i < rows; ++i)
        stream.TakeRow(i, out.data() + static_cast<std::size_t>(i) * kBufferWidth);
    return out;
}

} // namespace

TEST(RowPool, StreamGivesTheOneThreadBufferInOrder)
{
    RowPool pool(3);
    for (int lookahead : {1, 5, 64}) {
        Fixture f = Make("FormJU4", -8, 8, -6, 6);
        std::vector<std::uint8_t> expected(kBufferCells);
        ComputeBuffer(f.region, *f.set, f.view->function, 1, expected.data());
        RowStream stream(f.region, *f.set, f.view->function, lookahead, pool);
        EXPECT_EQ(ReadAll(stream), expected) << lookahead;
    }
}

TEST(RowPool, StoppingEarlyCancelsTheRestAndKeepsWhatWasRead)
{
    RowPool pool(2);
    Fixture f = Make("Form1", -2.5L, 1, -1.2L, 1.2L);
    std::vector<std::uint8_t> expected(kBufferCells);
    ComputeBuffer(f.region, *f.set, f.view->function, 2, expected.data());
    for (int stopAfter : {0, 1, 37, 700}) {
        std::vector<std::uint8_t> got;
        {
            RowStream stream(f.region, *f.set, f.view->function, 8, pool);
            got = ReadAll(stream, stopAfter);
        } // the destructor must neither hang nor leave a task touching the stream
        EXPECT_TRUE(std::equal(got.begin(), got.end(), expected.begin())) << stopAfter;
    }
}

TEST(RowPool, SeveralStreamsAtOnceEachGetTheirOwnPicture)
{
    RowPool pool(2);
    const char* ids[] = {"FormTamo2", "FormJU1", "Form1", "FormRN1.SBAL2"};
    std::vector<Fixture> fixtures;
    std::vector<std::vector<std::uint8_t>> expected;
    for (const char* id : ids) {
        // Wide regions keep the orbits short; the scheduling is what is tested.
        fixtures.push_back(std::string(id) == "FormRN1.SBAL2" ? Make(id, 0, 32000, 0, 32000)
                                                               : Make(id, -6, 6, -4.5L, 4.5L));
        expected.emplace_back(kBufferCells);
        ComputeBuffer(fixtures.back().region, *fixtures.back().set, fixtures.back().view->function, 1,
                      expected.back().data());
    }
    std::vector<std::vector<std::uint8_t>> got(fixtures.size());
    std::vector<std::thread> readers;
    for (std::size_t k = 0; k < fixtures.size(); ++k)
        readers.emplace_back([&, k] {
            RowStream stream(fixtures[k].region, *fixtures[k].set, fixtures[k].view->function, 6, pool);
            got[k] = ReadAll(stream);
        });
    for (auto& t : readers)
        t.join();
    for (std::size_t k = 0; k < fixtures.size(); ++k)
        EXPECT_EQ(got[k], expected[k]) << ids[k];
}

TEST(RowPool, TheNewestStreamIsServedFirstAndTheOlderOneStillFinishes)
{
    // A pool without threads, driven row by row. An older picture is being
    // read when a newer one starts (a zoom while the opening pictures are
    // still calculating): while the newer one has a row waiting, every row
    // the pool computes is one of its rows; the older one still completes.
    RowPool pool{RowPool::Manual{}};
    Fixture olderView = Make("FormJU4", -8, 8, -6, 6);
    Fixture newerView = Make("FormTamo2", -6, 6, -4.5L, 4.5L);
    std::vector<std::uint8_t> olderExpected(kBufferCells), newerExpected(kBufferCells);
    ComputeBuffer(olderView.region, *olderView.set, olderView.view->function, 1, olderExpected.data());
    ComputeBuffer(newerView.region, *newerView.set, newerView.view->function, 1, newerExpected.data());

    std::set<std::pair<const RowStream*, int>> computed;
    std::map<const RowStream*, int> served;
    // Runs the pool until the row is computed, then reads it.
    const auto read = [&](RowStream& stream, int row, std::vector<std::uint8_t>& out) {
        while (computed.count({&stream, row}) == 0) {
            const std::pair<const RowStream*, int> ran = pool.RunOne();
            ASSERT_NE(ran.first, nullptr) << "row " << row << " was never queued";
            computed.insert(ran);
            ++served[ran.first];
        }
        stream.TakeRow(row, out.data() + static_cast<std::size_t>(row) * kBufferWidth);
    };

    std::vector<std::uint8_t> olderGot(kBufferCells), newerGot(kBufferCells);
    RowStream older(olderView.region, *olderView.set, olderView.view->function, 4, pool);
    for (int i = 0; i < 16; ++i)
        read(older, i, olderGot);
    const int olderBefore = served[&older];
    EXPECT_EQ(olderBefore, 16);
    {
        RowStream newer(newerView.region, *newerView.set, newerView.view->function, 8, pool);
        for (int i = 0; i < kBufferHeight; ++i)
            read(newer, i, newerGot);
        EXPECT_EQ(served[&newer], kBufferHeight);
        EXPECT_EQ(served[&older], olderBefore) << "older rows computed while the newer picture had rows waiting";
    }
    for (int i = 16; i < kBufferHeight; ++i)
        read(older, i, olderGot);
    EXPECT_EQ(pool.RunOne().first, nullptr) << "nothing left queued";
    EXPECT_EQ(newerGot, newerExpected);
    EXPECT_EQ(olderGot, olderExpected);
}

TEST(RowPool, ACancelledReaderStopsWaitingForARowThatIsNotComing)
{
    // A pool without threads computes nothing unless told to: row 1 never
    // comes, as an older render's row may not while newer pictures run.
    RowPool pool{RowPool::Manual{}};
    Fixture f = Make("FormJU4", -8, 8, -6, 6);
    std::vector<std::uint8_t> expected(kBufferCells);
    ComputeBuffer(f.region, *f.set, f.view->function, 1, expected.data());
    RowStream stream(f.region, *f.set, f.view->function, 2, pool);
    std::atomic<bool> cancel{false};
    std::vector<std::uint8_t> row(kBufferWidth);

    ASSERT_EQ(pool.RunOne().second, 0);
    ASSERT_TRUE(stream.TakeRow(0, row.data(), &cancel));
    EXPECT_TRUE(std::equal(row.begin(), row.end(), expected.begin()));
    cancel.store(true);
    EXPECT_FALSE(stream.TakeRow(1, row.data(), &cancel));
    // A row already there is still handed over after a cancel.
    ASSERT_EQ(pool.RunOne().second, 1);
    EXPECT_TRUE(stream.TakeRow(1, row.data(), &cancel));
    EXPECT_TRUE(std::equal(row.begin(), row.end(), expected.begin() + kBufferWidth));
}
