// The shared file chores: the capped read of a small file, the UTF-8 check, new files made as open makes them.
#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "../export/TestFiles.h"
#include "fileio/FileIo.h"

TEST(FileIo, CappedReadTakesWholeSmallFilesOnly)
{
    testfiles::TempDir dir;
    const std::string small = dir / "small", big = dir / "big", folder = dir / "folder", fifo = dir / "fifo";
    std::ofstream(small) << "12345";
    std::ofstream(big) << std::string(11, 'x');
    ASSERT_EQ(::mkdir(folder.c_str(), 0777), 0);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    fileio::InputFile s(small);
    ASSERT_EQ(s.Error(), 0);
    EXPECT_EQ(s.Size(), 5u);
    EXPECT_EQ(s.ReadAtMost(5), std::optional<std::string>("12345")) << "a file of exactly the cap is read";
    fileio::InputFile b(big);
    EXPECT_EQ(b.ReadAtMost(10), std::nullopt);
    EXPECT_EQ(b.Error(), 0) << "too large is no read error";

    struct Case {
        std::string path;
        int error;
    };
    for (const Case& c : {Case{folder, EISDIR}, Case{fifo, EINVAL}, Case{dir / "missing", ENOENT}}) {
        fileio::InputFile f(c.path); // a pipe with no writer must not block
        EXPECT_EQ(f.Error(), c.error) << c.path;
        EXPECT_EQ(f.ReadAtMost(100), std::nullopt) << c.path;
    }
}

TEST(FileIo, Utf8AcceptsWellFormedTextOnly)
{
    struct Case {
        std::string text;
        bool ok;
    };
    const Case cases[] = {
        {"plain", true},           {"\xC3\xA9t\xC3\xA9", true},  {"\xF0\x9F\x8E\xA8", true},
        {"\xC0\xAF", false},       // overlong
        {"\xED\xA0\x80", false},   // a surrogate
        {"\xF4\x90\x80\x80", false}, // above U+10FFFF
        {"ab\xE2\x82", false},     // cut by the end
        {"\x80", false},           {"", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fileio::IsUtf8(c.text), c.ok) << testing::PrintToString(c.text);
}

TEST(FileIo, NewFilesTakeTheModeTheUmaskGives)
{
    testfiles::TempDir dir;
    for (const mode_t mask : {mode_t{022}, mode_t{077}}) {
        const mode_t old = ::umask(mask);
        std::string first, second;
        const int a = fileio::CreateUnique(dir / "x.", ".tmp", first);
        const int b = fileio::CreateUnique(dir / "x.", ".tmp", second);
        ::umask(old);
        ASSERT_GE(a, 0);
        ASSERT_GE(b, 0);
        ::close(a);
        ::close(b);
        EXPECT_NE(first, second);
        EXPECT_EQ(first.rfind(dir / "x.", 0), 0u);
        EXPECT_EQ(first.substr(first.size() - 4), ".tmp");
        struct stat st {};
        ASSERT_EQ(::stat(first.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0666u & ~mask);
        EXPECT_EQ(fileio::RenameOver(first, dir / "done"), 0);
        EXPECT_EQ(fileio::SyncFile(dir / "done"), 0);
        EXPECT_EQ(fileio::RenameOver(first, dir / "again"), ENOENT) << "the temporary is gone";
        ::unlink((dir / "done").c_str());
    }
}
