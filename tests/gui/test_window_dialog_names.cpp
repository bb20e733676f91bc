// Names from the save dialogs: the type's extension added to a bare name only, the extension of a filter, the folder kept for the run.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <QAction>
#include <QFile>

#include <algorithm>

#include "window/DialogNames.h"
#include "window/FormJU.h"
#include "window/LongJobs.h"
#include "window/RenderPictureDialog.h"
#include "WindowTestSupport.h"

TEST(DialogNames, ABareNameGetsTheTypesExtensionAnyOtherNameStaysAsChosen)
{
    const struct {
        const char* name;
        const char* extension;
        const char* result;
    } cases[] = {
        {"julia1", ".qview", "julia1.qview"},
        {"/tmp/juliapic", ".png", "/tmp/juliapic.png"},
        {"/tmp/a.b/juliapic", ".png", "/tmp/a.b/juliapic.png"}, // a dot in a folder is not an extension
        {"julia1.qview", ".qview", "julia1.qview"},
        {"julia1.QVIEW", ".qview", "julia1.QVIEW"},
        {"fire.txt", ".map", "fire.txt"}, // an extension of the user's own is kept
        {"frames/", ".mp4", "frames/"},
        {"", ".png", ""},
        {"poster", "", "poster"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(window::WithExtension(c.name, c.extension).toStdString(), c.result) << c.name;
}

TEST(DialogNames, TheFilterNamesItsExtensionAndTheFolderIsKeptForTheRun)
{
    const struct {
        const char* filter;
        const char* extension;
    } filters[] = {{"Quillon views (*.qview)", ".qview"},
                   {"GIMP Palette (*.gpl)", ".gpl"},
                   {"Videos (*.mp4 *.webm)", ".mp4"},
                   {"WebM video (*.webm)", ".webm"},
                   {"Windows Bitmap (*.BMP)", ".bmp"},
                   {"All files (*)", ""},
                   {"", ""}};
    for (const auto& f : filters)
        EXPECT_EQ(window::FilterExtension(f.filter).toStdString(), f.extension) << f.filter;

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    window::RememberDialogFolder(QDir(dir.path()).filePath("picture.png"));
    EXPECT_EQ(window::DialogFolder(), dir.path());
    EXPECT_EQ(window::InDialogFolder("palette.map"), QDir(dir.path()).filePath("palette.map"));
    EXPECT_EQ(window::InDialogFolder("/elsewhere/x.map"), "/elsewhere/x.map");
    // A chosen folder (frames of a movie) is itself the folder.
    ASSERT_TRUE(QDir(dir.path()).mkdir("frames"));
    window::RememberDialogFolder(QDir(dir.path()).filePath("frames"));
    EXPECT_EQ(window::DialogFolder(), QDir(dir.path()).filePath("frames"));
    window::RememberDialogFolder(QString());
    EXPECT_EQ(window::DialogFolder(), QDir(dir.path()).filePath("frames")) << "a cancel keeps the folder";
}

TEST(DialogNames, SavedTextNamesTheFileItsSizeAndTheTime)
{
    EXPECT_EQ(window::SavedText("/tmp/a.png", 1920, 1080, 1.26).toStdString(), "Saved /tmp/a.png (1920 × 1080, 1.3 s)");
    EXPECT_EQ(window::SavedText("b.bmp", 64, 48, 0.01).toStdString(), "Saved b.bmp (64 × 48, 0.0 s)");
    EXPECT_EQ(window::SavedText("c.png", 7680, 4320, 83.6).toStdString(), "Saved c.png (7680 × 4320, 84 s)");
}

namespace {

class DialogExtensions : public guitest::OutputTest {
protected:
    void SetUp() override
    {
        OutputTest::SetUp();
        ASSERT_TRUE(guitest::OpenWindow(w));
        ASSERT_TRUE(guitest::WaitForCalculation(w));
    }
    QString Saved(QAction* item, const QString& answer)
    {
        Answer(answer);
        item->trigger();
        return asked.empty() ? QString() : asked.back().initialName;
    }
    TFormJU4 w;
};

} // namespace

TEST_F(DialogExtensions, BareNamesGetTheTypesExtensionTheSpecifiedSaveKeepsItsNameAndTheFolderIsKept)
{
    struct Case {
        QAction* item;
        const char* answer;
        const char* file; // what is written
    };
    const std::vector<Case> cases = {
        {w.MMSaveView, "julia1", "julia1.qview"},
        {w.MMSavePictureView, "juliapic", "juliapic.png"},
        {w.MMSavePalette, "mine", "mine.map"},
        {w.MMSavePalette, "theirs.gpl", "theirs.gpl"},
        {w.MMSaveView, "kept.view", "kept.view"}, // a name with an extension of its own stays
        {w.MMSave, "plain", "plain"},             // Save (BMP): the name as chosen
    };
    for (const Case& c : cases) {
        Saved(c.item, dir.filePath(c.answer));
        EXPECT_TRUE(QFile::exists(dir.filePath(c.file))) << c.answer << " -> " << c.file;
    }
    EXPECT_TRUE(messages.empty()) << messages.front().toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("julia1")));
    EXPECT_FALSE(QFile::exists(dir.filePath("plain.bmp")));
    const std::vector<std::uint8_t> map = [&] {
        QFile f(dir.filePath("mine.map"));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray b = f.readAll();
        return std::vector<std::uint8_t>(b.begin(), b.end());
    }();
    EXPECT_EQ(std::count(map.begin(), map.end(), '\n'), 256) << "a .map file";

    // The next dialog starts in the folder last used, with the palette's name.
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    Saved(w.MMSaveView, dir.filePath("sub/deeper"));
    EXPECT_TRUE(QFile::exists(dir.filePath("sub/deeper.qview")));
    const QString offered = Saved(w.MMSavePalette, QString()); // cancelled
    EXPECT_EQ(offered, QDir(dir.filePath("sub")).filePath("Quillon Vga.map"));
    w.LoadPaletteFile(dir.filePath("mine.map"));
    EXPECT_EQ(Saved(w.MMSavePalette, QString()), QDir(dir.filePath("sub")).filePath("mine.map"))
        << "a loaded palette's own name";
}

TEST_F(DialogExtensions, ARenderPictureNamedWithoutAnExtensionGetsItsFormats)
{
    window::PictureChoice choice;
    choice.width = 40;
    choice.height = 30;
    choice.path = dir.filePath("bare");
    w.StartRenderPicture(choice);
    ASSERT_TRUE(guitest::WaitUntil([&] { return !w.CurrentLongJob()->Running(); }));
    EXPECT_TRUE(QFile::exists(dir.filePath("bare.png")));
    choice.format = render::FileFormat::Bmp;
    w.StartRenderPicture(choice);
    ASSERT_TRUE(guitest::WaitUntil([&] { return !w.CurrentLongJob()->Running(); }));
    EXPECT_TRUE(QFile::exists(dir.filePath("bare.bmp")));
    EXPECT_FALSE(QFile::exists(dir.filePath("bare")));
    EXPECT_TRUE(messages.empty());
}
