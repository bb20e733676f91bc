// Pictures that carry their view, and views opened from outside a window: the launcher, drops, the command line, a busy window.
#include <gtest/gtest.h>

#include <QAction>
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QSlider>
#include <QToolButton>
#include <QUrl>

#include "export/ViewFile.h"
#include "fractals/FormJU.h"
#include "fractals/FormRN.h"
#include "shell/Application.h"
#include "window/PictureView.h"
#include "WindowTestSupport.h"

using namespace guitest;

namespace {

std::string Bytes(const QString& name) { return QFile::encodeName(name).toStdString(); }

// A view of `id` over the middle quarter of its opening region.
exporter::ViewDocument ZoomedView(const char* id)
{
    const fractals::View* view = fractals::FindView(id);
    exporter::ViewDocument doc = exporter::DefaultView(*view);
    const engine::RegionValues r = doc.region.Values();
    doc.region.SetRegionBySize(r.XStart + r.XWidth / 4, r.XWidth / 2, r.YStart + r.YHeight / 4, r.YHeight / 2);
    doc.adjust.rotation = 5;
    return doc;
}

// The buffer a document's region gives in its window's formula.
std::vector<std::uint8_t> ReferenceOf(const exporter::ViewDocument& doc)
{
    const fractals::View* view = fractals::FindView(doc.viewId);
    return ReferenceBuffer(doc.region, *fractals::MakePointSet(*view->window), view->function);
}

// Hands the drop straight to the widget: without a drag in progress the
// application's dispatch would give it to none. True when it was taken.
bool Drop(QWidget& target, const QStringList& files)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& f : files)
        urls << QUrl::fromLocalFile(f);
    data.setUrls(urls);
    QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    static_cast<QObject&>(target).event(&event);
    return event.isAccepted();
}

class ViewPictures : public OutputTest {
protected:
    void TearDown() override
    {
        TFormBasicTamoSet::OpenFileHook = nullptr;
        OutputTest::TearDown();
    }
};

} // namespace

TEST_F(ViewPictures, SavedPictureHoldsTheBitmapsPixelsAndTheViewThatOpensAgain)
{
    TFormJU4 w;
    ASSERT_TRUE(OpenWindow(w));
    ASSERT_TRUE(w.IsCalculating()); // the items wait meanwhile
    EXPECT_FALSE(w.MMSavePictureView->isEnabled());
    EXPECT_FALSE(w.MMOpenView->isEnabled());
    ASSERT_TRUE(WaitForCalculation(w));
    EXPECT_TRUE(w.MMSavePictureView->isEnabled());
    w.TB1->setValue(9);
    w.TBG->setValue(-30);
    const exporter::ViewDocument view = w.CurrentViewDocument();
    const std::vector<std::uint8_t> buffer = w.IterBuffer.Snapshot();

    const QString png = dir.filePath("p.png"), bmp = dir.filePath("p.bmp");
    Answer(png);
    w.MMSavePictureView->trigger();
    Answer(bmp);
    w.MMSave->trigger();
    ASSERT_TRUE(messages.empty()) << messages.front().toStdString();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].name, "SavePictureView");
    EXPECT_TRUE(asked[0].filter.contains("*.png"));
    EXPECT_EQ(Files(), QStringList({"p.bmp", "p.png"})) << "no temporary file is left";

    EXPECT_EQ(exporter::ReadViewFile(Bytes(png)), view);
    const QImage picture(png);
    ASSERT_EQ(picture.size(), QSize(1024, 768));
    EXPECT_EQ(Rgb32(picture), Rgb32(QImage(bmp))) << "the pixels Save writes";
    EXPECT_EQ(Rgb32(picture), ExpectedPicture(w)) << "in the colours shown";

    // Moved away and recoloured, the picture brings the view back.
    QTest::mouseClick(w.BitBtnZIN, Qt::LeftButton);
    ASSERT_TRUE(WaitForCalculation(w));
    w.TB1->setValue(0);
    w.TBG->setValue(0);
    TFormBasicTamoSet::OpenFileHook = [png](const SaveDialogSettings& s) {
        EXPECT_TRUE(s.filter.contains("*.png")) << "Open View offers pictures";
        return png;
    };
    w.MMOpenView->trigger();
    ASSERT_TRUE(messages.empty()) << messages.front().toStdString();
    ASSERT_TRUE(WaitForCalculation(w));
    EXPECT_EQ(w.ViewRegion.Values(), view.region.Values());
    EXPECT_EQ(w.IterBuffer.Snapshot(), buffer);
    EXPECT_EQ(Rgb32(w.PB->Picture()), Rgb32(picture));
}

TEST_F(ViewPictures, AFailedOrCancelledSaveLeavesNoFile)
{
    TFormJU4 w;
    ASSERT_TRUE(OpenWindow(w));
    ASSERT_TRUE(WaitForCalculation(w));
    // A folder that is not there: one message, nothing written.
    Answer(dir.filePath("missing/p.png"));
    w.MMSavePictureView->trigger();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains("p.png")) << messages[0].toStdString();
    EXPECT_TRUE(Files().isEmpty());
    // A cancelled dialog writes nothing and says nothing.
    Answer(QString());
    w.MMSavePictureView->trigger();
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_TRUE(Files().isEmpty());
}

TEST_F(ViewPictures, AViewOpenedIntoACalculatingWindowReplacesThatCalculation)
{
    TFormJU4 w;
    ASSERT_TRUE(OpenWindow(w));
    ASSERT_TRUE(WaitForCalculation(w));
    const exporter::ViewDocument doc = ZoomedView("FormJU4");
    const QString path = dir.filePath("busy.qview");
    exporter::WriteViewFile(Bytes(path), doc);

    // The first row waits for this thread: the worker is certainly running,
    // and ends long before its last row.
    QTest::mouseClick(w.BitBtnZOUT, Qt::LeftButton);
    ASSERT_TRUE(w.IsCalculating());
    w.InterruptCalculation();
    EXPECT_FALSE(w.IsCalculating());
    EXPECT_LT(w.LastComputedRow(), engine::kBufferHeight - 1);
    EXPECT_TRUE(w.BitBtnZOUT->isEnabled());
    w.InterruptCalculation(); // idle: nothing

    QTest::mouseClick(w.BitBtnZOUT, Qt::LeftButton);
    ASSERT_TRUE(w.IsCalculating());
    TFormBasicTamoSet::OpenViewFileInItsWindow(path, &w);
    EXPECT_EQ(w.ViewRegion.Values(), doc.region.Values());
    EXPECT_EQ(w.TB1->value(), 5);
    ASSERT_TRUE(WaitForCalculation(w));
    EXPECT_EQ(w.IterBuffer.Snapshot(), ReferenceOf(doc)) << "no row of the ended calculation remains";
    EXPECT_EQ(Rgb32(w.PB->Picture()), ExpectedPicture(w));
    // The zoom out was ended, not finished: going back to it calculates it.
    ASSERT_EQ(w.History.Size(), 4u);
    w.MMBack->trigger();
    EXPECT_TRUE(w.IsCalculating()) << "the ended calculation left no picture";
    ASSERT_TRUE(WaitForCalculation(w));
    w.MMForward->trigger();
    EXPECT_FALSE(w.IsCalculating()) << "the opened view's picture is kept";
    EXPECT_EQ(w.ViewRegion.Values(), doc.region.Values());

    // A drop while it calculates again: the view opens once the drop is over.
    QTest::mouseClick(w.BitBtnZOUT, Qt::LeftButton);
    ASSERT_TRUE(w.IsCalculating());
    const QString other = dir.filePath("notes.txt");
    EXPECT_FALSE(Drop(w, {other})) << "only views and palettes are taken";
    EXPECT_TRUE(Drop(w, {path}));
    EXPECT_NE(w.ViewRegion.Values(), doc.region.Values()) << "nothing applied inside the drop";
    ASSERT_TRUE(WaitUntil([&] { return w.ViewRegion.Values() == doc.region.Values(); }));
    ASSERT_TRUE(WaitForCalculation(w));
    EXPECT_EQ(w.IterBuffer.Snapshot(), ReferenceOf(doc));
    EXPECT_TRUE(messages.empty()) << messages.front().toStdString();
    EXPECT_TRUE(w.MMOpenView->isEnabled());
}

namespace {

// The application as it starts: every window, the services installed.
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

    QString Write(const char* name, const exporter::ViewDocument& doc)
    {
        const QString path = dir.filePath(name);
        exporter::WriteViewFile(Bytes(path), doc);
        return path;
    }
    // Waits until the window shows the document's region and has calculated it.
    static bool Shows(TFormBasicTamoSet& w, const exporter::ViewDocument& doc)
    {
        return WaitUntil([&] { return w.ViewRegion.Values() == doc.region.Values() && !w.IsCalculating(); }) &&
               w.isVisible() && w.IterBuffer.Snapshot() == ReferenceOf(doc);
    }
};

} // namespace

TEST_F(ViewOpening, LauncherOpensAViewInItsOwnWindow)
{
    EXPECT_EQ(FormMain->contextMenuPolicy(), Qt::ActionsContextMenu);
    ASSERT_TRUE(FormMain->actions().contains(FormMain->MMOpenView));
    EXPECT_EQ(FormMain->MMOpenView->text(), "Open View…");
    EXPECT_EQ(FormMain->size(), QSize(219, 473)) << "the grid keeps its place";

    const exporter::ViewDocument doc = ZoomedView("FormRN4.SBAL3");
    const QString path = Write("rn4.qview", doc);
    TFormBasicTamoSet::OpenFileHook = [path](const SaveDialogSettings& s) {
        EXPECT_EQ(s.name, "OpenView");
        return path;
    };
    ASSERT_FALSE(FormRN4->isVisible());
    FormMain->MMOpenView->trigger();
    EXPECT_TRUE(Shows(*FormRN4, doc));
    EXPECT_EQ(FormRN4->CurrentViewDocument(), doc);
    EXPECT_TRUE(messages.empty()) << messages.front().toStdString();
    EXPECT_FALSE(FormRN3->isVisible()) << "no other window opens";
}

TEST_F(ViewOpening, FilesFromTheCommandLineOrADropEachOpenAndABadOneIsReportedAlone)
{
    const exporter::ViewDocument ju3 = ZoomedView("FormJU3"), tamo = ZoomedView("FormTamo2");
    const QString first = Write("ju3.qview", ju3), second = Write("tamo.qview", tamo);
    const QString bad = dir.filePath("broken.qview");
    {
        QFile f(bad);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("quillon-view = 1\r\nview = FormNone\r\n");
    }

    // As `quillon ju3.qview broken.qview tamo.qview` after start-up.
    TFormBasicTamoSet::OpenViewFilesSoon({first, bad, second});
    EXPECT_FALSE(FormJU3->isVisible()) << "opened once the start-up is over";
    EXPECT_TRUE(Shows(*FormJU3, ju3));
    EXPECT_TRUE(Shows(*FormTamo2, tamo));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains("broken.qview")) << messages[0].toStdString();

    // Dropped on the launcher, and on a window that is not the view's.
    const exporter::ViewDocument rn1 = ZoomedView("FormRN1.SBAL2"), ju5 = ZoomedView("FormJU5");
    const QString third = Write("rn1.qview", rn1), fourth = Write("ju5.qview", ju5);
    EXPECT_TRUE(Drop(*FormMain, {third}));
    EXPECT_TRUE(Shows(*FormRN1, rn1));
    EXPECT_TRUE(Drop(*FormJU3, {fourth}));
    EXPECT_TRUE(Shows(*FormJU5, ju5));
    EXPECT_EQ(FormJU3->ViewRegion.Values(), ju3.region.Values()) << "the window dropped on keeps its view";
    EXPECT_FALSE(Drop(*FormMain, {dir.filePath("notes.txt")}));
    EXPECT_EQ(messages.size(), 1u);
}
