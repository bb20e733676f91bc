// The shared row pool: ordered rows equal the one-thread result, early stops and concurrent streams.
#include <gtest/gtest.h>

#include <atomic>
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
    // One pool thread. An older picture is being read when a newer one
    // starts (a zoom while the opening pictures are still calculating): the
    // newer one must get the thread, and the older one must still complete.
    RowPool pool(1);
    Fixture older = Make("Form1", -0.7904L, -0.7388L, -0.1496L, -0.1110L);
    Fixture newer = Make("Form1", -0.7904L, -0.7388L, -0.1496L, -0.1110L);
    std::vector<std::uint8_t> expected(kBufferCells);
    ComputeBuffer(older.region, *older.set, older.view->function, 1, expected.data());

    std::atomic<int> olderRows{0};
    std::vector<std::uint8_t> olderGot(kBufferCells), newerGot;
    std::thread olderReader([&] {
        RowStream stream(older.region, *older.set, older.view->function, 4, pool);
        for (int i = 0; i < kBufferHeight; ++i) {
            stream.TakeRow(i, olderGot.data() + static_cast<std::size_t>(i) * kBufferWidth);
            olderRows.store(i + 1);
        }
    });
    while (olderRows.load() < 16)
        std::this_thread::yield();
    const int atStart = olderRows.load();
    {
        RowStream stream(newer.region, *newer.set, newer.view->function, 8, pool);
        newerGot = ReadAll(stream);
    }
    const int duringNewer = olderRows.load() - atStart;
    olderReader.join();

    // Served in turn, the older picture would have advanced about as far as
    // the newer one (768 rows); served newest first, only by the rows that
    // were in flight or fell into a moment when the newer one had none queued.
    EXPECT_LT(duringNewer, 192) << "older rows read while the newer picture was calculated";
    EXPECT_EQ(newerGot, expected);
    EXPECT_EQ(olderGot, expected);
}
