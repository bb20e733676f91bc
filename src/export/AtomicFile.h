// Files that appear whole or not at all: a temporary beside the target, renamed over it when complete.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace exporter {

// A failed file operation; what() carries the file name and the platform's error text.
class IoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

namespace detail {

// The platform's text for an errno value.
std::string ErrnoText(int error);

// A file written piece by piece that replaces `path` only when committed. A
// regular file (or a new name) is written to a temporary file beside it,
// flushed to disk and renamed over the target on Commit, so a failure, an
// exception or a cancelled job (the object destroyed uncommitted) leaves the
// old file as it was and no partial file; a symbolic link keeps pointing at
// the replaced file. Anything else that already exists under the name (a
// device such as /dev/null, a pipe) cannot be replaced by a rename and is
// written in place. Every failure throws IoError naming the file and the
// platform's reason.
class AtomicFile {
public:
    explicit AtomicFile(const std::string& path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Appends at the end of what was written so far.
    void Write(std::string_view data);
    void Write(const void* data, std::size_t size)
    {
        Write(std::string_view(static_cast<const char*>(data), size));
    }
    // Writes at a position of its own (a file written out of order, such as a
    // bitmap whose last row comes first); not possible on a pipe.
    void WriteAt(std::uint64_t offset, std::string_view data);
    void Commit();

    const std::string& Path() const { return path_; }

private:
    void FlushBuffer();
    [[noreturn]] void Fail(int error);

    std::string path_;      // as the caller named it (for messages)
    std::string target_;    // the file the rename replaces (a link resolved)
    std::string temporary_; // empty when writing in place
    int fd_ = -1;
    bool committed_ = false;
    std::vector<char> buffer_;
};

// Replaces the file at `path` by `data` through an AtomicFile.
void ReplaceFile(const std::string& path, std::string_view data);

} // namespace detail
} // namespace exporter
