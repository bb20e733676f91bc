// Tests of palette files on disk: reading with its refusals, and the atomic save.
#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

#include "TestFiles.h"
#include "colour/PaletteFile.h"
#include "export/Scenes.h"

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
    exporter::SavePaletteFile(map, DefaultVgaPalette, "");
    exporter::SavePaletteFile(map, P, "ignored by .map"); // replaces the file whole
    exporter::SavePaletteFile(gpl, P, PalettePageName(PalettePage::Two));
    EXPECT_EQ(testfiles::ReadText(map), FormatMap(P));
    EXPECT_EQ(ReadPaletteFile(map), (PaletteFile{P, "two"}));
    EXPECT_EQ(ReadPaletteFile(gpl), (PaletteFile{P, "Quillon 2 colours"}));

    // Refused saves write nothing: no gradients, no other names, no missing folders.
    EXPECT_THROW(exporter::SavePaletteFile(dir / "g.ggr", P, "x"), PaletteFileError);
    EXPECT_THROW(exporter::SavePaletteFile(dir / "g.txt", P, "x"), PaletteFileError);
    EXPECT_THROW(exporter::SavePaletteFile(dir / "missing/p.map", P, "x"), exporter::IoError);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"two.GPL", "two.map"}));
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
