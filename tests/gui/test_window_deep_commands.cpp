// The window's commands on a deep picture: saves, clipboard, exports, view files, renders, colours, history and the Position box.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QToolButton>

#include "export/PictureWriters.h"
#include "export/Scenes.h"
#include "export/ViewFile.h"
#include "render/Render.h"
#include "shell/Application.h"
#include "shell/FormExport.h"
#include "window/CalcOnForm.h"
#include "window/DeepWindowState.h"
#include "window/Form1.h"
#include "window/FormJU.h"
#include "window/LongJobs.h"
#include "window/PictureView.h"
#include "window/PositionParse.h"
#include "window/RenderPictureDialog.h"
#include "DeepWindowSupport.h"
#include "ModalDialogs.h"
#include "ScriptedDialogs.h"
#include "WindowTestSupport.h"

using namespace guitest;

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Julia Set 3, 10^-40 wide on the boundary of its set: drawn by the deep engine, cheaply.
class DeepCommands : public OutputTest {
protected:
    static void SetUpTestSuite()
    {
        CreateApplicationWindows();
        ASSERT_TRUE(OpenWindow(*FormJU3));
        ASSERT_TRUE(Settled(*FormJU3));
        deepDoc = FormJU3->CurrentViewDocument();
        deepDoc.deepRegion = deep::DeepRegion{"0.358762273555880679600001", "0.0000000000000000000000000000000000000002",
                                              "1e-40", ""};
        // A low limit keeps each of the many deep pictures below cheap under the sanitizers.
        deepDoc.parameters.iterations = 60;
    }
    static void TearDownTestSuite() { DestroyApplicationWindows(); }
    void SetUp() override
    {
        OutputTest::SetUp();
        w = FormJU3;
        if (w->CurrentViewDocument() != deepDoc) {
            w->ApplyViewDocument(deepDoc);
            ASSERT_TRUE(Settled(*w));
        }
        ASSERT_TRUE(w->Model.Deep());
    }
    void TearDown() override
    {
        testseam::Dialogs().openFile = nullptr;
        OutputTest::TearDown();
    }

    static exporter::ViewDocument deepDoc;
    TFormBasicTamoSet* w = nullptr;
};

exporter::ViewDocument DeepCommands::deepDoc;

} // namespace

TEST_F(DeepCommands, SaveCopyAndExportsTakeTheDeepPicture)
{
    const std::vector<std::uint8_t> values = w->IterBuffer.Snapshot();
    ASSERT_EQ(values, RenderedBuffer(deepDoc)) << "the deep engine's picture";
    const QImage expected = ExpectedPicture(*w);

    Answer(dir.filePath("deep.bmp"));
    w->MMSave->trigger();
    EXPECT_EQ(Rgb32(QImage(dir.filePath("deep.bmp"), "BMP")), expected);
    QGuiApplication::clipboard()->clear();
    w->MMCopytoclipboard->trigger();
    EXPECT_EQ(Rgb32(QGuiApplication::clipboard()->image()), expected);

    // The height image of the POV-Ray scene and the RenderMan file carry the deep values.
    Answer(dir.filePath("deep.pov"));
    testsupport::SaveWhenPovOptionsOpen();
    w->MMPov->trigger();
    const QByteArray tga = ReadAll(dir.filePath("deep.pov.tga"));
    ASSERT_EQ(tga.size(), 787218);
    EXPECT_EQ(tga.mid(786), QByteArray(reinterpret_cast<const char*>(values.data()), static_cast<qsizetype>(values.size())));
    Answer(dir.filePath("deep.rib"));
    w->MMExportBMRTClick();
    exporter::WriteRenderMan(Bytes(dir.filePath("direct.rib")), values);
    EXPECT_EQ(ReadAll(dir.filePath("deep.rib")), ReadAll(dir.filePath("direct.rib")));
    EXPECT_TRUE(messages.empty()) << messages.front().toStdString();
}

TEST_F(DeepCommands, ViewFilesAndPictureChunksBringTheDeepViewBack)
{
    const std::vector<std::uint8_t> picture = w->IterBuffer.Snapshot();
    Answer(dir.filePath("deep.qview"));
    w->MMSaveView->trigger();
    const QByteArray text = ReadAll(dir.filePath("deep.qview"));
    EXPECT_TRUE(text.contains("center-x") && text.contains("center-y") && text.contains("width")) << text.toStdString();
    Answer(dir.filePath("deep.png"));
    w->MMSavePictureView->trigger();
    EXPECT_EQ(Rgb32(QImage(dir.filePath("deep.png"))), ExpectedPicture(*w));
    ASSERT_TRUE(messages.empty()) << messages.front().toStdString();

    for (const char* name : {"deep.qview", "deep.png"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(exporter::ReadViewFile(Bytes(dir.filePath(name))).deepRegion, deepDoc.deepRegion);
        QTest::mouseClick(w->BitBtnZIN, Qt::LeftButton);
        ASSERT_TRUE(Settled(*w));
        ASSERT_NE(w->Model.Deep(), deepDoc.deepRegion);
        testseam::Dialogs().openFile = [&](const SaveDialogSettings&) { return dir.filePath(name); };
        w->MMOpenView->trigger();
        ASSERT_TRUE(Settled(*w));
        EXPECT_EQ(w->Model.Deep(), deepDoc.deepRegion);
        EXPECT_EQ(w->IterBuffer.Snapshot(), picture);
    }
    EXPECT_TRUE(messages.empty()) << messages.front().toStdString();
}

TEST_F(DeepCommands, RenderPictureAtAnotherSizeIsTheRenderersPicture)
{
    window::PictureChoice choice;
    choice.width = 60;
    choice.height = 30;
    choice.supersample = 2;
    choice.path = dir.filePath("render.png");
    w->StartRenderPicture(choice);
    ASSERT_NE(w->CurrentLongJob(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !w->CurrentLongJob()->Running(); }));

    exporter::ViewDocument doc = deepDoc;
    doc.picture = {60, 30, 2, false};
    const render::ViewJob job = render::MakeViewJob(doc);
    ASSERT_TRUE(job.job.deep) << "drawn by the deep engine";
    render::RenderFile(job.job, job.colours, render::FileFormat::Png, Bytes(dir.filePath("direct.png")), "");
    const QImage rendered(dir.filePath("render.png"));
    EXPECT_EQ(rendered.size(), QSize(60, 30));
    EXPECT_EQ(Rgb32(rendered), Rgb32(QImage(dir.filePath("direct.png"))));
    EXPECT_EQ(exporter::ReadViewFile(Bytes(dir.filePath("render.png"))).deepRegion, deepDoc.deepRegion);
}

TEST_F(DeepCommands, ColoursRepaintAndTheHistoryAndReferenceComeBack)
{
    const std::vector<std::uint8_t> picture = w->IterBuffer.Snapshot();
    w->TB1->setValue(23);
    EXPECT_FALSE(w->IsCalculating()) << "new colours paint the same values";
    EXPECT_EQ(Rgb32(w->PB->Picture()), ExpectedPicture(*w));
    EXPECT_EQ(w->IterBuffer.Snapshot(), picture);
    w->TB1->setValue(0);

    QTest::mouseClick(w->BitBtnZIN, Qt::LeftButton);
    ASSERT_TRUE(Settled(*w));
    const std::vector<std::uint8_t> zoomed = w->IterBuffer.Snapshot();
    w->MMBackClick();
    ASSERT_TRUE(Settled(*w));
    EXPECT_EQ(w->Model.Deep(), deepDoc.deepRegion);
    EXPECT_EQ(w->IterBuffer.Snapshot(), picture);
    w->MMForwardClick();
    ASSERT_TRUE(Settled(*w));
    EXPECT_EQ(w->IterBuffer.Snapshot(), zoomed);

    // The same view drawn again takes the orbit kept from its last drawing
    // (the window takes a run's orbit back when the next run starts).
    auto draw = [&](const exporter::ViewDocument& doc) {
        w->ApplyViewDocument(doc);
        return Settled(*w);
    };
    ASSERT_TRUE(draw(deepDoc) && draw(deepDoc));
    const auto kept = window::DeepWindowState::Of(*w).reference;
    ASSERT_NE(kept, nullptr);
    ASSERT_TRUE(draw(deepDoc));
    EXPECT_EQ(window::DeepWindowState::Of(*w).reference, kept);
    EXPECT_EQ(w->IterBuffer.Snapshot(), picture);
    exporter::ViewDocument higher = deepDoc;
    higher.parameters.iterations = 120;
    ASSERT_TRUE(draw(higher));
    EXPECT_EQ(w->IterBuffer.Snapshot(), RenderedBuffer(higher));
    ASSERT_TRUE(draw(deepDoc));
    EXPECT_NE(window::DeepWindowState::Of(*w).reference, kept) << "another limit, another orbit";
    EXPECT_EQ(w->IterBuffer.Snapshot(), picture);
}

TEST_F(DeepCommands, ThePositionBoxShowsAndTakesTheCentreAndExtentsWhole)
{
    const deep::DeepRegion& d = *deepDoc.deepRegion;
    QLineEdit* const fieldX = window::DeepField(w->LabX1);
    ASSERT_NE(fieldX, nullptr);
    EXPECT_TRUE(fieldX->isVisible());
    EXPECT_FALSE(w->LabX1->isVisible());
    // Elided in the middle (when too long for the box) while not in use, whole once clicked.
    const QString whole = PositionText(d.centerX);
    const QString shown = fieldX->text();
    const qsizetype dots = shown.indexOf(QChar(0x2026));
    EXPECT_TRUE(shown == whole || (dots > 0 && whole.startsWith(shown.left(dots)) && whole.endsWith(shown.mid(dots + 1))))
        << shown.toStdString();
    EXPECT_TRUE(fieldX->toolTip().endsWith(whole));
    ASSERT_TRUE(OpenWindow(*w)) << "a click gives the focus in the active window only";
    QTest::mouseClick(fieldX, Qt::LeftButton);
    EXPECT_TRUE(WaitUntil([&] { return fieldX->text() == whole && fieldX->selectedText() == whole; }, 5000))
        << fieldX->text().toStdString();
    EXPECT_EQ(window::DeepField(w->LabX2)->toolTip(), "width: " + PositionText(d.width));
    EXPECT_TRUE(window::DeepField(w->LabY1)->toolTip().endsWith(PositionText(d.centerY)));
    EXPECT_EQ(w->LabX1->text(), whole) << "what Edit takes";
    EXPECT_EQ(w->LabEX->text(), "X centre, width:");

    // A centre typed with far more digits than the depth needs, kept as typed.
    const std::string centre = d.centerX + "31415926535897932384626433832795028841971";
    QTest::mouseClick(w->BBEdit, Qt::LeftButton);
    EXPECT_EQ(w->EdY1->text(), PositionText(d.centerY));
    w->EdX1->setText(PositionText(centre));
    w->EdX2->setText(PositionText("0.5e-40"));
    QTest::mouseClick(w->BBSubmit, Qt::LeftButton);
    ASSERT_TRUE(Settled(*w));
    EXPECT_EQ(w->Model.Deep(), (deep::DeepRegion{centre, d.centerY, "0.5e-40", ""})) << "an untouched height stays square";
    EXPECT_EQ(w->IterBuffer.Snapshot(), RenderedBuffer(w->CurrentViewDocument()));

    // Refusals end the command in the box, nothing calculated.
    const std::pair<QString, QString> refused[] = {{"0", ""}, {"1e-40x", "'1e-40x' is not a valid floating point value"}};
    for (const auto& [width, message] : refused) {
        QTest::mouseClick(w->BBEdit, Qt::LeftButton);
        w->EdX2->setText(width);
        messages.clear();
        QTest::mouseClick(w->BBSubmit, Qt::LeftButton);
        EXPECT_FALSE(w->IsCalculating());
        ASSERT_EQ(messages.size(), 1u) << width.toStdString();
        if (!message.isEmpty()) {
            EXPECT_EQ(messages[0], message);
        }
        EXPECT_TRUE(w->BBSubmit->isEnabled());
        QTest::mouseClick(w->BBCancel, Qt::LeftButton);
    }
    messages.clear();

    // Wide enough for 6 bytes: the box is the shallow one again.
    QTest::mouseClick(w->BBEdit, Qt::LeftButton);
    w->EdX2->setText(PositionText("0.5"));
    w->EdY2->setText(PositionText("0.375"));
    QTest::mouseClick(w->BBSubmit, Qt::LeftButton);
    ASSERT_TRUE(Settled(*w));
    EXPECT_FALSE(w->Model.Deep());
    EXPECT_TRUE(w->LabX1->isVisible());
    EXPECT_FALSE(fieldX->isVisible());
    EXPECT_EQ(w->LabEX->text(), "X:");
    EXPECT_EQ(w->LabEY->text(), "Y:");
}

// A reference orbit of millions of steps at a thousand bits: a view that
// replaces it, or the window closing, ends it without a row.
TEST(DeepReferenceOnTheWorker, AStopDuringTheOrbitEndsTheRunAsAStopBetweenRows)
{
    exporter::ViewDocument doc;
    {
        TForm1 w;
        ASSERT_TRUE(OpenWindow(w));
        ASSERT_TRUE(Settled(w));
        const exporter::ViewDocument shallow = w.CurrentViewDocument();
        const std::vector<std::uint8_t> shallowPicture = w.IterBuffer.Snapshot();
        doc = shallow;
        doc.deepRegion = deep::DeepRegion{"-0.1", "0.1", "1e-300", ""};
        doc.parameters.iterations = 5000000;
        w.ApplyViewDocument(doc);
        // The interface keeps running while the orbit is computed.
        bool ticked = false;
        QTimer::singleShot(50, [&] { ticked = true; });
        ASSERT_TRUE(WaitUntil([&] { return ticked; }, 10000));
        ASSERT_TRUE(w.IsCalculating());
        EXPECT_EQ(w.LastComputedRow(), -1);

        w.InterruptCalculation();
        EXPECT_FALSE(w.IsCalculating());
        EXPECT_EQ(w.LastComputedRow(), -1) << "no row of the stopped picture";
        w.ApplyViewDocument(shallow);
        ASSERT_TRUE(Settled(w));
        EXPECT_EQ(w.IterBuffer.Snapshot(), shallowPicture);
        EXPECT_EQ(window::DeepWindowState::Of(w).reference, nullptr) << "a stopped orbit is not kept";

        w.ApplyViewDocument(doc);
        ASSERT_TRUE(WaitUntil([&] { return w.IsCalculating(); }));
    } // closing the window stops the orbit
    EXPECT_EQ(TCalcOnForm::LiveCount(), 0);
}
