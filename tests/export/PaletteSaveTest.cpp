// Tests of palette files on disk: reading with its refusals, and the atomic save.
#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

#include "TestFiles.h"
#include "colour/PaletteFile.h"
#include "export/Export.h"

using namespace colour;
using testfiles::TempDir;

namespace {

std::string MessageOf(const std::string& path)
{
    try {
        ReadPaletteFile(path);
    } catch (const PaletteFileError& e) {
        return e.what();
    }
    return "accepted";
}

} // namespace

TEST(PaletteFileDisk, SaveAndReadBack)
{
    TempDir dir;
    const TPaletteTable P = BuildPaletteForPage(PalettePage::Two, PanelColours{});
    const std::string map = dir / "two.map", gpl = dir / "two.GPL";
    exporter::SavePaletteFile(map, P, "ignored by .map");
    exporter::SavePaletteFile(gpl, P, PalettePageName(PalettePage::Two));
    EXPECT_EQ(testfiles::ReadText(map), FormatMap(P));
    EXPECT_EQ(testfiles::ReadText(gpl), FormatGpl(P, "Quillon 2 colours"));
    EXPECT_EQ(ReadPaletteFile(map), (PaletteFile{P, "two"}));
    EXPECT_EQ(ReadPaletteFile(gpl), (PaletteFile{P, "Quillon 2 colours"}));

    // Saving over a palette replaces it whole.
    exporter::SavePaletteFile(map, DefaultVgaPalette, "");
    EXPECT_EQ(ReadPaletteFile(map).table, DefaultVgaPalette);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"two.GPL", "two.map"}));
}

TEST(PaletteFileDisk, RefusedSavesLeaveNothing)
{
    TempDir dir;
    const TPaletteTable P = DefaultVgaPalette;
    EXPECT_THROW(exporter::SavePaletteFile(dir / "g.ggr", P, "x"), PaletteFileError);
    EXPECT_THROW(exporter::SavePaletteFile(dir / "g.txt", P, "x"), PaletteFileError);
    EXPECT_THROW(exporter::SavePaletteFile(dir / "missing/p.map", P, "x"), exporter::IoError);
    EXPECT_TRUE(dir.Entries().empty());

    // A disk that fills up part way leaves the old file as it was.
    const std::string map = dir / "p.map";
    exporter::SavePaletteFile(map, P, "");
    {
        testfiles::FileSizeLimit limit(100);
        ASSERT_TRUE(limit.active());
        EXPECT_THROW(exporter::SavePaletteFile(map, BuildPaletteForPage(PalettePage::Four, {}), ""),
                     exporter::IoError);
    }
    EXPECT_EQ(testfiles::ReadText(map), FormatMap(P));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"p.map"});
}

TEST(PaletteFileDisk, ReadingRefusesWhatIsNotAPaletteFile)
{
    TempDir dir;
    const std::string huge = dir / "huge.map", folder = dir / "folder.gpl", fifo = dir / "pipe.ggr",
                      grown = dir / "bad.ggr", other = dir / "colours.txt";
    // A file one byte over the limit (sparse: nothing is written).
    { std::ofstream(huge) << "0 0 0\n"; }
    std::filesystem::resize_file(huge, kMaxPaletteFileBytes + 1);
    std::filesystem::create_directory(folder);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    { std::ofstream(grown) << "GIMP Gradient\n1\n0 0.5 1 0 0 0 1 1 1 1 1 0\n"; }
    { std::ofstream(other) << "0 0 0\n"; }

    struct Case {
        std::string path, message;
    };
    const Case cases[] = {
        {dir / "none.map", dir / "none.map: No such file or directory"},
        {huge, huge + ": larger than 1 MiB, too large for a palette"},
        {folder, folder + ": Is a directory"},
        {fifo, fifo + ": not a regular file"},
        {other, other + ": not a palette file (.map, .gpl or .ggr)"},
        {grown, grown + ", line 3: a segment has 13 numbers (15 with the endpoint colour types), this line has 12"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MessageOf(c.path), c.message);

    // Exactly at the limit is read (and then judged on its contents).
    std::filesystem::resize_file(huge, kMaxPaletteFileBytes);
    EXPECT_NE(MessageOf(huge).find(huge + ", line 2: a NUL byte"), std::string::npos) << MessageOf(huge);
}
