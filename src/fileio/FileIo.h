// Small file chores every writer and reader of Quillon shares: a capped read of a small file, the UTF-8
// check, and new files made the way a plain open would make them (mode from the umask), flushed and renamed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fileio {

// ---- reading a small file ----

// A file opened for reading without blocking (a named pipe cannot hold the
// program); closed with the object.
class InputFile {
public:
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // 0 once open and a regular file; else the errno that tells why not:
    // EISDIR for a folder, EINVAL for any other kind of file.
    int Error() const { return error_; }
    int Descriptor() const { return fd_; }
    // The size the file had when opened.
    std::uint64_t Size() const { return size_; }
    // The rest of the file when it holds at most `cap` bytes; nothing when it
    // holds more (one byte past the cap is read, so a file that grew since it
    // was opened is told apart). Throws nothing: a read error is Error().
    std::optional<std::string> ReadAtMost(std::size_t cap);

private:
    int fd_ = -1;
    int error_ = 0;
    std::uint64_t size_ = 0;
};

// The length of the well-formed UTF-8 sequence that starts at s[i], or 0 when
// the bytes there are not one (overlong forms, surrogates, values above
// U+10FFFF and a sequence cut by the end of `s` included).
std::size_t Utf8Length(std::string_view s, std::size_t i);
// Every byte of `s` belongs to a well-formed UTF-8 sequence.
bool IsUtf8(std::string_view s);

// ---- writing a new file ----

// Makes a new file named prefix + 8 random letters and digits + suffix,
// exclusively, with mode 0666 so that the process umask applies as to any
// new file. Returns its descriptor (write only) and sets `name`; -1 and errno
// on failure.
int CreateUnique(const std::string& prefix, const std::string& suffix, std::string& name);
// Flushes `path` to the disk (opened for reading: no write permission is
// needed). Returns 0 or the errno.
int SyncFile(const std::string& path);
// Renames `from` over `to`; 0 or the errno.
int RenameOver(const std::string& from, const std::string& to);
// The platform's text for an errno value.
std::string ErrorText(int error);

} // namespace fileio
