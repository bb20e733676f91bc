// Pictures that carry their view, and views opened from the launcher, drops, the command line and into a busy window.
#include <gtest/gtest.h>

#include <QAction>
#include <QDropEvent>
#include <QMimeData>
#include <QSlider>
#include <QToolButton>
#include <QUrl>

#include "export/ViewFile.h"
#include "window/FormJU.h"
#include "window/FormRN.h"
#include "shell/Application.h"
#include "window/ViewOpening.h"
#include "window/PictureView.h"
#include "WindowTestSupport.h"
#include "ScriptedDialogs.h"

using namespace guitest;

namespace {

using guitest::Bytes;

class ViewPictures : public OutputTest {
protected:
    void TearDown() override
    {
        testseam::Dialogs().openFile = nullptr;
        OutputTest::TearDown();
    }
    // A view of `id` over the middle quarter of its opening region, written to `name`.
    exporter::ViewDocument Write(const char* name, const char* id)
    {
        exporter::ViewDocument doc = exporter::DefaultView(*fractals::FindView(id));
        const engine::RegionValues r = doc.region.Values();
        doc.region.SetRegionBySize(r.XStart + r.XWidth / 4, r.XWidth / 2, r.YStart + r.YHeight / 4, r.YHeight / 2);
        doc.adjust.rotation = 5;
        exporter::WriteViewFile(Bytes(dir.filePath(name)), doc);
        return doc;
    }
    // Waits until the window has calculated the document's region, then compares with the engine.
    static bool Shows(TFormBasicTamoSet& w, const exporter::ViewDocument& doc)
    {
        const fractals::View* view = fractals::FindView(doc.viewId);
        return WaitUntil([&] { return w.ViewRegion.Values() == doc.region.Values() && !w.IsCalculating(); }) &&
               w.IterBuffer.Snapshot() ==
                   ReferenceBuffer(doc.region, *fractals::MakePointSet(*view->window), view->function);
    }
};

// Hands the drop straight to the widget (no drag is in progress); true when it was taken.
bool Drop(QWidget& target, const QString& file)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    static_cast<QObject&>(target).event(&event);
    return event.isAccepted();
}

} // namespace

TEST_F(ViewPictures, SavedPictureHoldsTheBitmapsPixelsAndTheViewThatOpensAgain)
{
    TFormJU4 w;
    ASSERT_TRUE(OpenWindow(w));
    EXPECT_FALSE(w.MMSavePictureView->isEnabled()) << "waits for the calculation";
    EXPECT_FALSE(w.MMOpenView->isEnabled());
    ASSERT_TRUE(WaitForCalculation(w));
    w.TB1->setValue(9);
    const exporter::ViewDocument view = w.CurrentViewDocument();
    const QString png = dir.filePath("p.png"), bmp = dir.filePath("p.bmp");
    Answer(png);
    w.MMSavePictureView->trigger();
    Answer(bmp);
    w.MMSave->trigger();
    Answer(dir.filePath("missing/q.png"));
    w.MMSavePictureView->trigger();
    ASSERT_EQ(messages.size(), 1u) << "the folder that is not there";
    EXPECT_EQ(asked[0].name, "SavePictureView");
    EXPECT_EQ(Files(), QStringList({"p.bmp", "p.png"})) << "no temporary or partial file";
    EXPECT_EQ(exporter::ReadViewFile(Bytes(png)), view);
    EXPECT_EQ(Rgb32(QImage(png)), Rgb32(QImage(bmp)));

    QTest::mouseClick(w.BitBtnZIN, Qt::LeftButton);
    ASSERT_TRUE(WaitForCalculation(w));
    testseam::Dialogs().openFile = [png](const SaveDialogSettings&) { return png; };
    w.MMOpenView->trigger();
    ASSERT_TRUE(WaitForCalculation(w));
    EXPECT_EQ(w.CurrentViewDocument(), view);
    EXPECT_EQ(Rgb32(w.PB->Picture()), Rgb32(QImage(png)));
}

TEST_F(ViewPictures, AViewOpenedIntoACalculatingWindowEndsThatCalculationFirst)
{
    TFormJU4 w;
    ASSERT_TRUE(OpenWindow(w));
    ASSERT_TRUE(WaitForCalculation(w));
    const exporter::ViewDocument doc = Write("busy.qview", "FormJU4");
    // The worker waits for this thread after its first row: it is running, far from its last.
    QTest::mouseClick(w.BitBtnZOUT, Qt::LeftButton);
    ASSERT_TRUE(w.IsCalculating());
    w.InterruptCalculation();
    EXPECT_FALSE(w.IsCalculating());
    EXPECT_LT(w.LastComputedRow(), engine::kBufferHeight - 1);

    QTest::mouseClick(w.BitBtnZOUT, Qt::LeftButton);
    ASSERT_TRUE(w.IsCalculating());
    window::OpenViewFileInItsWindow(dir.filePath("busy.qview"), &w);
    EXPECT_TRUE(Shows(w, doc));
    EXPECT_EQ(w.TB1->value(), 5);
}

class ViewOpening : public ViewPictures {
protected:
    void SetUp() override
    {
        ViewPictures::SetUp();
        CreateApplicationWindows();
    }
    void TearDown() override
    {
        DestroyApplicationWindows();
        ViewPictures::TearDown();
    }
};

TEST_F(ViewOpening, LauncherDropsAndCommandLineOpenEachViewInItsWindow)
{
    const exporter::ViewDocument ju3 = Write("ju3.qview", "FormJU3"), rn4 = Write("rn4.qview", "FormRN4.SBAL3");
    const exporter::ViewDocument rn1 = Write("rn1.qview", "FormRN1.SBAL2"), ju5 = Write("ju5.qview", "FormJU5");
    // As `quillon ju3.qview missing.qview` after start-up: the bad file alone is reported.
    window::OpenViewFilesSoon({dir.filePath("ju3.qview"), dir.filePath("missing.qview")});
    EXPECT_FALSE(FormJU3->isVisible()) << "once the start-up is over";
    EXPECT_TRUE(Shows(*FormJU3, ju3));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains("missing.qview"));

    EXPECT_TRUE(FormMain->actions().contains(FormMain->MMOpenView)) << "its context menu";
    testseam::Dialogs().openFile = [this](const SaveDialogSettings&) { return dir.filePath("rn4.qview"); };
    FormMain->MMOpenView->trigger();
    EXPECT_TRUE(Shows(*FormRN4, rn4));
    EXPECT_EQ(FormRN4->CurrentViewDocument(), rn4);

    EXPECT_TRUE(Drop(*FormMain, dir.filePath("rn1.qview")));
    EXPECT_TRUE(Shows(*FormRN1, rn1));
    EXPECT_TRUE(Drop(*FormJU3, dir.filePath("ju5.qview")));
    EXPECT_TRUE(Shows(*FormJU5, ju5));
    EXPECT_EQ(FormJU3->ViewRegion.Values(), ju3.region.Values()) << "the window dropped on keeps its view";
    EXPECT_FALSE(Drop(*FormMain, dir.filePath("notes.txt")));
    EXPECT_EQ(messages.size(), 1u);

    // A deep view opens in its window as well, its deep region drawn.
    exporter::ViewDocument deepJu3 = ju3;
    deepJu3.deepRegion = deep::DeepRegion{"0.3587622735558806796", "0", "1e-40", ""};
    exporter::WriteViewFile(Bytes(dir.filePath("deep.qview")), deepJu3);
    window::OpenViewFilesSoon({dir.filePath("deep.qview")});
    ASSERT_TRUE(WaitUntil([&] { return FormJU3->Model.Deep() == deepJu3.deepRegion && !FormJU3->IsCalculating(); }));
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(FormJU3->CurrentViewDocument().deepRegion, deepJu3.deepRegion);
}
