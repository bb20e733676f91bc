// The level-set and Julia windows past the 6-byte region: zooming into deep mode and out, Back and Forward, deep view files.
#include <gtest/gtest.h>

#include <string>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWheelEvent>
#include <QTemporaryDir>
#include <QToolButton>

#include "export/ViewFile.h"
#include "render/Render.h"
#include "view/DeepNavigation.h"
#include "view/Navigation.h"
#include "window/Form1.h"
#include "window/FormJU.h"
#include "window/LongJobs.h"
#include "window/ZoomMovieDialog.h"
#include "DeepWindowSupport.h"
#include "WindowTestSupport.h"

using namespace guitest;

namespace {

// Julia Set 3 opened, then a view 10^-40 wide on the boundary of its set applied to it.
void OpenDeepJuliaView(TFormJU3& w, exporter::ViewDocument& doc)
{
    ASSERT_TRUE(OpenWindow(w));
    ASSERT_TRUE(Settled(w));
    doc = w.CurrentViewDocument();
    doc.deepRegion = deep::DeepRegion{"0.358762273555880679600001", "0.0000000000000000000000000000000000000002", "1e-40",
                                      ""};
    w.ApplyViewDocument(doc);
    ASSERT_TRUE(Settled(w));
}

} // namespace

TEST(DeepWindow, ZoomingInPastTheSixByteRegionGoesDeepAndZoomingOutComesBack)
{
    TForm1 w;
    // Two zooms short of what a 6-byte region places about a point of the seahorse valley.
    const engine::Extended width = 0x1p-27L;
    w.SetRegionBySize(-0.75L - width / 2, width, 0.1L - width * 0.375L, width * 0.75L);
    ASSERT_TRUE(OpenWindow(w));
    ASSERT_TRUE(Settled(w));
    int zooms = 0;
    while (!w.Model.Deep() && zooms < 8) {
        QTest::mouseClick(w.BitBtnZIN, Qt::LeftButton);
        ASSERT_TRUE(Settled(w));
        ++zooms;
    }
    ASSERT_TRUE(w.Model.Deep()) << "after " << zooms << " zooms";
    EXPECT_EQ(w.IterBuffer.Snapshot(), RenderedBuffer(w.CurrentViewDocument()));
    // Thirty zooms further without drawing them: past the extended engine's reach.
    for (int i = 0; i < 30; ++i)
        w.Model.Navigate([](engine::Region&) { FAIL() << "no 6-byte step in deep mode"; }, view::DeepZoomIn);
    QTest::mouseClick(w.BitBtnZIN, Qt::LeftButton);
    ASSERT_TRUE(Settled(w));
    ASSERT_TRUE(w.Model.Deep());
    EXPECT_EQ(w.IterBuffer.Snapshot(), RenderedBuffer(w.CurrentViewDocument())) << "drawn by the deep engine";
    // The Position box shows the centre and extents whole: more digits than an extended number has.
    EXPECT_EQ(w.LabX1->text(), PositionText(w.Model.Deep()->centerX));
    EXPECT_EQ(w.LabX2->text(), PositionText(w.Model.Deep()->width));
    EXPECT_GT(w.LabX2->text().size(), 20) << w.LabX2->text().toStdString();
    const deep::DeepRegion deepest = *w.Model.Deep();
    const std::vector<std::uint8_t> deepestPicture = w.IterBuffer.Snapshot();

    // Typing the numbers shown back gives the very same view.
    QTest::mouseClick(w.BBEdit, Qt::LeftButton);
    QTest::mouseClick(w.BBSubmit, Qt::LeftButton);
    ASSERT_TRUE(Settled(w));
    ASSERT_TRUE(w.Model.Deep());
    EXPECT_EQ(*w.Model.Deep(), deepest);
    EXPECT_EQ(w.IterBuffer.Snapshot(), deepestPicture) << "typed numbers land on the same pixels";

    // Zooming out far enough returns to a 6-byte region.
    // The steps are the button's; only the last is drawn (a deep picture a
    // step is slow under the sanitizers).
    for (int i = 0; i < 40 && w.Model.Deep(); ++i)
        w.Model.Navigate([](engine::Region& r) { view::ZoomOut(r); }, view::DeepZoomOut);
    QTest::mouseClick(w.BitBtnZOUT, Qt::LeftButton);
    ASSERT_TRUE(Settled(w));
    EXPECT_FALSE(w.Model.Deep());
    EXPECT_TRUE(view::SixByteHolds(w.ViewRegion));
    const engine::RegionValues out = w.ViewRegion.Values();

    // Back to the deepest view (the one typed back): its kept picture comes back as it was.
    w.MMBackClick();
    ASSERT_TRUE(Settled(w));
    ASSERT_TRUE(w.Model.Deep());
    EXPECT_EQ(*w.Model.Deep(), deepest);
    EXPECT_EQ(w.IterBuffer.Snapshot(), deepestPicture);
    w.MMForwardClick();
    ASSERT_TRUE(Settled(w));
    EXPECT_FALSE(w.Model.Deep());
    EXPECT_EQ(w.ViewRegion.Values(), out);
}

TEST(DeepWindow, ADeepViewDocumentOpensInItsWindow)
{
    TFormJU3 w;
    exporter::ViewDocument doc;
    ASSERT_NO_FATAL_FAILURE(OpenDeepJuliaView(w, doc));
    ASSERT_TRUE(w.Model.Deep());
    EXPECT_EQ(w.CurrentViewDocument(), doc) << "saved again as it was read";
    EXPECT_EQ(w.IterBuffer.Snapshot(), RenderedBuffer(doc));
}

// The hands in deep mode: a wheel notch and a middle drag take the deep steps
// about the pointer, each one step of the history, drawn as the renderer draws it.
TEST(DeepWindow, TheWheelAndADragStayDeep)
{
    TFormJU3 w;
    exporter::ViewDocument doc;
    ASSERT_NO_FATAL_FAILURE(OpenDeepJuliaView(w, doc));
    const deep::DeepRegion before = *w.Model.Deep();
    const QPoint at(w.PB->width() / 4, w.PB->height() / 2);
    const int w0 = w.PB->width(), h0 = w.PB->height();

    QWheelEvent wheel(QPointF(at), QPointF(w.PB->mapToGlobal(at)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w.PB, &wheel);
    ASSERT_TRUE(Settled(w));
    ASSERT_TRUE(w.Model.Deep());
    EXPECT_EQ(*w.Model.Deep(), view::DeepZoomAbout(before, at.x(), at.y(), 2.0L, w0, h0));
    EXPECT_EQ(w.IterBuffer.Snapshot(), RenderedBuffer(w.CurrentViewDocument()));
    const deep::DeepRegion zoomed = *w.Model.Deep();
    // The status line may have come or gone with the new picture: the drag is in the picture's size now.
    const int w1 = w.PB->width(), h1 = w.PB->height();

    QTest::mousePress(w.PB, Qt::MiddleButton, Qt::NoModifier, at);
    QTest::mouseMove(w.PB, at + QPoint(40, -30));
    QTest::mouseRelease(w.PB, Qt::MiddleButton, Qt::NoModifier, at + QPoint(40, -30));
    ASSERT_TRUE(Settled(w));
    ASSERT_TRUE(w.Model.Deep());
    EXPECT_EQ(*w.Model.Deep(), view::DeepPanByPixels(zoomed, 40, -30, w1, h1));
    EXPECT_EQ(w.IterBuffer.Snapshot(), RenderedBuffer(w.CurrentViewDocument()));

    ASSERT_TRUE(w.Model.CanStep(-1));
    w.MMBackClick();
    ASSERT_TRUE(Settled(w));
    EXPECT_EQ(*w.Model.Deep(), zoomed) << "each gesture is one step back";
}

TEST(DeepWindow, AZoomMovieIntoADeepViewHasDeepFrames)
{
    TForm1 w;
    ASSERT_TRUE(OpenWindow(w));
    ASSERT_TRUE(Settled(w));
    exporter::ViewDocument doc = w.CurrentViewDocument();
    doc.deepRegion = deep::DeepRegion{"-0.75", "0.1", "1e-30", ""};
    w.ApplyViewDocument(doc);
    ASSERT_TRUE(Settled(w));
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    window::MovieChoice choice;
    choice.width = 32;
    choice.height = 24;
    choice.fps = 3;
    choice.seconds = 1.0;
    choice.frameFolder = true;
    choice.path = dir.filePath("frames");
    w.StartZoomMovie(choice);
    ASSERT_NE(w.CurrentLongJob(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !w.CurrentLongJob()->Running(); }));
    // The last frame is the deep view itself, carried in its PNG.
    const exporter::ViewDocument last =
        exporter::ReadViewFile(Bytes(dir.filePath("frames/frame-00002.png")));
    ASSERT_TRUE(last.deepRegion);
    EXPECT_NEAR(std::stod(last.deepRegion->width) / 1e-30, 1.0, 1e-9);
    const exporter::ViewDocument first =
        exporter::ReadViewFile(Bytes(dir.filePath("frames/frame-00000.png")));
    EXPECT_TRUE(!first.deepRegion || std::stod(first.deepRegion->width) > 1e-6) << "from the window's opening view";
}
