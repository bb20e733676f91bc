// Palette files in the window: loading in place of the VGA table, the way back, refused files, saving, drops.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QUrl>

#include <memory>
#include <string>
#include <vector>

#include "colour/Palette.h"
#include "colour/PaletteFile.h"
#include "window/FormJU.h"
#include "window/ColourPanel.h"
#include "window/PictureView.h"
#include "WindowTestSupport.h"
#include "ScriptedDialogs.h"

using namespace guitest;

namespace {

// A table no built-in page produces: every entry distinct in all three channels.
colour::TPaletteTable OddTable()
{
    colour::TPaletteTable t;
    for (int k = 0; k < 256; ++k) {
        t.Red[k] = k;
        t.Green[k] = 255 - k;
        t.Blue[k] = (k * 7) % 256;
    }
    return t;
}

class WindowPaletteFiles : public OutputTest {
protected:
    static void SetUpTestSuite()
    {
        window = std::make_unique<TFormJU4>();
        ASSERT_TRUE(OpenWindow(*window));
        ASSERT_TRUE(WaitForCalculation(*window));
        original = Rgb32(window->PB->Picture());
    }
    static void TearDownTestSuite() { window.reset(); }

    void TearDown() override
    {
        testseam::Dialogs().openFile = nullptr;
        window->SetLoadedPalette(std::nullopt);
        window->ButResetClick();
        OutputTest::TearDown();
    }

    QString Write(const QString& name, const std::string& text)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.data(), static_cast<qint64>(text.size()));
        return path;
    }

    void LoadThroughMenu(const QString& path)
    {
        testseam::Dialogs().openFile = [path](const SaveDialogSettings&) { return path; };
        window->MMLoadPalette->trigger();
    }

    // Every pixel against the mapping of its own value, computed cell by cell.
    static void ExpectPictureMaps(const colour::TPaletteTable& table)
    {
        const TFormBasicTamoSet& w = *window;
        const std::vector<std::uint8_t> values = w.IterBuffer.Snapshot();
        const QImage shown = Rgb32(w.PB->Picture());
        const colour::ColourAdjust adjust = w.CurrentAdjust();
        for (int y = 0; y < shown.height(); y += 7)
            for (int x = 0; x < shown.width(); x += 5) {
                const colour::ColourWord c = colour::PixelColour(
                    values[static_cast<std::size_t>(y) * static_cast<std::size_t>(shown.width()) +
                           static_cast<std::size_t>(x)],
                    table, adjust);
                const QRgb p = shown.pixel(x, y);
                ASSERT_EQ(colour::MakeColour(qRed(p), qGreen(p), qBlue(p)), c) << x << "," << y;
            }
    }

    static QImage Shown() { return Rgb32(window->PB->Picture()); }

    static std::unique_ptr<TFormJU4> window;
    static QImage original;
};

std::unique_ptr<TFormJU4> WindowPaletteFiles::window;
QImage WindowPaletteFiles::original;

} // namespace

TEST_F(WindowPaletteFiles, LoadedMapReplacesTheVgaTableUnderRotationAndTheBuiltInButtonRestoresIt)
{
    TFormJU4& w = *window;
    w.PagCPal->setCurrentWidget(w.TS3);
    const QString path = Write("fire.map", colour::FormatMap(OddTable()));
    LoadThroughMenu(path);

    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(w.PagCPal->currentWidget(), w.TSVga);
    ASSERT_TRUE(w.LoadedPaletteFile().has_value());
    EXPECT_EQ(w.LoadedPaletteFile()->table, OddTable());
    EXPECT_EQ(w.LabPaletteName->text(), "fire");
    EXPECT_TRUE(w.LabPaletteName->isVisible());
    EXPECT_FALSE(w.LabVGADefault->isVisible());
    EXPECT_TRUE(w.ButBuiltInVga->isVisible());
    EXPECT_EQ(w.Palette, OddTable());
    EXPECT_NE(Shown(), original);
    ExpectPictureMaps(OddTable());

    // Rotation and the R/G/B offsets act on the loaded table as on the VGA one.
    w.TB1->setValue(37);
    w.TBG->setValue(-40);
    ExpectPictureMaps(OddTable());
    w.TB1->setValue(0);
    w.TBG->setValue(0);

    // Another page and back: the file's table is still the Vga page's.
    w.PagCPal->setCurrentWidget(w.TS2);
    EXPECT_EQ(w.Palette, colour::BuildPaletteForPage(colour::PalettePage::Two, w.CurrentPanelColours()));
    w.PagCPal->setCurrentWidget(w.TSVga);
    EXPECT_EQ(w.Palette, OddTable());

    QTest::mouseClick(w.ButBuiltInVga, Qt::LeftButton);
    EXPECT_FALSE(w.LoadedPaletteFile().has_value());
    EXPECT_EQ(w.Palette, colour::DefaultVgaPalette);
    EXPECT_EQ(Shown(), original);
    EXPECT_FALSE(w.ButBuiltInVga->isVisible());
    EXPECT_TRUE(w.LabVGADefault->isVisible());
}

TEST_F(WindowPaletteFiles, RefusedFilesReportOneMessageNamingFileAndLineAndChangeNothing)
{
    TFormJU4& w = *window;
    LoadThroughMenu(Write("kept.map", colour::FormatMap(OddTable())));
    w.TB1->setValue(11);
    ASSERT_TRUE(messages.empty());
    const QImage before = Shown();
    const colour::TPaletteTable palette = w.Palette;

    struct Case {
        const char* name;
        std::string text;
        const char* expected; // in the message besides the file name
    };
    const std::vector<Case> cases = {
        {"above.map", "1 2 3\n4 5 300\n", "line 2"},
        {"below.map", "-1 2 3\n", "line 1"},
        {"short.map", "1 2 3\n4 5\n", "line 2"},
        {"bad.gpl", "GIMP Palette\n1 2 x\n", "line 2"},
        {"junk.ggr", std::string("\x7f\x45\x4c\x46\0\1\2", 7), "junk.ggr"},
    };
    for (const Case& c : cases) {
        messages.clear();
        LoadThroughMenu(Write(c.name, c.text));
        ASSERT_EQ(messages.size(), 1u) << c.name;
        EXPECT_TRUE(messages[0].contains(c.name)) << messages[0].toStdString();
        EXPECT_TRUE(messages[0].contains(c.expected)) << messages[0].toStdString();
        EXPECT_EQ(w.LabPaletteName->text(), "kept") << c.name;
        EXPECT_EQ(w.Palette, palette) << c.name;
        EXPECT_EQ(Shown(), before) << c.name;
    }
    messages.clear();
    LoadThroughMenu(dir.filePath("missing.map"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains("missing.map")) << messages[0].toStdString();
    EXPECT_EQ(Shown(), before);
}

TEST_F(WindowPaletteFiles, SavePaletteWritesTheCurrentPageAsBuiltBeforeRotationAndOffsets)
{
    TFormJU4& w = *window;
    w.PagCPal->setCurrentWidget(w.TS2);
    w.TB1->setValue(90);
    w.TBR->setValue(100);
    const colour::TPaletteTable two = colour::BuildPaletteForPage(colour::PalettePage::Two, w.CurrentPanelColours());

    const QString map = dir.filePath("two.map");
    Answer(map);
    w.MMSavePalette->trigger();
    ASSERT_TRUE(messages.empty());
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].name, "SavePalette");
    QFile f(map);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().toStdString(), colour::FormatMap(two));

    const QString gpl = dir.filePath("two.gpl");
    Answer(gpl);
    w.MMSavePalette->trigger();
    QFile g(gpl);
    ASSERT_TRUE(g.open(QIODevice::ReadOnly));
    EXPECT_EQ(g.readAll().toStdString(), colour::FormatGpl(two, colour::PalettePageName(colour::PalettePage::Two)));

    // A name Quillon cannot write is refused with a message and leaves no file.
    Answer(dir.filePath("two.ggr"));
    w.MMSavePalette->trigger();
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_FALSE(QFile::exists(dir.filePath("two.ggr")));
}

TEST_F(WindowPaletteFiles, DroppedPaletteFileLoadsAndOtherFilesAreLeftAlone)
{
    TFormJU4& w = *window;
    const QString path = Write("dropped.map", colour::FormatMap(OddTable()));
    const QString other = Write("notes.txt", "1 2 3\n");
    auto drop = [&w](const QString& file) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        // Straight to the window: without a drag in progress the application's
        // dispatch would not hand a drop to any widget.
        static_cast<QObject&>(w).event(&event);
        return event.isAccepted();
    };
    EXPECT_FALSE(drop(other));
    EXPECT_FALSE(w.LoadedPaletteFile().has_value());
    EXPECT_TRUE(drop(path));
    ASSERT_TRUE(w.LoadedPaletteFile().has_value());
    EXPECT_EQ(w.LabPaletteName->text(), "dropped");
    ExpectPictureMaps(OddTable());
}
