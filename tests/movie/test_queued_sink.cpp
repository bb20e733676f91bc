// Frames written on a thread of their own: every frame in order and whole, failures and cancels surface.
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "MovieTestSupport.h"
#include "movie/QueuedSink.h"
#include "movie/VideoSink.h"

namespace {

using movie::MakeMovie;
using movie::QueuedSink;

// Keeps the frames it is given; can fail with a message or as a cancelled encoder would, on one frame.
class Recorder : public movie::FrameSink {
public:
    enum class Fault { None, Error, Cancel };
    explicit Recorder(int faultyFrame = -1, Fault fault = Fault::None) : faultyFrame_(faultyFrame), fault_(fault) {}

    void Begin(int, int, int) override { began = true; }
    void BeginFrame(int index, std::string_view text) override
    {
        writer = std::this_thread::get_id();
        if (index == faultyFrame_ && fault_ == Fault::Error)
            throw movie::MovieError("disk full");
        if (index == faultyFrame_ && fault_ == Fault::Cancel)
            throw movie::MovieCancelled();
        frames.push_back({index, std::string(text), {}});
    }
    void Row(std::span<const std::uint8_t> rgb) override
    {
        frames.back().rgb.insert(frames.back().rgb.end(), rgb.begin(), rgb.end());
    }
    void EndFrame() override {}
    void Finish() override { finished = true; }
    void Abort() noexcept override { aborted = true; }
    std::string AfterAbort(int) const override { return "nothing kept"; }

    struct Frame {
        int index;
        std::string text;
        std::vector<std::uint8_t> rgb;
    };
    std::vector<Frame> frames;
    bool began = false, finished = false, aborted = false;
    std::thread::id writer;

private:
    int faultyFrame_;
    Fault fault_;
};

// What the same frames look like written directly.
std::vector<Recorder::Frame> Direct(int count, int width, int height)
{
    Recorder direct;
    std::atomic<bool> cancel{false};
    MakeMovie(movietest::Frames(count), width, height, direct, movietest::Gradient(width, height),
              [](int, const movie::RegionValues& r) { return std::to_string(static_cast<int>(r.XStart)); }, cancel);
    return direct.frames;
}

} // namespace

TEST(QueuedSink, WritesEveryFrameInOrderOnItsOwnThread)
{
    Recorder inner;
    std::atomic<bool> cancel{false};
    {
        QueuedSink queued(inner);
        const auto outcome =
            MakeMovie(movietest::Frames(7), 9, 5, queued, movietest::Gradient(9, 5),
                      [](int, const movie::RegionValues& r) { return std::to_string(static_cast<int>(r.XStart)); }, cancel);
        EXPECT_FALSE(outcome.cancelled);
        EXPECT_GE(queued.WaitSeconds(), 0.0);
    }
    EXPECT_TRUE(inner.began && inner.finished);
    EXPECT_NE(inner.writer, std::this_thread::get_id());
    const auto expected = Direct(7, 9, 5);
    ASSERT_EQ(inner.frames.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(inner.frames[k].index, expected[k].index);
        EXPECT_EQ(inner.frames[k].text, expected[k].text);
        EXPECT_EQ(inner.frames[k].rgb, expected[k].rgb) << k;
    }
}

TEST(QueuedSink, AWriterFailureOrCancelReachesTheMovieAndAbortsTheOutput)
{
    {
        Recorder inner(3, Recorder::Fault::Error);
        QueuedSink queued(inner);
        std::atomic<bool> cancel{false};
        try {
            MakeMovie(movietest::Frames(20), 4, 3, queued, movietest::Gradient(4, 3), {}, cancel);
            ADD_FAILURE() << "the failure was lost";
        } catch (const movie::MovieError& e) {
            EXPECT_STREQ(e.what(), "disk full");
        }
        EXPECT_TRUE(inner.aborted);
        EXPECT_FALSE(inner.finished);
        EXPECT_EQ(inner.frames.size(), 3u);
    }
    {
        Recorder inner(2, Recorder::Fault::Cancel);
        QueuedSink queued(inner);
        std::atomic<bool> cancel{false};
        const auto outcome = MakeMovie(movietest::Frames(20), 4, 3, queued, movietest::Gradient(4, 3), {}, cancel);
        EXPECT_TRUE(outcome.cancelled);
        EXPECT_LT(outcome.framesDone, 20);
        EXPECT_NE(outcome.message.find("nothing kept"), std::string::npos) << outcome.message;
        EXPECT_TRUE(inner.aborted);
    }
}
