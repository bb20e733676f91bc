// Whole-file output shared by the writers: replace a file atomically or fail with IoError.
#include "export/FileOutput.h"

#include <cerrno>
#include <filesystem>
#include <random>
#include <cstring>

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "export/Export.h"

namespace exporter::detail {

std::string ErrnoText(int error)
{
    char text[256];
    // The GNU strerror_r: returns the message, in `text` or in a static table.
    return ::strerror_r(error, text, sizeof text);
}

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

namespace {

[[noreturn]] void Fail(const std::string& path, int error) { throw IoError(path + ": " + ErrnoText(error)); }

// Closes a descriptor on every path out of a write; `Close` reports the result.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    int Close()
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int fd_;
};

// 0 or the errno of the first failed write.
int WriteAll(int fd, std::string_view data)
{
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
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

void WriteInPlace(const std::string& path, std::string_view data)
{
    // Non-blocking open: a pipe without a reader fails at once instead of hanging.
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        Fail(path, errno);
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        Fail(path, errno);
    if (const int error = WriteAll(fd.get(), data))
        Fail(path, error);
    if (const int error = fd.Close())
        Fail(path, error);
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

// Overwrites an existing regular file, for when its folder takes no new
// file. Room for the whole content is reserved first, so a disk that is full
// (or a size limit) fails before the old content is touched; a failure while
// writing leaves the new bytes up to that point followed by the old ones.
void OverwriteInPlace(const std::string& path, const std::string& target, std::string_view data)
{
    Descriptor fd(::open(target.c_str(), O_WRONLY | O_CLOEXEC));
    if (fd.get() < 0)
        Fail(path, errno);
    const auto size = static_cast<off_t>(data.size());
    // File systems without fallocate write the content without a reservation.
    if (size > 0 && ::fallocate(fd.get(), 0, 0, size) != 0 && errno != EOPNOTSUPP && errno != ENOSYS)
        Fail(path, errno);
    int error = WriteAll(fd.get(), data);
    if (!error && ::ftruncate(fd.get(), size) != 0)
        error = errno;
    if (!error && ::fsync(fd.get()) != 0)
        error = errno;
    if (const int closeError = fd.Close(); !error)
        error = closeError;
    if (error)
        Fail(path, error);
}

} // namespace

void ReplaceFile(const std::string& path, std::string_view data)
{
    if (path.empty())
        Fail(path, ENOENT);
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    // A rename would put a regular file in place of a device: as root that
    // replaces /dev/null or /dev/full itself.
    if (exists && !S_ISREG(st.st_mode)) {
        WriteInPlace(path, data);
        return;
    }
    std::string target = path;
    struct stat link {};
    if (exists && ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        std::error_code ec;
        const std::filesystem::path resolved = std::filesystem::canonical(path, ec);
        if (!ec)
            target = resolved.string();
    }

    std::string temporary;
    Descriptor fd(CreateTemporary(target, temporary));
    if (fd.get() < 0) {
        const int error = errno;
        // A folder the user may not write can still hold a file the user may:
        // a plain overwrite succeeds there, so the save does too.
        if (exists && (error == EACCES || error == EPERM)) {
            OverwriteInPlace(path, target, data);
            return;
        }
        Fail(path, error);
    }
    int error = 0;
    if (exists && ::fchmod(fd.get(), st.st_mode & 07777) != 0)
        error = errno;
    if (!error)
        error = WriteAll(fd.get(), data);
    if (!error && ::fsync(fd.get()) != 0)
        error = errno;
    if (const int closeError = fd.Close(); !error)
        error = closeError;
    if (!error && ::rename(temporary.c_str(), target.c_str()) != 0)
        error = errno;
    if (error) {
        ::unlink(temporary.c_str());
        Fail(path, error);
    }
}

} // namespace exporter::detail
