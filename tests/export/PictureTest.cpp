// Tests of the painted picture and its bitmap file, including failed saves.
#include <csignal>

#include <QImage>

#include <sys/resource.h>

#include <fcntl.h>

#include "TestFiles.h"
#include "export/Scenes.h"
#include "export/PictureWriters.h"
#include "export/AtomicFile.h"
#include "window/ScreenPicture.h"

using namespace exporter;
using namespace screen;
using testfiles::TempDir;

namespace {

colour::TPaletteTable TwoColourPalette()
{
    colour::TPaletteTable P;
    colour::BuildPalette3(colour::MakeColour(10, 200, 30), colour::kWhite, colour::MakeColour(0, 0, 90), P);
    return P;
}

QImage SamplePicture()
{
    const auto buffer = testfiles::PatternBuffer();
    return RenderPicture(buffer, TwoColourPalette(), colour::ColourAdjust{17, 5, 20, -30, 0});
}

} // namespace

TEST(RenderPicture, EveryPixelIsTheColourOfItsCell)
{
    const auto buffer = testfiles::PatternBuffer();
    const auto P = TwoColourPalette();
    const colour::ColourAdjust adjust{17, 5, 20, -30, 0};
    const QImage image = RenderPicture(buffer, P, adjust);
    ASSERT_EQ(image.width(), 1024);
    ASSERT_EQ(image.height(), 768);
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    for (int r = 0; r < 768; ++r)
        for (int c = 0; c < 1024; ++c) {
            const colour::Rgb want = colour::MapColour(buffer[static_cast<std::size_t>(r) * 1024 + c], P, adjust);
            const QRgb got = image.pixel(c, r);
            if (qRed(got) != want.red || qGreen(got) != want.green || qBlue(got) != want.blue) {
                ADD_FAILURE() << "pixel (" << c << ", " << r << ")";
                return;
            }
        }
}

TEST(RenderPicture, RejectsAShortBuffer)
{
    const std::vector<std::uint8_t> shortBuffer(1024 * 767);
    EXPECT_THROW(RenderPicture(shortBuffer, colour::DefaultVgaPalette, {}), std::invalid_argument);
}

TEST(SaveBmp, WritesABitmapWithTheSameColoursAndReplacesAnOldFile)
{
    TempDir dir;
    const std::string path = dir / "picture"; // no extension: the name is used as given
    testfiles::WriteBytes(path, std::vector<std::uint8_t>(5000000, 0xAB)); // an older, larger file
    const QImage image = SamplePicture();
    SaveBmp(image, QString::fromStdString(path));

    const auto bytes = testfiles::ReadBytes(path);
    ASSERT_GE(bytes.size(), 54u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_LT(bytes.size(), 5000000u);
    QImage loaded(QString::fromStdString(path), "BMP");
    ASSERT_FALSE(loaded.isNull());
    ASSERT_EQ(loaded.size(), QSize(1024, 768));
    EXPECT_EQ(loaded.convertToFormat(QImage::Format_RGB32), image);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"picture"});
}

TEST(SaveBmp, FailuresThrowAndLeaveNoPartialFile)
{
    TempDir dir;
    const QImage image = SamplePicture();

    // A folder that does not exist.
    const std::string missing = dir / "no-such-folder/a.bmp";
    try {
        SaveBmp(image, QString::fromStdString(missing));
        ADD_FAILURE() << "saving into a missing folder succeeded";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("No such file or directory"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "no-such-folder"));

    // A path that runs through a regular file.
    const std::string plain = dir / "file.txt";
    testfiles::WriteBytes(plain, {'k', 'e', 'e', 'p'});
    const std::string through = plain + "/a.bmp";
    try {
        SaveBmp(image, QString::fromStdString(through));
        ADD_FAILURE() << "saving through a regular file succeeded";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find(through), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("Not a directory"), std::string::npos) << e.what();
    }
    EXPECT_EQ(testfiles::ReadBytes(plain), (std::vector<std::uint8_t>{'k', 'e', 'e', 'p'}));

    // A device that refuses every write: the error is reported and the device stays a device.
    const std::string full = testfiles::FullDevice(dir);
    try {
        SaveBmp(image, QString::fromStdString(full));
        ADD_FAILURE() << "saving onto the full device succeeded";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find(full), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("No space left on device"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(testfiles::IsCharDevice(full));
    EXPECT_TRUE(testfiles::IsCharDevice("/dev/full"));

    const std::vector<std::string> expected = full == "/dev/full" ? std::vector<std::string>{"file.txt"}
                                                                   : std::vector<std::string>{"file.txt", "full"};
    EXPECT_EQ(dir.Entries(), expected);
}

TEST(SaveBmp, AFailedWriteKeepsTheExistingFileByteForByte)
{
    TempDir dir;
    const std::string path = dir / "old.bmp";
    std::vector<std::uint8_t> old(40000);
    for (std::size_t i = 0; i < old.size(); ++i)
        old[i] = static_cast<std::uint8_t>(i * 31);
    testfiles::WriteBytes(path, old);
    {
        testfiles::FileSizeLimit limit(100000); // the bitmap needs 2.3 MB
        ASSERT_TRUE(limit.active()) << "lowering a limit needs no privilege";
        try {
            SaveBmp(SamplePicture(), QString::fromStdString(path));
            ADD_FAILURE() << "a write past the size limit succeeded";
        } catch (const IoError& e) {
            EXPECT_NE(std::string(e.what()).find("File too large"), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(testfiles::ReadBytes(path), old);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"old.bmp"});
}

TEST(SaveBmp, OverAWritableFileInAReadOnlyFolderWritesInPlace)
{
    TempDir dir;
    const std::filesystem::path folder = dir.path() / "read-only";
    std::filesystem::create_directory(folder);
    const std::string path = (folder / "old.bmp").string();
    const std::string link = (folder / "link.bmp").string();
    const std::string locked = (folder / "locked.bmp").string();
    std::vector<std::uint8_t> old(50000);
    for (std::size_t i = 0; i < old.size(); ++i)
        old[i] = static_cast<std::uint8_t>(i * 13 + 5);
    testfiles::WriteBytes(path, old);
    testfiles::WriteBytes(locked, old);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    ASSERT_EQ(::link(path.c_str(), link.c_str()), 0);
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    const QImage image = SamplePicture();

    testfiles::WithoutPermissionOverride([&] {
        // Otherwise the atomic replacement would simply succeed and nothing here would be tested.
        const int probe = ::open((folder / "probe").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
        ASSERT_LT(probe, 0) << "the read-only folder still takes new files";
        ASSERT_EQ(errno, EACCES);

        SaveBmp(image, QString::fromStdString(path));
        // A shorter content cuts the old tail off.
        detail::ReplaceFile(link, "short");
        EXPECT_EQ(testfiles::ReadText(path), "short");
        SaveBmp(image, QString::fromStdString(link));

        // Where the file refuses writes too, or the name is new, the save fails and changes nothing.
        for (const std::string& target : {locked, (folder / "new.bmp").string()}) {
            try {
                SaveBmp(image, QString::fromStdString(target));
                ADD_FAILURE() << "saved " << target;
            } catch (const IoError& e) {
                EXPECT_NE(std::string(e.what()).find(target + ": Permission denied"), std::string::npos) << e.what();
            }
        }

        // A disk filling up fails before the first byte: the old content stays whole.
        testfiles::WriteBytes(path, old);
        {
            testfiles::FileSizeLimit limit(60000); // the bitmap needs 2.3 MB
            ASSERT_TRUE(limit.active());
            try {
                SaveBmp(image, QString::fromStdString(path));
                ADD_FAILURE() << "a write past the size limit succeeded";
            } catch (const IoError& e) {
                EXPECT_NE(std::string(e.what()).find(path + ": File too large"), std::string::npos) << e.what();
            }
        }
        EXPECT_EQ(testfiles::ReadBytes(path), old);

        // A streamed picture (its rows written out of order) ends where its last byte is.
        const auto stream = [](const std::string& target) {
            auto writer = OpenBmpWriter(target, 5, 3);
            for (int r = 0; r < 3; ++r) {
                std::uint8_t rgb[15];
                for (int k = 0; k < 15; ++k)
                    rgb[k] = static_cast<std::uint8_t>(r * 50 + k);
                writer->WriteRow(rgb);
            }
            writer->Finish();
        };
        stream(path);
        stream(dir / "streamed.bmp");
        EXPECT_EQ(testfiles::ReadBytes(path), testfiles::ReadBytes(dir / "streamed.bmp"));
        SaveBmp(image, QString::fromStdString(path));
    });
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);

    // The same file, still linked twice, with its permissions, holding the new picture.
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_nlink, 2u);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(QImage(QString::fromStdString(link), "BMP").convertToFormat(QImage::Format_RGB32),
              image.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(testfiles::ReadBytes(locked), old);
    std::vector<std::string> entries;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        entries.push_back(e.path().filename().string());
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{"link.bmp", "locked.bmp", "old.bmp"}));
}
