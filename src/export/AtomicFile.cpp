// Files that appear whole or not at all: a temporary beside the target, renamed over it when complete.
#include "export/AtomicFile.h"

#include "fileio/FileIo.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace exporter::detail {

std::string ErrnoText(int error) { return fileio::ErrorText(error); }

namespace {

constexpr std::size_t kBufferSize = 1 << 16;

// 0 or the errno of the first failed write. A negative offset appends.
int WriteAll(int fd, const char* data, std::size_t size, std::int64_t offset = -1)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = offset < 0 ? ::write(fd, data + done, size - done)
                                     : ::pwrite(fd, data + done, size - done, static_cast<off_t>(offset) +
                                                                                  static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

// A new, uniquely named file beside `target`, with the mode a new file gets.
int CreateTemporary(const std::string& target, std::string& name) { return fileio::CreateUnique(target + ".", ".tmp", name); }

} // namespace

AtomicFile::AtomicFile(const std::string& path) : path_(path)
{
    if (path.empty())
        Fail(ENOENT);
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    // A rename would put a regular file in place of a device: as root that
    // replaces /dev/null or /dev/full itself.
    if (exists && !S_ISREG(st.st_mode)) {
        // Non-blocking open: a pipe without a reader fails at once instead of hanging.
        fd_ = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NONBLOCK);
        if (fd_ < 0)
            Fail(errno);
        const int flags = ::fcntl(fd_, F_GETFL);
        if (flags < 0 || ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK) != 0)
            Fail(errno);
        return;
    }
    target_ = path;
    struct stat link {};
    if (exists && ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        std::error_code ec;
        const std::filesystem::path resolved = std::filesystem::canonical(path, ec);
        if (!ec)
            target_ = resolved.string();
    }
    fd_ = CreateTemporary(target_, temporary_);
    if (fd_ < 0) {
        const int error = errno;
        temporary_.clear();
        // A folder the user may not write can still hold a file the user may:
        // a plain overwrite succeeds there, so the save does too, in place.
        if (!exists || (error != EACCES && error != EPERM))
            Fail(error);
        fd_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd_ < 0)
            Fail(errno);
        overwriting_ = true;
        return;
    }
    if (exists && ::fchmod(fd_, st.st_mode & 07777) != 0)
        Fail(errno);
}

AtomicFile::~AtomicFile()
{
    if (fd_ >= 0)
        ::close(fd_);
    if (!committed_ && !temporary_.empty())
        ::unlink(temporary_.c_str());
}

void AtomicFile::Fail(int error)
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
    temporary_.clear();
    throw IoError(path_ + ": " + ErrnoText(error));
}

void AtomicFile::Reserve(std::uint64_t size)
{
    if (fd_ < 0)
        throw IoError(path_ + ": write after the file was closed");
    // Only worth it where a failure part way would spoil the old content;
    // file systems without fallocate write without a reservation.
    if (overwriting_ && size > 0 && ::fallocate(fd_, 0, 0, static_cast<off_t>(size)) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS)
        Fail(errno);
}

void AtomicFile::FlushBuffer()
{
    if (buffer_.empty())
        return;
    if (const int error = WriteAll(fd_, buffer_.data(), buffer_.size()))
        Fail(error);
    appended_ += buffer_.size();
    end_ = std::max(end_, appended_);
    buffer_.clear();
}

void AtomicFile::Write(std::string_view data)
{
    if (fd_ < 0)
        throw IoError(path_ + ": write after the file was closed");
    if (buffer_.size() + data.size() > kBufferSize) {
        FlushBuffer();
        if (data.size() >= kBufferSize) {
            if (const int error = WriteAll(fd_, data.data(), data.size()))
                Fail(error);
            appended_ += data.size();
            end_ = std::max(end_, appended_);
            return;
        }
    }
    buffer_.insert(buffer_.end(), data.begin(), data.end());
}

void AtomicFile::WriteAt(std::uint64_t offset, std::string_view data)
{
    if (fd_ < 0)
        throw IoError(path_ + ": write after the file was closed");
    FlushBuffer();
    if (const int error = WriteAll(fd_, data.data(), data.size(), static_cast<std::int64_t>(offset)))
        Fail(error);
    end_ = std::max(end_, offset + data.size());
}

void AtomicFile::Commit()
{
    if (fd_ < 0)
        throw IoError(path_ + ": the file was already closed");
    FlushBuffer();
    // Written over in place: the old content past the new end goes.
    if (overwriting_ && ::ftruncate(fd_, static_cast<off_t>(end_)) != 0)
        Fail(errno);
    if ((!temporary_.empty() || overwriting_) && ::fsync(fd_) != 0)
        Fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        Fail(errno);
    if (!temporary_.empty() && ::rename(temporary_.c_str(), target_.c_str()) != 0)
        Fail(errno);
    committed_ = true;
}

void ReplaceFile(const std::string& path, std::string_view data)
{
    AtomicFile file(path);
    file.Reserve(data.size());
    file.Write(data);
    file.Commit();
}

} // namespace exporter::detail
