// Names from the save dialogs: the type's extension added to a bare name only, the extension of a filter, the folder kept for the run.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "window/DialogNames.h"

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
