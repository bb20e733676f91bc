// quillon-render's zoom movies end to end: PNG frames against --png, the video ffprobe sees, refusals, Ctrl+C.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <regex>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <spawn.h>
#include <sys/wait.h>

#include "../movie/MovieTestSupport.h"
#include "RenderRun.h"
#include "TestFiles.h"
#include "export/ViewFile.h"

using testfiles::Join;
using testfiles::Render;
using testfiles::TempDir;

namespace {

const std::vector<std::string> kStart = {"--view", "Form1", "--palette", "3", "--rotate", "9"};
const std::vector<std::string> kEndCorners = {"-0.7647", "-0.7644", "-0.0958", "-0.0954"};

std::string Frame(const TempDir& dir, int k) { return dir / ("frames/frame-0000" + std::to_string(k) + ".png"); }

} // namespace

// The ends are the views' own --png pictures byte for byte (pixels and view
// chunk), the frames between carry their exact regions, and the zoom factor
// read from those regions is the same from every frame to the next.
TEST(MovieRender, FramesDirEndsAreThePngsOfTheViewsAndTheZoomIsSteady)
{
    TempDir dir;
    const std::vector<std::string> size = {"--size", "64x48", "--quiet"};
    ASSERT_EQ(Render(dir, Join(Join(kStart, size), {"--png", dir / "start.png"})).status, 0);
    ASSERT_EQ(Render(dir, Join(Join(Join(kStart, size), Join({"--region"}, kEndCorners)),
                               {"--png", dir / "end.png", "--save-view", dir / "end.qview"}))
                  .status,
              0);
    const int frames = 9;
    const auto run = Render(dir, Join(Join(kStart, size), {"--to", dir / "end.qview", "--frames", std::to_string(frames),
                                                          "--frames-dir", dir / "frames"}));
    ASSERT_EQ(run.status, 0) << run.stderrText;
    EXPECT_EQ(testfiles::ReadBytes(Frame(dir, 0)), testfiles::ReadBytes(dir / "start.png"));
    EXPECT_EQ(testfiles::ReadBytes(Frame(dir, frames - 1)), testfiles::ReadBytes(dir / "end.png"));

    std::vector<engine::RegionValues> regions;
    for (int k = 0; k < frames; ++k) {
        const exporter::ViewDocument view = exporter::ReadViewFile(Frame(dir, k));
        EXPECT_EQ(view.extendedRegion.has_value(), k > 0 && k < frames - 1) << k;
        EXPECT_EQ(view.adjust.rotation, 9);
        EXPECT_EQ(view.picture.width, 64);
        regions.push_back(view.DrawnRegion());
    }
    const long double factor = regions[1].XWidth / regions[0].XWidth;
    EXPECT_LT(factor, 0.9L); // a zoom in, not a standstill
    for (int k = 1; k < frames; ++k) {
        const auto& a = regions[static_cast<std::size_t>(k - 1)];
        const auto& b = regions[static_cast<std::size_t>(k)];
        EXPECT_NEAR(static_cast<double>(b.XWidth / a.XWidth / factor), 1.0, 1e-12) << k;
        EXPECT_NEAR(static_cast<double>(b.YHeight / a.YHeight / (regions[1].YHeight / regions[0].YHeight)), 1.0, 1e-12)
            << k;
    }
    // A frame between the ends opens to its own picture again, to the bit.
    ASSERT_EQ(Render(dir, {"--open", Frame(dir, 4), "--png", dir / "again.png"}).status, 0);
    EXPECT_EQ(testfiles::ReadBytes(dir / "again.png"), testfiles::ReadBytes(Frame(dir, 4)));
}

TEST(MovieRender, Mp4Of48FramesAt24FpsIsTwoSecondsOf640x480)
{
    TempDir dir;
    const auto run = Render(dir, Join(Join({"--view", "FormJU3", "--zoom-to"}, kEndCorners),
                                      {"--frames", "48", "--fps", "24", "--size", "640x480", "--movie", dir / "m.mp4"}));
    ASSERT_EQ(run.status, 0) << run.stderrText;
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"m.mp4"});
    auto probe = movietest::Probe(dir / "m.mp4");
    EXPECT_EQ(probe["nb_read_frames"], "48");
    EXPECT_EQ(probe["width"] + "x" + probe["height"], "640x480");
    ASSERT_FALSE(probe["duration"].empty()) << "ffprobe reported nothing: is the ffmpeg package installed?";
    EXPECT_DOUBLE_EQ(std::stod(probe["duration"]), 2.0);
}

TEST(MovieRender, RefusedCombinationsWriteNothing)
{
    TempDir other;
    ASSERT_EQ(Render(other, {"--view", "FormJU3", "--save-view", other / "ju3.qview"}).status, 0);
    TempDir dir;
    const std::string mp4 = dir / "m.mp4";
    const std::vector<std::string> to = Join({"--zoom-to"}, kEndCorners);
    const std::vector<std::vector<std::string>> cases = {
        {"--view", "Form1", "--to", other / "ju3.qview", "--frames", "4", "--movie", mp4},  // another window
        {"--view", "FormRN4.SBAL1", "--to", other / "ju3.qview", "--frames", "4", "--movie", mp4},
        Join(Join({"--view", "Form1"}, to), {"--frames", "4", "--size", "65x48", "--movie", mp4}), // odd for H.264
        Join(Join({"--view", "Form1"}, to), {"--movie", mp4}),                                     // no --frames
        Join(Join({"--view", "Form1"}, to), {"--frames", "1", "--movie", mp4}),
        Join(Join({"--view", "Form1"}, to), {"--frames", "4", "--rows", "0:8", "--movie", mp4}),
        Join(Join({"--view", "Form1"}, to), {"--frames", "4", "--png", dir / "p.png", "--movie", mp4}),
        Join(Join({"--view", "Form1"}, to), {"--frames", "4", "--save-palette", dir / "p.map", "--movie", mp4}),
        Join(Join({"--view", "Form1"}, to), {"--frames", "4", "--movie", dir / "m.avi"}),
        Join(Join({"--view", "Form1"}, to), {"--frames", "4", "--quality", "52", "--movie", mp4}),
        Join(Join({"--view", "Form1"}, to), {"--frames", "4", "--fps", "0", "--movie", mp4}),
        Join(Join({"--view", "Form1"}, to), {"--frames", "4", "--fps", "24", "--frames-dir", dir / "f"}),
        Join(Join({"--view", "Form1"}, to), {"--frames", "4", "--frames-dir", dir / "f", "--movie", mp4}),
        Join(Join({"--view", "Form1"}, to), {"--frames", "4", "--to", other / "ju3.qview", "--movie", mp4}),
        Join(Join({"--view", "Form1"}, to), {"--frames", "4"}),                       // no output
        {"--view", "Form1", "--frames", "4", "--movie", mp4},                          // no end view
        {"--view", "Form1", "--zoom-to", "0", "1", "0", "-1", "--frames", "4", "--movie", mp4}, // height flips sign
    };
    for (const auto& args : cases)
        testfiles::ExpectRefused(dir, args);
}

// Ctrl+C while the video is being made: status 130, the frames done, no video and no temporary file.
// The renderer's standard error is a terminal, so it draws its progress bar there; the interrupt
// comes once the bar has counted a finished frame, however fast the machine.
TEST(MovieRender, InterruptLeavesNoVideoAndSaysHowManyFramesWereDone)
{
    TempDir dir;
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const std::string terminal = ::ptsname(master);
    // Standard error is the terminal, so the renderer draws its progress bar there.
    const pid_t pid = testfiles::StartRender(Join(Join({"--view", "Form1", "--zoom-to"}, kEndCorners),
                                                  {"--frames", "400", "--size", "320x240", "--movie", dir / "m.mp4"}),
                                             "/dev/null", terminal);
    ASSERT_GE(pid, 0);

    // Everything the renderer draws, read until it closes the terminal by exiting.
    std::string text;
    const std::regex drawn(" ([0-9]+)/400 frames");
    int seen = 0; // frames the bar has shown done
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    bool interrupted = false;
    for (;;) {
        pollfd in{master, POLLIN, 0};
        if (::poll(&in, 1, 100) > 0) {
            char chunk[4096];
            const ssize_t n = ::read(master, chunk, sizeof chunk);
            if (n <= 0)
                break; // EIO: the last holder of the terminal has gone
            text.append(chunk, static_cast<std::size_t>(n));
        }
        if (!interrupted) {
            for (auto it = std::sregex_iterator(text.begin(), text.end(), drawn); it != std::sregex_iterator(); ++it)
                seen = std::max(seen, std::stoi((*it)[1]));
            if (seen >= 1) {
                ::kill(pid, SIGINT);
                interrupted = true;
            } else if (std::chrono::steady_clock::now() > deadline) {
                ::kill(pid, SIGKILL);
                interrupted = true;
                ADD_FAILURE() << "no finished frame shown within 60 s:\n" << text;
            }
        }
    }
    ::close(master);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << text;
    EXPECT_EQ(WEXITSTATUS(status), 130) << text;
    ASSERT_LT(seen, 400) << "every frame was done before the interrupt";
    std::smatch m;
    ASSERT_TRUE(std::regex_search(text, m, std::regex("quillon-render: Cancelled after ([0-9]+) of 400 frames; "
                                                      "no video was written\\.\r?\n$")))
        << text;
    EXPECT_GE(std::stoi(m[1]), seen) << "the frames the bar showed done are counted";
    EXPECT_LT(std::stoi(m[1]), 400);
    EXPECT_TRUE(dir.Entries().empty());
}
