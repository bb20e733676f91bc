// Files that appear whole or not at all: a temporary beside the target, renamed over it when complete.
#include "export/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace exporter::detail {

std::string ErrnoText(int error)
{
    char text[256];
    // The GNU strerror_r: returns the message, in `text` or in a static table.
    return ::strerror_r(error, text, sizeof text);
}

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

// Creates a new, uniquely named file beside `target`. Created with mode 0666
// so the process umask applies, as for any new file.
int CreateTemporary(const std::string& target, std::string& name)
{
    static thread_local std::mt19937_64 random{std::random_device{}()};
    static const char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + ".";
        for (int k = 0; k < 8; ++k)
            name += digits[random() % (sizeof digits - 1)];
        name += ".tmp";
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

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
        temporary_.clear();
        Fail(errno);
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

void AtomicFile::FlushBuffer()
{
    if (buffer_.empty())
        return;
    if (const int error = WriteAll(fd_, buffer_.data(), buffer_.size()))
        Fail(error);
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
}

void AtomicFile::Commit()
{
    if (fd_ < 0)
        throw IoError(path_ + ": the file was already closed");
    FlushBuffer();
    if (!temporary_.empty() && ::fsync(fd_) != 0)
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
    file.Write(data);
    file.Commit();
}

} // namespace exporter::detail
