// Where the pictures of a movie go, row by row: an encoder process or a folder of picture files.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace movie {

// A movie output that failed or cannot be made; what() is one message for the user.
class MovieError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Receives the frames of a movie in order: Begin, then for each frame
// BeginFrame, `height` calls of Row and EndFrame, then Finish. Any step may
// throw MovieError; after a failure or a cancel the caller calls Abort,
// which leaves nothing under the chosen name that was not finished.
class FrameSink {
public:
    virtual ~FrameSink() = default;

    virtual void Begin(int width, int height, int frames) = 0;
    // `viewText` is the view file text of the frame, for outputs that carry it.
    virtual void BeginFrame(int index, std::string_view viewText) = 0;
    // The next row, top first: width x 3 bytes, red, green, blue.
    virtual void Row(std::span<const std::uint8_t> rgb) = 0;
    virtual void EndFrame() = 0;
    // Completes the output under its chosen name.
    virtual void Finish() = 0;
    // Stops at once and removes unfinished output. Never throws; safe at any point and twice.
    virtual void Abort() noexcept = 0;
    // What the user finds after an Abort with `framesDone` frames finished, for the cancel message.
    virtual std::string AfterAbort(int framesDone) const = 0;
};

// Hands a whole frame (height rows of width x 3 bytes) to the sink.
void WriteFrame(FrameSink& sink, int index, int width, std::span<const std::uint8_t> rgb, std::string_view viewText);

// One picture file being written row by row (a streaming PNG writer).
class RowImageWriter {
public:
    virtual ~RowImageWriter() = default;
    virtual void Row(std::span<const std::uint8_t> rgb) = 0;
    // Completes the file; throws on failure. Destroying an unclosed writer abandons the file.
    virtual void Close() = 0;
};

// Opens a writer of a width x height picture at `path` with the view text embedded.
using RowImageWriterFactory = std::function<std::unique_ptr<RowImageWriter>(
    const std::string& path, int width, int height, std::string_view viewText)>;

// "frame-00000.png" ...: five digits, more when the movie has more than 100,000 frames, so the names sort.
std::string FrameFileName(int index, int frames);

// Writes frame k as `folder`/FrameFileName(k); the folder is made if missing
// (its parent must exist). Each file appears only when complete; Abort
// removes the frame in progress and keeps the ones finished.
class FramesDirSink : public FrameSink {
public:
    FramesDirSink(std::string folder, RowImageWriterFactory open);
    ~FramesDirSink() override;

    void Begin(int width, int height, int frames) override;
    void BeginFrame(int index, std::string_view viewText) override;
    void Row(std::span<const std::uint8_t> rgb) override;
    void EndFrame() override;
    void Finish() override;
    void Abort() noexcept override;
    std::string AfterAbort(int framesDone) const override;

    int FramesWritten() const { return written_; }
    const std::string& Folder() const { return folder_; }

private:
    std::string folder_;
    RowImageWriterFactory open_;
    int width_ = 0, height_ = 0, frames_ = 0;
    int written_ = 0;
    std::string temporary_, target_;
    std::unique_ptr<RowImageWriter> writer_;
};

} // namespace movie
