// Saving the picture, the clipboard, the RenderMan file and the reporting of a failed handler.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QSlider>
#include <QTemporaryDir>

#include "window/FormJU.h"
#include "window/ErrorReport.h"
#include "window/PictureView.h"
#include "WindowTestSupport.h"
#include "ScriptedDialogs.h"

using namespace guitest;

namespace {

class WindowOutput : public OutputTest {
protected:
    static void SetUpTestSuite()
    {
        window = std::make_unique<TFormJU4>();
        ASSERT_TRUE(OpenWindow(*window));
        ASSERT_TRUE(WaitForCalculation(*window));
    }
    static void TearDownTestSuite() { window.reset(); }

    static std::unique_ptr<TFormJU4> window;
};

std::unique_ptr<TFormJU4> WindowOutput::window;

} // namespace

TEST_F(WindowOutput, SaveWritesTheShownPictureUnderTheExactNameChosen)
{
    const QString path = dir.filePath("fractal"); // no extension, none added
    Answer(path);
    window->MMSave->trigger();

    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].name, "SaveDialog1");
    EXPECT_EQ(asked[0].title, "Save the Fractal Image");
    EXPECT_EQ(asked[0].filter, "Windows Bitmap (*.bmp);;All Files (*.*)");
    EXPECT_EQ(asked[0].initialName, "*.bmp");
    EXPECT_TRUE(messages.empty());

    ASSERT_TRUE(QFile::exists(path));
    EXPECT_FALSE(QFile::exists(path + ".bmp"));
    QImageReader reader(path, "BMP");
    const QImage saved = reader.read();
    ASSERT_FALSE(saved.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(saved.size(), QSize(1024, 768));
    EXPECT_EQ(Rgb32(saved), Rgb32(window->PB->Picture()));

    // Saving again replaces the file without a question.
    window->TB1->setValue(3);
    window->MMSave->trigger();
    EXPECT_EQ(Rgb32(QImage(path, "BMP")), Rgb32(window->PB->Picture()));
    window->TB1->setValue(0);
}

TEST_F(WindowOutput, CancelledSaveWritesNothing)
{
    Answer(QString());
    window->MMSave->trigger();
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    EXPECT_TRUE(messages.empty());
}

TEST_F(WindowOutput, AFailedSaveIsReportedAndLeavesTheWindowAsItWas)
{
    const QImage before = window->PB->Picture();
    Answer(dir.filePath("missing-folder/fractal.bmp"));
    window->MMSave->trigger(); // must not throw out of the menu command
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_FALSE(messages[0].isEmpty());
    EXPECT_EQ(window->PB->Picture(), before);
    EXPECT_TRUE(window->MMSave->isEnabled());
}

TEST_F(WindowOutput, CopyPutsTheShownPictureOnTheClipboard)
{
    window->MMCopytoclipboard->trigger();
    EXPECT_EQ(Rgb32(QGuiApplication::clipboard()->image()), Rgb32(window->PB->Picture()));
}

TEST_F(WindowOutput, RenderManFileIsWrittenFromTheValues)
{
    const QString path = dir.filePath("scene.rib");
    Answer(path);
    window->MMExportBMRTClick();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].name, "SaveBMRT");
    EXPECT_TRUE(asked[0].filter.isEmpty());
    EXPECT_TRUE(asked[0].title.isEmpty());
    EXPECT_TRUE(asked[0].initialName.isEmpty());

    const QString direct = dir.filePath("direct.rib");
    exporter::WriteRenderMan(direct.toStdString(), window->IterBuffer.Snapshot());
    QFile a(path), b(direct);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly));
    ASSERT_TRUE(b.open(QIODevice::ReadOnly));
    const QByteArray written = a.readAll();
    EXPECT_GT(written.size(), 0);
    EXPECT_EQ(written, b.readAll());
}

TEST(ErrorReport, GuardedHandlersReportTheMessageAndStopThere)
{
    std::vector<QString> messages;
    testseam::Dialogs().error = [&](const QString& m) { messages.push_back(m); };
    int reached = 0;
    EXPECT_FALSE(errors::Guarded([&] {
        ++reached;
        throw std::runtime_error("Floating point overflow");
        ++reached;
    }));
    EXPECT_FALSE(errors::Guarded([] { throw 42; }));
    EXPECT_TRUE(errors::Guarded([&] { ++reached; }));
    // File names in messages are UTF-8 bytes, whatever the locale.
    EXPECT_FALSE(errors::Guarded([] { throw std::runtime_error("Bild-\xc3\xa4\xd9\xab.bmp: Permission denied"); }));
    testseam::Dialogs().error = nullptr;

    EXPECT_EQ(reached, 2);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0], "Floating point overflow");
    EXPECT_FALSE(messages[1].isEmpty());
    EXPECT_EQ(messages[2], QStringView(u"Bild-\u00e4\u066b.bmp: Permission denied").toString());
}
