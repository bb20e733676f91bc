// Scratch folders and whole-file helpers for the file-writer tests.
#pragma once

#include <algorithm>
#include <clocale>
#include <csignal>
#include <cstdint>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <locale>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace testfiles {

// Lowers the largest file this process may write; a write past it fails with
// EFBIG ("File too large"), as a disk filling up would part way. Running as
// root, this is the one way to make a regular file refuse a write.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit lower = old_;
        lower.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &lower) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool active() const { return active_; }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
    bool active_ = false;
};

// Runs `body` on a thread that lacks the capabilities letting root write
// where the permission bits forbid it. Capabilities belong to each thread on
// Linux, so the rest of the process keeps them; for any other user the bits
// apply anyway. A read-only folder then refuses new files, whoever runs the
// tests (CI runs them as root).
inline void WithoutPermissionOverride(const std::function<void()>& body)
{
    std::thread thread([&body] {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2]{};
        if (::syscall(SYS_capget, &header, data) != 0) {
            ADD_FAILURE() << "capget: " << std::strerror(errno);
            return;
        }
        for (const unsigned cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
            data[cap / 32].effective &= ~(1u << (cap % 32));
        if (::syscall(SYS_capset, &header, data) != 0) {
            ADD_FAILURE() << "capset: " << std::strerror(errno);
            return;
        }
        try {
            body();
        } catch (const std::exception& e) {
            ADD_FAILURE() << "unexpected exception: " << e.what();
        }
    });
    thread.join();
}

// Switches the C and C++ global locales for one scope.
class GlobalLocale {
public:
    explicit GlobalLocale(const char* name)
    {
        oldC_ = std::setlocale(LC_ALL, nullptr);
        oldCpp_ = std::locale();
        if (std::setlocale(LC_ALL, name) == nullptr)
            return;
        try {
            std::locale::global(std::locale(name));
            active_ = true;
        } catch (const std::runtime_error&) {
        }
    }
    ~GlobalLocale()
    {
        std::locale::global(oldCpp_);
        std::setlocale(LC_ALL, oldC_.c_str());
    }
    bool active() const { return active_; }

private:
    std::string oldC_;
    std::locale oldCpp_;
    bool active_ = false;
};

// A fresh folder under the system's temporary folder, removed with its contents.
class TempDir {
public:
    TempDir() : TempDir(std::filesystem::temp_directory_path()) {}
    explicit TempDir(const std::filesystem::path& base)
    {
        std::string pattern = (base / "quillon-test-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a scratch folder");
        path_ = pattern;
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

    // Names of the entries in the folder, sorted.
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(path_))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path path_;
};

inline std::vector<std::uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Splits at CR LF; the text must end with one.
inline std::vector<std::string> CrLfLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "text does not end with CR LF";
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// A node of the "full" device (every write fails with ENOSPC) inside the
// scratch folder, so a writer that wrongly replaced it would only hit the
// copy; /dev/full itself where nodes cannot be made.
inline std::string FullDevice(const TempDir& dir)
{
    const std::string node = dir / "full";
    if (::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0)
        return node;
    return "/dev/full";
}

inline bool IsCharDevice(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

// A buffer whose bytes differ from cell to cell and from row to row.
inline std::vector<std::uint8_t> PatternBuffer()
{
    std::vector<std::uint8_t> b(1024 * 768);
    for (std::size_t i = 0; i < b.size(); ++i)
        b[i] = static_cast<std::uint8_t>((i * 7 + i / 1024 * 13) & 0xFF);
    return b;
}

} // namespace testfiles
