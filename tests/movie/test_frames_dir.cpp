// Frames as picture files: names, whole files only, the view handed to the writer, cancel and failure.
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../export/TestFiles.h"
#include "MovieTestSupport.h"
#include "movie/FrameSink.h"

namespace {

using movie::FramesDirSink;
using movie::MakeMovie;
using movie::MovieError;
using testfiles::TempDir;

// Writes a binary PPM with the view text as its comment, and can be told to
// fail on a given frame's close, as a full disk would.
class PpmWriter : public movie::RowImageWriter {
public:
    PpmWriter(const std::string& path, int width, int height, std::string_view viewText, bool failOnClose)
        : out_(path, std::ios::binary | std::ios::trunc), failOnClose_(failOnClose)
    {
        out_ << "P6\n# " << viewText << "\n" << width << " " << height << "\n255\n";
    }
    void Row(std::span<const std::uint8_t> rgb) override
    {
        out_.write(reinterpret_cast<const char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
    }
    void Close() override
    {
        out_.close();
        if (failOnClose_)
            throw std::runtime_error("No space left on device");
    }

private:
    std::ofstream out_;
    bool failOnClose_;
};

movie::RowImageWriterFactory Ppm(int failingFrame = -1)
{
    auto opened = std::make_shared<int>(0);
    return [opened, failingFrame](const std::string& path, int width, int height, std::string_view viewText) {
        return std::make_unique<PpmWriter>(path, width, height, viewText, (*opened)++ == failingFrame);
    };
}

std::string View(int, const movie::RegionValues& r)
{
    char text[80];
    std::snprintf(text, sizeof text, "XStart = %.3Lf", r.XStart);
    return text;
}

TEST(FramesDir, FileNamesSortInFrameOrder)
{
    struct Name {
        int index, frames;
        const char* name;
    };
    const Name names[] = {
        {0, 2, "frame-00000.png"},           {47, 48, "frame-00047.png"},
        {99999, 100000, "frame-99999.png"},  {5, 100001, "frame-000005.png"},
        {100000, 100001, "frame-100000.png"}, {12, 1000000, "frame-000012.png"},
    };
    for (const Name& n : names)
        EXPECT_EQ(movie::FrameFileName(n.index, n.frames), n.name);
}

TEST(FramesDir, EveryFrameAWholeFileWithItsView)
{
    TempDir base;
    const std::string folder = base / "frames"; // made by the sink
    FramesDirSink sink(folder, Ppm());
    std::atomic<bool> cancel{false};
    const auto outcome = MakeMovie(movietest::Frames(3), 4, 2, sink, movietest::Gradient(4, 2), View, cancel);
    EXPECT_FALSE(outcome.cancelled);
    EXPECT_EQ(sink.FramesWritten(), 3);
    std::vector<std::string> entries;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        entries.push_back(e.path().filename().string());
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{"frame-00000.png", "frame-00001.png", "frame-00002.png"}));
    const std::string second = testfiles::ReadText(folder + "/frame-00001.png");
    EXPECT_EQ(second.rfind("P6\n# XStart = 1.000\n4 2\n255\n", 0), 0u);
    EXPECT_EQ(second.size(), std::string("P6\n# XStart = 1.000\n4 2\n255\n").size() + 4 * 2 * 3);
}

TEST(FramesDir, CancelKeepsTheFinishedFramesAndSaysWhere)
{
    TempDir folder;
    FramesDirSink sink(folder.path().string(), Ppm());
    std::atomic<bool> cancel{false};
    const auto outcome = MakeMovie(movietest::Frames(5), 4, 2, sink, movietest::Gradient(4, 2), View, cancel,
                                   [&](int done, int) { cancel = done == 2; });
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(outcome.framesDone, 2);
    EXPECT_EQ(outcome.message, "Cancelled after 2 of 5 frames; frame-00000.png to frame-00001.png are in " +
                                   folder.path().string() + ".");
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"frame-00000.png", "frame-00001.png"}));
}

TEST(FramesDir, AFailedFrameLeavesNoPartialFile)
{
    TempDir folder;
    FramesDirSink sink(folder.path().string(), Ppm(1));
    std::atomic<bool> cancel{false};
    try {
        MakeMovie(movietest::Frames(4), 4, 2, sink, movietest::Gradient(4, 2), View, cancel);
        ADD_FAILURE() << "the failed frame went unnoticed";
    } catch (const MovieError& e) {
        EXPECT_EQ(std::string(e.what()), folder / "frame-00001.png" + ": No space left on device");
    }
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"frame-00000.png"});
}

TEST(FramesDir, AFolderThatCannotBeMadeIsRefused)
{
    TempDir base;
    testfiles::WriteBytes(base / "file", {1, 2, 3});
    struct Bad {
        std::string folder;
        const char* words;
    };
    const Bad bads[] = {
        {base / "file", "Not a directory"},
        {base / "missing/frames", "No such file or directory"},
        {"", "No folder"},
    };
    for (const Bad& b : bads) {
        FramesDirSink sink(b.folder, Ppm());
        try {
            sink.Begin(4, 2, 3);
            ADD_FAILURE() << b.folder;
        } catch (const MovieError& e) {
            EXPECT_NE(std::string(e.what()).find(b.words), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(testfiles::ReadBytes(base / "file"), (std::vector<std::uint8_t>{1, 2, 3}));
}

} // namespace
