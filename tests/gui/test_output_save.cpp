// Saving and copying the picture through the real file dialog, and the RenderMan writer no control reaches.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <set>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QImageReader>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "window/FormJU.h"
#include "shell/Application.h"
#include "shell/FormExport.h"
#include "window/UrlLink.h"
#include "window/ColourPanel.h"
#include "window/ErrorReport.h"
#include "window/PictureView.h"
#include "ModalDialogs.h"
#include "WindowTestSupport.h"
#include "ScriptedDialogs.h"

using namespace guitest;
using testsupport::WhenModal;

namespace {

QLineEdit* FileNameField(QFileDialog& d) { return d.findChild<QLineEdit*>("fileNameEdit"); }

// A window whose calculation ends at once with the buffer as it is, so every
// command can be tried without waiting for pictures.
class InstantWindow : public TFormJU4 {
public:
    void CreateCalcThread() override { ComputedRow.store(engine::kBufferHeight - 1, std::memory_order_release); }
    void Settle()
    {
        if (Calculating.load())
            Timer1Timer();
    }
};

class SaveAndCopy : public OutputTest {
protected:
    static void SetUpTestSuite()
    {
        CreateApplicationWindows();
        window = FormJU6;
        ASSERT_TRUE(OpenWindow(*window));
        ASSERT_TRUE(WaitForCalculation(*window));
    }
    static void TearDownTestSuite()
    {
        DestroyApplicationWindows();
        window = nullptr;
    }

    static TFormBasicTamoSet* window;
};

TFormBasicTamoSet* SaveAndCopy::window = nullptr;

} // namespace

TEST_F(SaveAndCopy, TheSaveDialogAsksWithItsSettingsAndTheNameIsUsedAsTyped)
{
    const QString path = dir.filePath("picture"); // no extension, none added
    bool checked = false;
    WhenModal<QFileDialog>([&](QFileDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Save the Fractal Image");
        EXPECT_EQ(d.nameFilters(), QStringList({"Windows Bitmap (*.bmp)", "All Files (*.*)"}));
        EXPECT_EQ(d.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_TRUE(d.defaultSuffix().isEmpty());
        EXPECT_TRUE(d.testOption(QFileDialog::DontConfirmOverwrite));
        if (QLineEdit* field = FileNameField(d))
            EXPECT_EQ(field->text(), "*.bmp");
        else
            ADD_FAILURE() << "no file name field";
        checked = true;
        d.selectFile(path);
        static_cast<QDialog&>(d).accept(); // as the Save button does
    });
    window->MMSave->trigger();
    ASSERT_TRUE(checked);
    ASSERT_TRUE(messages.empty()) << messages[0].toStdString();
    EXPECT_EQ(Files(), QStringList({"picture"}));
    QImageReader reader(path, "BMP");
    const QImage saved = reader.read();
    ASSERT_FALSE(saved.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(Rgb32(saved), ExpectedPicture(*window));

    // Cancelling the dialog writes nothing.
    WhenModal<QFileDialog>([](QFileDialog& d) { d.reject(); });
    QFile::remove(path);
    window->MMSave->trigger();
    EXPECT_TRUE(Files().isEmpty());
    EXPECT_TRUE(messages.empty());
}

TEST_F(SaveAndCopy, ThePictureLeavesAt1024By768WhateverTheWindowSize)
{
    const QImage expected = ExpectedPicture(*window);
    int n = 0;
    for (const QSize size : {QSize(320, 240), QSize(1500, 1100)}) {
        window->resize(size);
        QTest::qWait(10);
        // The view follows the window: smaller than the picture both ways, then larger.
        const bool small = size.width() < 1024;
        EXPECT_EQ(window->PB->width() < 1024, small) << window->PB->width();
        EXPECT_EQ(window->PB->height() < 768, small) << window->PB->height();
        const QString path = dir.filePath(QString("size%1.bmp").arg(++n));
        testseam::Dialogs().saveFile = [&](const SaveDialogSettings&) { return path; };
        window->MMSave->trigger();
        const QImage saved(path, "BMP");
        EXPECT_EQ(saved.size(), QSize(1024, 768));
        EXPECT_EQ(Rgb32(saved), expected);

        QGuiApplication::clipboard()->clear();
        window->MMCopytoclipboard->trigger();
        EXPECT_EQ(Rgb32(QGuiApplication::clipboard()->image()), expected);
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(SaveAndCopy, ASaveIntoAMissingFolderIsReportedAndWritesNothing)
{
    const QImage picture = window->PB->Picture();
    // A name beyond ASCII reaches the message as it was chosen.
    const QString name = QString::fromUtf8("missing-\u00e9\u066b/picture.bmp");
    testseam::Dialogs().saveFile = [&](const SaveDialogSettings&) { return dir.filePath(name); };
    window->MMSave->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains(name)) << messages[0].toStdString();
    EXPECT_TRUE(messages[0].endsWith(": No such file or directory")) << messages[0].toStdString();
    EXPECT_TRUE(Files().isEmpty());
    EXPECT_EQ(window->PB->Picture(), picture);
    EXPECT_TRUE(window->MMSave->isEnabled());
    EXPECT_TRUE(window->MMCopytoclipboard->isEnabled());
}

TEST_F(SaveAndCopy, TheSceneDialogHasOnlyItsFilter)
{
    bool checked = false;
    const QString path = dir.filePath("scene");
    WhenModal<shell::TFormExport>([](shell::TFormExport& d) { QTest::mouseClick(d.ButSave, Qt::LeftButton); });
    // The file dialog opens after the options dialog has closed.
    const std::function<void(QFileDialog&)> fileDialog = [&](QFileDialog& d) {
        EXPECT_NE(d.windowTitle(), "Save the Fractal Image");
        EXPECT_EQ(d.nameFilters(), QStringList({"POV-Ray file (*.pov)"}));
        EXPECT_TRUE(d.defaultSuffix().isEmpty());
        EXPECT_TRUE(d.testOption(QFileDialog::DontConfirmOverwrite));
        if (QLineEdit* field = FileNameField(d))
            EXPECT_TRUE(field->text().isEmpty());
        else
            ADD_FAILURE() << "no file name field";
        checked = true;
        d.selectFile(path);
        static_cast<QDialog&>(d).accept(); // as the Save button does
    };
    WhenModal<QFileDialog>(fileDialog);
    window->MMPov->trigger();
    ASSERT_TRUE(checked);
    ASSERT_TRUE(messages.empty()) << messages[0].toStdString();
    EXPECT_EQ(Files(), QStringList({"scene.pov", "scene.pov.tga"}));
}

TEST_F(SaveAndCopy, NoControlReachesTheRenderManWriterWhichStillWorksWhenCalled)
{
    InstantWindow w;
    w.show();
    w.Settle();
    ASSERT_FALSE(w.IsCalculating());

    std::multiset<QString> asked;
    testseam::Dialogs().saveFile = [&](const SaveDialogSettings& settings) {
        asked.insert(settings.name);
        return QString();
    };
    testseam::Dialogs().colour = [](const QColor&) { return std::optional<QColor>(); };
    window::TUrlLink::BrowserCommandLookup() = [] { return QString(); };
    // Any modal window a command opens is answered: the options with "Save", the rest closed.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == FormExport)
            FormExport->ButSave->click();
        else if (auto* d = qobject_cast<QDialog*>(modal))
            d->reject();
    });
    answer.start(5);

    // Every signal a command can come from, whatever the enabled state.
    int reached = 0;
    for (QAction* a : w.findChildren<QAction*>()) {
        if (a->isSeparator() || a->menu() != nullptr)
            continue;
        emit a->triggered(a->isChecked());
        w.Settle();
        ++reached;
    }
    for (QAbstractButton* b : w.findChildren<QAbstractButton*>()) {
        emit b->clicked(b->isChecked());
        w.Settle();
        ++reached;
    }
    for (ColourPanel* p : w.findChildren<ColourPanel*>()) {
        emit p->Clicked(p);
        w.Settle();
        ++reached;
    }
    answer.stop();
    window::TUrlLink::BrowserCommandLookup() = window::DefaultBrowserCommandLine;

    EXPECT_GT(reached, 60);
    EXPECT_EQ(asked.count("SaveDialog1"), 1u) << "the walk reached the save command";
    EXPECT_EQ(asked.count("SavePOV"), 1u) << "the walk reached the POV-Ray export";
    EXPECT_EQ(asked.count("SaveBMRT"), 0u);

    // Called directly, the writer produces the file from the values.
    const QString path = dir.filePath("scene.rib");
    testseam::Dialogs().saveFile = [&](const SaveDialogSettings& settings) {
        asked.insert(settings.name);
        return path;
    };
    window->MMExportBMRTClick();
    EXPECT_EQ(asked.count("SaveBMRT"), 1u);
    const QString direct = dir.filePath("direct.rib");
    exporter::WriteRenderMan(direct.toStdString(), window->IterBuffer.Snapshot());
    QFile a(path), b(direct);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly));
    ASSERT_TRUE(b.open(QIODevice::ReadOnly));
    const QByteArray rib = a.readAll();
    EXPECT_EQ(rib.count("\r\n"), 31808);
    EXPECT_EQ(rib, b.readAll());
}
