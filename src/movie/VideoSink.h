// A video file made by an ffmpeg process fed raw RGB frames on its standard input.
#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

#include "movie/FrameSink.h"

namespace movie {

enum class VideoFormat {
    Mp4,  // H.264 (libx264), yuv420p, index at the front: plays nearly everywhere
    WebM, // VP9 (libvpx-vp9), yuv420p
};

// The format named by the file's extension, ".mp4" or ".webm" in any letter
// case; throws MovieError for any other name.
VideoFormat VideoFormatOf(std::string_view path);

struct VideoSettings {
    std::string path;             // the chosen file name; its extension picks the format
    double fps = 30.0;            // frames per second, more than 0 and at most 1000
    std::optional<int> quality{}; // constant-quality level (CRF), lower is better: 0 ... 51
                                  // for H.264 (default 23), 0 ... 63 for VP9 (default 31)
    std::string program = "ffmpeg"; // looked up on PATH
    // Set from another thread or a signal handler: a write blocked on a busy
    // encoder gives up within 0.1 s and throws MovieCancelled.
    const std::atomic<bool>* cancel = nullptr;
};

// A write to the encoder given up because `cancel` was set.
class MovieCancelled : public MovieError {
public:
    MovieCancelled() : MovieError("Cancelled.") {}
};

// The ffmpeg arguments (after the program name) that read width x height
// RGB24 frames from standard input and write `output` in `format`.
std::vector<std::string> EncoderArguments(const VideoSettings& settings, VideoFormat format, int width, int height,
                                          const std::string& output);

// Starts ffmpeg in Begin, writing to a temporary file beside the chosen name
// that Finish renames onto it once ffmpeg has succeeded. A failure or Abort
// stops the process and removes the temporary file, so no partial video is
// ever seen under the chosen name. ffmpeg runs in its own process group: a
// Ctrl+C at the terminal reaches this program, which decides. Writing to an
// encoder that has died gives an error, never SIGPIPE.
class VideoSink : public FrameSink {
public:
    explicit VideoSink(VideoSettings settings);
    ~VideoSink() override;
    VideoSink(const VideoSink&) = delete;
    VideoSink& operator=(const VideoSink&) = delete;

    void Begin(int width, int height, int frames) override;
    void BeginFrame(int index, std::string_view viewText) override;
    void Row(std::span<const std::uint8_t> rgb) override;
    void EndFrame() override;
    void Finish() override;
    void Abort() noexcept override;
    std::string AfterAbort(int framesDone) const override;

    const VideoSettings& Settings() const { return settings_; }

private:
    void Write(const std::uint8_t* data, std::size_t size);
    void ReadErrors();
    [[noreturn]] void Fail(const std::string& reason);
    int WaitForEncoder();
    std::string EncoderFailure(int status) const;
    void ThrowIfCancelled();

    VideoSettings settings_;
    VideoFormat format_;
    int width_ = 0, height_ = 0;
    std::string temporary_;
    pid_t pid_ = -1;
    int input_ = -1;  // ffmpeg's standard input
    int errors_ = -1; // ffmpeg's standard error
    std::string errorTail_;   // the end of what ffmpeg wrote to standard error
    int rows_ = -1;           // rows of the current frame written; -1 outside a frame
};

} // namespace movie
