// Every file output of a fractal window driven into failing targets: its message, and no partial or altered file where none is promised.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTimer>

#include <csignal>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "TestFiles.h"
#include "export/Scenes.h"
#include "window/FormJU.h"
#include "shell/Application.h"
#include "shell/FormExport.h"
#include "ModalDialogs.h"
#include "window/ErrorReport.h"
#include "ScriptedDialogs.h"

using testfiles::TempDir;

namespace {

// The full device under `name` in the folder: a node of it, or where nodes
// cannot be made (not root, or a container that forbids them) a symbolic link
// to /dev/full. Either way a writer that replaced the name by a regular file
// would be seen.
std::string FullDeviceNamed(const TempDir& dir, const std::string& name)
{
    const std::string node = dir / name;
    if (::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0)
        std::filesystem::create_symlink("/dev/full", node);
    return node;
}

std::vector<std::uint8_t> OldBytes()
{
    std::vector<std::uint8_t> old(50000);
    for (std::size_t i = 0; i < old.size(); ++i)
        old[i] = static_cast<std::uint8_t>(i * 13 + 5);
    return old;
}

class FileFaults : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        exporter::InitTgaHeader();
        CreateApplicationWindows();
        // Never shown, so it never calculates: its buffer is the picture.
        window = FormJU7;
        for (std::size_t i = 0; i < static_cast<std::size_t>(engine::kBufferCells); ++i)
            window->IterBuffer.Set(i, static_cast<std::uint8_t>(i * 7 + i / 1024));
    }
    static void TearDownTestSuite()
    {
        DestroyApplicationWindows();
        window = nullptr;
    }

    void SetUp() override
    {
        testseam::Dialogs().error = [this](const QString& m) { messages.push_back(m.toStdString()); };
    }
    void TearDown() override
    {
        testseam::Dialogs().saveFile = nullptr;
        testseam::Dialogs().error = nullptr;
    }

    void Answer(const std::string& name)
    {
        testseam::Dialogs().saveFile = [name](const SaveDialogSettings&) { return QString::fromStdString(name); };
    }

    // The commands as their menu items or a handler run them: any exception
    // goes to the error handler.
    void SaveBmp(const std::string& name)
    {
        Answer(name);
        window->MMSave->trigger();
    }
    void ExportRenderMan(const std::string& name)
    {
        Answer(name);
        errors::Guarded([] { window->MMExportBMRTClick(); });
    }
    void ExportPov(const std::string& name)
    {
        Answer(name);
        testsupport::SaveWhenPovOptionsOpen();
        window->MMPov->trigger();
    }

    // Exactly one message, naming the file and the platform's reason.
    void ExpectOneMessage(const std::string& path, const std::string& reason)
    {
        ASSERT_EQ(messages.size(), 1u) << "for " << path;
        EXPECT_NE(messages[0].find(path), std::string::npos) << messages[0];
        EXPECT_NE(messages[0].find(reason), std::string::npos) << messages[0];
        messages.clear();
    }

    static TFormBasicTamoSet* window;
    std::vector<std::string> messages;
};

TFormBasicTamoSet* FileFaults::window = nullptr;

} // namespace

TEST_F(FileFaults, MissingFolderAndAPathThroughAFileLeaveNothingBehind)
{
    TempDir dir;
    testfiles::WriteBytes(dir / "plain", {'k', 'e', 'e', 'p'});
    const struct {
        std::string path, reason;
    } targets[] = {{dir / "missing/out", "No such file or directory"}, {dir / "plain/out", "Not a directory"}};
    for (const auto& t : targets) {
        SCOPED_TRACE(t.path);
        SaveBmp(t.path + ".bmp");
        ExpectOneMessage(t.path + ".bmp", t.reason);
        ExportRenderMan(t.path + ".rib");
        ExpectOneMessage(t.path + ".rib", t.reason);
        // The height image comes first; its failure ends the export.
        ExportPov(t.path);
        ExpectOneMessage(t.path + ".pov.tga", t.reason);
    }
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"plain"});
    EXPECT_EQ(testfiles::ReadText(dir / "plain"), "keep");
    EXPECT_TRUE(window->MMSave->isEnabled());
    EXPECT_TRUE(window->MMPov->isEnabled());
}

TEST_F(FileFaults, AFullDeviceIsReportedAndStaysADevice)
{
    TempDir dir;
    const std::string bmp = FullDeviceNamed(dir, "full.bmp");
    const std::string rib = FullDeviceNamed(dir, "full.rib");
    const std::string heightImage = FullDeviceNamed(dir, "h.pov.tga");
    const std::string scene = FullDeviceNamed(dir, "s.pov");
    const char* const reason = "No space left on device";

    SaveBmp(bmp);
    ExpectOneMessage(bmp, reason);
    ExportRenderMan(rib);
    ExpectOneMessage(rib, reason);
    // The height image fails: no scene file follows it.
    ExportPov(dir / "h.pov");
    ExpectOneMessage(heightImage, reason);
    EXPECT_FALSE(std::filesystem::exists(dir / "h.pov"));
    // The height image is written, then the scene fails on the device.
    ExportPov(scene);
    ExpectOneMessage(scene, reason);
    EXPECT_EQ(std::filesystem::file_size(scene + ".tga"), static_cast<std::uintmax_t>(exporter::kHeightImageSize));

    for (const std::string& node : {bmp, rib, heightImage, scene})
        EXPECT_TRUE(testfiles::IsCharDevice(node)) << node;
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"full.bmp", "full.rib", "h.pov.tga", "s.pov", "s.pov.tga"}));
}

TEST_F(FileFaults, ADiskFillingUpKeepsOldFilesWhereReplacementIsPromised)
{
    TempDir dir;
    const std::vector<std::uint8_t> old = OldBytes();
    for (const char* name : {"old.bmp", "old.rib", "old.pov", "old.pov.tga"})
        testfiles::WriteBytes(dir / name, old);
    {
        // Room for 60 kB: the picture (2.3 MB), the RenderMan file (1.9 MB)
        // and the height image (787 kB) all fail part way.
        testfiles::FileSizeLimit limit(60000);
        ASSERT_TRUE(limit.active()) << "lowering a limit needs no privilege";
        SaveBmp(dir / "old.bmp");
        ExpectOneMessage(dir / "old.bmp", "File too large");
        ExportRenderMan(dir / "old.rib");
        ExpectOneMessage(dir / "old.rib", "File too large");
        ExportPov(dir / "old.pov");
        ExpectOneMessage(dir / "old.pov.tga", "File too large");
    }
    // The picture and the RenderMan file replace their targets in one step:
    // the old files are intact and no temporary file is left.
    EXPECT_EQ(testfiles::ReadBytes(dir / "old.bmp"), old);
    EXPECT_EQ(testfiles::ReadBytes(dir / "old.rib"), old);
    // The scene is not touched when its height image fails; the height image
    // itself is written in place, so its written part stays.
    EXPECT_EQ(testfiles::ReadBytes(dir / "old.pov"), old);
    const std::vector<std::uint8_t> partial = testfiles::ReadBytes(dir / "old.pov.tga");
    ASSERT_GE(partial.size(), old.size());
    EXPECT_EQ(partial[1], 1); // the TGA header went in
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"old.bmp", "old.pov", "old.pov.tga", "old.rib"}));

    // With room again, every output succeeds over the same names.
    SaveBmp(dir / "old.bmp");
    ExportRenderMan(dir / "old.rib");
    ExportPov(dir / "old.pov");
    EXPECT_TRUE(messages.empty()) << messages.front();
    EXPECT_EQ(std::filesystem::file_size(dir / "old.pov.tga"), static_cast<std::uintmax_t>(exporter::kHeightImageSize));
    EXPECT_EQ(testfiles::CrLfLines(testfiles::ReadText(dir / "old.pov")).size(), 42u);
    EXPECT_GT(std::filesystem::file_size(dir / "old.bmp"), 2000000u);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"old.bmp", "old.pov", "old.pov.tga", "old.rib"}));
}
