// The shared file chores: capped reads, UTF-8, new files with the umask's mode, flush and rename.
#include "fileio/FileIo.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fileio {

InputFile::InputFile(const std::string& path)
{
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0) {
        error_ = errno;
        return;
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        error_ = errno;
    else if (!S_ISREG(st.st_mode))
        error_ = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    else
        size_ = static_cast<std::uint64_t>(st.st_size);
}

InputFile::~InputFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::optional<std::string> InputFile::ReadAtMost(std::size_t cap)
{
    if (error_ != 0 || size_ > cap)
        return std::nullopt;
    std::string text(cap + 1, '\0');
    std::size_t got = 0;
    while (got < text.size()) {
        const ssize_t n = ::read(fd_, text.data() + got, text.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error_ = errno;
            return std::nullopt;
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    if (got > cap)
        return std::nullopt;
    text.resize(got);
    return text;
}

std::size_t Utf8Length(std::string_view s, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return k < s.size() ? static_cast<unsigned char>(s[k]) : 0u; };
    const unsigned b0 = byte(i);
    const auto cont = [&](std::size_t k, unsigned lo = 0x80, unsigned hi = 0xBF) {
        const unsigned b = byte(i + k);
        return b >= lo && b <= hi;
    };
    if (i >= s.size())
        return 0;
    if (b0 < 0x80)
        return 1;
    if (b0 >= 0xC2 && b0 <= 0xDF)
        return cont(1) ? 2 : 0;
    if (b0 == 0xE0)
        return cont(1, 0xA0) && cont(2) ? 3 : 0;
    if (b0 == 0xED)
        return cont(1, 0x80, 0x9F) && cont(2) ? 3 : 0;
    if (b0 >= 0xE1 && b0 <= 0xEF)
        return cont(1) && cont(2) ? 3 : 0;
    if (b0 == 0xF0)
        return cont(1, 0x90) && cont(2) && cont(3) ? 4 : 0;
    if (b0 >= 0xF1 && b0 <= 0xF3)
        return cont(1) && cont(2) && cont(3) ? 4 : 0;
    if (b0 == 0xF4)
        return cont(1, 0x80, 0x8F) && cont(2) && cont(3) ? 4 : 0;
    return 0;
}

bool IsUtf8(std::string_view s)
{
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = Utf8Length(s, i);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

int CreateUnique(const std::string& prefix, const std::string& suffix, std::string& name)
{
    static thread_local std::mt19937_64 random{std::random_device{}()};
    static const char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = prefix;
        for (int k = 0; k < 8; ++k)
            name += digits[random() % (sizeof digits - 1)];
        name += suffix;
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

int SyncFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = ::fsync(fd) != 0 ? errno : 0;
    ::close(fd);
    return error;
}

int RenameOver(const std::string& from, const std::string& to)
{
    return ::rename(from.c_str(), to.c_str()) != 0 ? errno : 0;
}

std::string ErrorText(int error)
{
    char text[256];
    // The GNU strerror_r: returns the message, in `text` or in a static table.
    return ::strerror_r(error, text, sizeof text);
}

} // namespace fileio
