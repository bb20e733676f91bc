// Videos through ffmpeg: frame count, size and length; no file after a cancel or a failure; no ffmpeg.
#include <atomic>
#include <csignal>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "../export/TestFiles.h"
#include "MovieTestSupport.h"
#include "movie/Interrupt.h"
#include "movie/VideoSink.h"

namespace {

using movie::MakeMovie;
using movie::MovieError;
using movie::VideoSettings;
using movie::VideoSink;
using testfiles::TempDir;

std::string MessageOf(const std::function<void()>& run)
{
    try {
        run();
    } catch (const MovieError& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(VideoSink, Mp4Of48FramesAt24FpsIsTwoSecondsOf640x480)
{
    TempDir dir;
    const std::string file = dir / "m.mp4";
    VideoSink sink({.path = file, .fps = 24.0});
    std::atomic<bool> cancel{false};
    std::vector<int> progress;
    const auto outcome = MakeMovie(movietest::Frames(48), 640, 480, sink, movietest::Gradient(640, 480), {}, cancel,
                                   [&](int done, int frames) {
                                       EXPECT_EQ(frames, 48);
                                       progress.push_back(done);
                                   });
    EXPECT_FALSE(outcome.cancelled);
    EXPECT_EQ(outcome.framesDone, 48);
    ASSERT_EQ(progress.size(), 48u);
    EXPECT_EQ(progress.back(), 48);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"m.mp4"}); // the temporary name is gone

    const auto probe = movietest::Probe(file);
    EXPECT_EQ(probe.count("codec_name") ? probe.at("codec_name") : "", "h264");
    EXPECT_EQ(probe.count("pix_fmt") ? probe.at("pix_fmt") : "", "yuv420p");
    EXPECT_EQ(probe.count("width") ? probe.at("width") : "", "640");
    EXPECT_EQ(probe.count("height") ? probe.at("height") : "", "480");
    EXPECT_EQ(probe.count("nb_read_frames") ? probe.at("nb_read_frames") : "", "48");
    ASSERT_TRUE(probe.count("duration")) << "ffprobe reported nothing: is the ffmpeg package installed?";
    EXPECT_DOUBLE_EQ(std::stod(probe.at("duration")), 2.0);
}

TEST(VideoSink, WebmIsVp9AndTakesAnOddSize)
{
    TempDir dir;
    const std::string file = dir / "small.WebM";
    VideoSink sink({.path = file, .fps = 12.0, .quality = 40});
    std::atomic<bool> cancel{false};
    MakeMovie(movietest::Frames(6), 161, 121, sink, movietest::Gradient(161, 121), {}, cancel);
    const auto probe = movietest::Probe(file);
    EXPECT_EQ(probe.count("codec_name") ? probe.at("codec_name") : "", "vp9");
    EXPECT_EQ(probe.count("width") ? probe.at("width") : "", "161");
    EXPECT_EQ(probe.count("nb_read_frames") ? probe.at("nb_read_frames") : "", "6");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"small.WebM"});
}

TEST(VideoSink, RefusedSettingsNameTheProblemAndLeaveNoFile)
{
    TempDir dir;
    struct Refused {
        VideoSettings settings;
        int width, height;
        const char* words;
    };
    const Refused cases[] = {
        {{.path = dir / "odd.mp4", .fps = 24.0}, 641, 480, "needs an even width and height, not 641 x 480"},
        {{.path = dir / "odd.mp4", .fps = 24.0}, 640, 479, "needs an even width and height"},
        {{.path = dir / "rate.mp4", .fps = 0.0}, 640, 480, "frame rate"},
        {{.path = dir / "rate.webm", .fps = 1e9}, 640, 480, "frame rate"},
        {{.path = dir / "q.mp4", .fps = 24.0, .quality = 52}, 640, 480, "0 (best) to 51"},
        {{.path = dir / "q.webm", .fps = 24.0, .quality = -1}, 640, 480, "0 (best) to 63"},
        {{.path = dir / "tiny.webm", .fps = 24.0}, 1, 480, "at least 2 x 2"},
        {{.path = dir / "no-such-folder/m.mp4", .fps = 24.0}, 640, 480, "No such file or directory"},
    };
    for (const Refused& c : cases) {
        const std::string message = MessageOf([&] {
            VideoSink sink(c.settings);
            sink.Begin(c.width, c.height, 10);
        });
        EXPECT_NE(message.find(c.words), std::string::npos) << message;
        EXPECT_EQ(message.rfind(c.settings.path, 0), 0u) << message; // the message names the file
    }
    EXPECT_NE(MessageOf([&] { VideoSink sink({.path = dir / "m.avi"}); }).find(".mp4 or .webm"), std::string::npos);
    EXPECT_TRUE(dir.Entries().empty());
}

TEST(VideoSink, CancelStopsWithinAFrameAndLeavesNoFile)
{
    TempDir dir;
    struct When {
        int frame; // the cancel comes during this frame
        bool midFrame;
    };
    for (const When when : {When{0, false}, When{5, false}, When{7, true}}) {
        std::atomic<bool> cancel{false};
        VideoSink sink({.path = dir / "c.mp4", .fps = 24.0, .cancel = &cancel});
        const auto gradient = movietest::Gradient(320, 240);
        int rendered = 0;
        const auto outcome = MakeMovie(
            movietest::Frames(48), 320, 240, sink,
            [&](int frame, const movie::RegionValues& region, const movie::RowOut& out) {
                ++rendered;
                if (rendered - 1 == when.frame && !when.midFrame)
                    cancel = true;
                gradient(frame, region, [&](std::span<const std::uint8_t> row) {
                    out(row);
                    if (rendered - 1 == when.frame && when.midFrame)
                        cancel = true; // the sink's next write gives up
                });
            },
            {}, cancel);
        EXPECT_TRUE(outcome.cancelled);
        EXPECT_EQ(outcome.framesDone, when.frame);
        EXPECT_EQ(rendered, when.frame + 1);
        EXPECT_EQ(outcome.message, "Cancelled after " + std::to_string(when.frame) +
                                       " of 48 frames; no video was written.");
        EXPECT_TRUE(dir.Entries().empty()) << when.frame;
    }
}

TEST(VideoSink, MissingFfmpegNamesTheDebianPackage)
{
    TempDir dir;
    TempDir emptyPath;
    movietest::ScopedPath path(emptyPath.path().string());
    VideoSink sink({.path = dir / "m.mp4", .fps = 24.0});
    const std::string message = MessageOf([&] { sink.Begin(640, 480, 48); });
    EXPECT_NE(message.find("ffmpeg was not found"), std::string::npos) << message;
    EXPECT_NE(message.find("Debian package \"ffmpeg\""), std::string::npos) << message;
    EXPECT_TRUE(dir.Entries().empty());
}

// Stand-ins for ffmpeg that fail in the ways a real encoder can: they are
// started exactly as ffmpeg is, with its arguments.
TEST(VideoSink, AFailingEncoderGivesItsLastLineAndNoFile)
{
    TempDir dir;
    struct Failing {
        const char* script;
        const char* words;
    };
    const Failing cases[] = {
        // Dies before reading: the writes meet a closed pipe (SIGPIPE would end this test).
        {"echo 'first line' >&2; echo 'Unknown encoder libx264' >&2; exit 1", "failed: Unknown encoder libx264"},
        // Reads everything, then fails, with ffmpeg's closing line after the reason.
        {"cat >/dev/null; printf 'Error writing trailer: No space left on device\\r\\nConversion failed!\\n' >&2; exit 1",
         "failed: Error writing trailer: No space left on device"},
        {"cat >/dev/null; exit 3", "failed with exit status 3"},
        {"head -c 1000 >/dev/null; kill -9 $$", "ended by signal 9"},
        {"exit 0", "ended before the last frame"},
    };
    int n = 0;
    for (const Failing& c : cases) {
        const std::string program = dir / ("encoder" + std::to_string(n++));
        testfiles::WriteBytes(program, [&] {
            const std::string text = std::string("#!/bin/sh\n") + c.script + "\n";
            return std::vector<std::uint8_t>(text.begin(), text.end());
        }());
        ::chmod(program.c_str(), 0755);
        TempDir out;
        VideoSink sink({.path = out / "f.mp4", .fps = 24.0, .program = program});
        std::atomic<bool> cancel{false};
        const std::string message = MessageOf(
            [&] { MakeMovie(movietest::Frames(12), 320, 240, sink, movietest::Gradient(320, 240), {}, cancel); });
        EXPECT_EQ(message.rfind(out / "f.mp4: ", 0), 0u) << message;
        EXPECT_NE(message.find(c.words), std::string::npos) << message;
        EXPECT_TRUE(out.Entries().empty()) << c.script;
    }
}

TEST(InterruptCancel, FirstSignalSetsTheFlagAndTheNextEndsTheProgram)
{
    struct sigaction before {};
    sigaction(SIGINT, nullptr, &before);
    for (int signal : {SIGINT, SIGTERM}) {
        movie::InterruptCancel interrupt;
        EXPECT_FALSE(interrupt.Raised());
        std::raise(signal);
        EXPECT_TRUE(interrupt.Raised());
        EXPECT_TRUE(movie::InterruptCancel::Flag().load());
    }
    struct sigaction after {};
    sigaction(SIGINT, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler);

    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            movie::InterruptCancel interrupt;
            std::raise(SIGINT);
            std::raise(SIGINT);
            std::_Exit(0);
        },
        ::testing::KilledBySignal(SIGINT), "");
}

TEST(InterruptCancel, CtrlCDuringAMovieStopsItAndRemovesTheVideo)
{
    TempDir dir;
    movie::InterruptCancel interrupt;
    VideoSink sink({.path = dir / "i.webm", .fps = 24.0, .cancel = &movie::InterruptCancel::Flag()});
    const auto gradient = movietest::Gradient(160, 120);
    int rendered = 0;
    const auto outcome = MakeMovie(
        movietest::Frames(24), 160, 120, sink,
        [&](int frame, const movie::RegionValues& region, const movie::RowOut& out) {
            if (++rendered == 4)
                std::raise(SIGINT);
            gradient(frame, region, out);
        },
        {}, movie::InterruptCancel::Flag());
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(outcome.framesDone, 3);
    EXPECT_EQ(outcome.message, "Cancelled after 3 of 24 frames; no video was written.");
    EXPECT_TRUE(dir.Entries().empty());
}

} // namespace
