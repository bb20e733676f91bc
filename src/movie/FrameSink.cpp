// Where the pictures of a movie go: the whole-frame helper and the folder of frame files.
#include "movie/FrameSink.h"

#include "fileio/FileIo.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace movie {

void WriteFrame(FrameSink& sink, int index, int width, std::span<const std::uint8_t> rgb, std::string_view viewText)
{
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    if (width <= 0 || rgb.size() % rowBytes != 0)
        throw std::invalid_argument("WriteFrame: the picture is not a whole number of rows");
    sink.BeginFrame(index, viewText);
    for (std::size_t at = 0; at < rgb.size(); at += rowBytes)
        sink.Row(rgb.subspan(at, rowBytes));
    sink.EndFrame();
}

std::string FrameFileName(int index, int frames)
{
    int digits = 1;
    for (int last = std::max(frames - 1, 0); last >= 10; last /= 10)
        ++digits;
    digits = std::max(digits, 5);
    char name[40];
    std::snprintf(name, sizeof name, "frame-%0*d.png", digits, index);
    return name;
}

FramesDirSink::FramesDirSink(std::string folder, RowImageWriterFactory open)
    : folder_(std::move(folder)), open_(std::move(open))
{
}

FramesDirSink::~FramesDirSink() { Abort(); }

void FramesDirSink::Begin(int width, int height, int frames)
{
    if (width < 1 || height < 1 || frames < 1)
        throw MovieError("A movie needs a picture size and at least one frame.");
    if (folder_.empty())
        throw MovieError("No folder was given for the frames.");
    if (::mkdir(folder_.c_str(), 0777) != 0) {
        const int error = errno;
        struct stat st {};
        if (error != EEXIST)
            throw MovieError(folder_ + ": " + fileio::ErrorText(error));
        if (::stat(folder_.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            throw MovieError(folder_ + ": " + fileio::ErrorText(ENOTDIR));
    }
    width_ = width;
    height_ = height;
    frames_ = frames;
    written_ = 0;
}

void FramesDirSink::BeginFrame(int index, std::string_view viewText)
{
    Abort(); // a frame left open by a caller's failure
    const std::string name = FrameFileName(index, frames_);
    target_ = folder_ + "/" + name;
    // A hidden temporary beside the frame: a reader of the folder sees a frame only when it is whole.
    // Made as a plain open makes a file, so the frame gets the mode the umask gives.
    std::string name_made;
    const int fd = fileio::CreateUnique(folder_ + "/." + name + ".", "", name_made);
    if (fd < 0)
        throw MovieError(target_ + ": " + fileio::ErrorText(errno));
    ::close(fd);
    temporary_ = name_made;
    try {
        writer_ = open_(temporary_, width_, height_, viewText);
    } catch (const std::exception& e) {
        Abort();
        throw MovieError(target_ + ": " + e.what());
    }
}

void FramesDirSink::Row(std::span<const std::uint8_t> rgb)
{
    if (!writer_ || rgb.size() != static_cast<std::size_t>(width_) * 3)
        throw std::logic_error("FramesDirSink::Row outside a frame or of the wrong length");
    try {
        writer_->Row(rgb);
    } catch (const std::exception& e) {
        Abort();
        throw MovieError(target_ + ": " + e.what());
    }
}

void FramesDirSink::EndFrame()
{
    if (!writer_)
        throw std::logic_error("FramesDirSink::EndFrame outside a frame");
    try {
        writer_->Close();
    } catch (const std::exception& e) {
        Abort();
        throw MovieError(target_ + ": " + e.what());
    }
    writer_.reset();
    if (const int error = fileio::RenameOver(temporary_, target_); error != 0) {
        Abort();
        throw MovieError(target_ + ": " + fileio::ErrorText(error));
    }
    temporary_.clear();
    ++written_;
}

void FramesDirSink::Finish()
{
    if (writer_)
        throw std::logic_error("FramesDirSink::Finish inside a frame");
}

void FramesDirSink::Abort() noexcept
{
    writer_.reset();
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

std::string FramesDirSink::AfterAbort(int framesDone) const
{
    if (framesDone <= 0)
        return "no frame was written";
    if (framesDone == 1)
        return FrameFileName(0, frames_) + " is in " + folder_;
    return FrameFileName(0, frames_) + " to " + FrameFileName(framesDone - 1, frames_) + " are in " + folder_;
}

} // namespace movie
