// Helpers of the movie tests: synthetic frames, ffprobe's view of a video, a scoped PATH.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "movie/Movie.h"

namespace movietest {

// A renderer whose picture changes from frame to frame (a gradient moved by the region's start).
inline movie::FrameRenderer Gradient(int width, int height)
{
    return [width, height](int, const movie::RegionValues& region, const movie::RowOut& out) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3);
        const int shift = static_cast<int>(region.XStart * 37) & 0xFF; // the test regions stay small
        for (int i = 0; i < height; ++i) {
            for (int j = 0; j < width; ++j) {
                row[static_cast<std::size_t>(j) * 3 + 0] = static_cast<std::uint8_t>(j + shift);
                row[static_cast<std::size_t>(j) * 3 + 1] = static_cast<std::uint8_t>(i);
                row[static_cast<std::size_t>(j) * 3 + 2] = static_cast<std::uint8_t>(i + j);
            }
            out(row);
        }
    };
}

// Regions 0, 1, 2 ... in x: frame k's picture differs from frame k - 1's.
inline std::vector<movie::RegionValues> Frames(int count)
{
    std::vector<movie::RegionValues> regions;
    for (int k = 0; k < count; ++k)
        regions.push_back({static_cast<long double>(k), 1.0L, 0.0L, 1.0L});
    return regions;
}

// key=value lines that ffprobe reports for the first video stream and the container.
inline std::map<std::string, std::string> Probe(const std::string& file)
{
    const std::string command = "ffprobe -v error -select_streams v:0 -count_frames -show_entries "
                                "stream=codec_name,width,height,pix_fmt,nb_read_frames:format=duration "
                                "-of default=noprint_wrappers=1 '" + file + "'";
    std::map<std::string, std::string> values;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return values;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        const std::size_t eq = text.find('=');
        if (eq != std::string::npos)
            values[text.substr(0, eq)] = text.substr(eq + 1);
    }
    ::pclose(pipe);
    return values;
}

// Sets PATH for the life of the object.
class ScopedPath {
public:
    explicit ScopedPath(const std::string& path)
    {
        if (const char* old = std::getenv("PATH"))
            old_ = old;
        ::setenv("PATH", path.c_str(), 1);
    }
    ~ScopedPath()
    {
        if (old_)
            ::setenv("PATH", old_->c_str(), 1);
        else
            ::unsetenv("PATH");
    }
    ScopedPath(const ScopedPath&) = delete;
    ScopedPath& operator=(const ScopedPath&) = delete;

private:
    std::optional<std::string> old_;
};

} // namespace movietest
