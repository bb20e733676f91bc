// A fractal window's calculation: first activation, disabled controls, the finished buffer, stopping, type buttons.
#include <gtest/gtest.h>

#include <cstring>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>

#include "engine/Kernels.h"
#include "window/FormJU.h"
#include "window/FormRN.h"
#include "window/CalcOnForm.h"
#include "window/PictureView.h"
#include "WindowTestSupport.h"

using namespace guitest;

namespace {

// The widgets and menu items that a calculation disables.
std::vector<QWidget*> SwitchedWidgets(TFormBasicTamoSet& w)
{
    return {w.BitBtnZIN, w.BitBtnZOUT, w.BitBtnUp, w.BitBtnLeft, w.BitBtnRight, w.BitBtnDown,
            w.TB1,       w.LabPal,     w.PagCPal,  w.ButReset,   w.LabR,        w.LabG,
            w.LabB,      w.TBR,        w.TBG,      w.TBB,        w.LabEX,       w.LabEY,
            w.EdX1,      w.EdX2,       w.EdY1,     w.EdY2,       w.BBEdit,      w.BBCancel,
            w.BBSubmit,  w.ButBuiltInVga};
}

std::vector<QAction*> SwitchedActions(TFormBasicTamoSet& w)
{
    return {w.MMMove->menuAction(), w.MMEdit->menuAction(), w.MMSave,   w.MMCopytoclipboard, w.MMUp,
            w.MMDown,               w.MMLeft,               w.MMRight,  w.MMZoomIn,          w.MMZoomOut,
            w.MMLoadPalette,        w.MMSavePalette,        w.MMOpenView, w.MMSavePictureView};
}

// What stays usable during a calculation.
std::vector<QAction*> AlwaysEnabledActions(TFormBasicTamoSet& w)
{
    return {w.MMPov, w.MMSaveView, w.MMClose, w.MMView->menuAction(), w.MMOptions->menuAction(), w.MMWeb->menuAction(),
            w.Books1->menuAction(), w.Help1->menuAction()};
}

bool AllBytes(const engine::IterBuffer& b, std::uint8_t v)
{
    for (std::size_t i = 0; i < static_cast<std::size_t>(engine::kBufferCells); ++i)
        if (b.At(i) != v)
            return false;
    return true;
}

} // namespace

TEST(WindowCalculation, FirstActivationCalculatesTheEnginePictureOnceWithControlsDisabledMeanwhile)
{
    TFormJU4 w;
    EXPECT_TRUE(w.StartPending);
    EXPECT_FALSE(w.IsCalculating());
    EXPECT_TRUE(AllBytes(w.IterBuffer, 28)) << "a new window's picture is uniform";
    EXPECT_EQ(w.ColourOffset, 40);

    ASSERT_TRUE(OpenWindow(w));
    EXPECT_FALSE(w.StartPending);
    ASSERT_TRUE(w.IsCalculating());
    EXPECT_EQ(w.LabX1->text(), "-1.25");
    EXPECT_EQ(w.LabX2->text(), "1.25");
    EXPECT_EQ(w.LabY1->text(), "-1.12");
    EXPECT_EQ(w.LabY2->text(), "1.1");
    for (QWidget* c : SwitchedWidgets(w))
        EXPECT_FALSE(c->isEnabled()) << c->objectName().toStdString() << " during the calculation";
    for (QAction* a : SwitchedActions(w))
        EXPECT_FALSE(a->isEnabled()) << a->text().toStdString() << " during the calculation";
    for (QAction* a : AlwaysEnabledActions(w))
        EXPECT_TRUE(a->isEnabled()) << a->text().toStdString() << " during the calculation";

    ASSERT_TRUE(WaitForCalculation(w));
    EXPECT_EQ(w.PaintedRow, 767);
    EXPECT_EQ(w.ProgBar->value(), 767);
    EXPECT_TRUE(w.WorkBitmap.isNull()) << "handed to the view and released";
    for (QWidget* c : SwitchedWidgets(w)) {
        const bool editing = c == w.LabEX || c == w.LabEY || c == w.EdX1 || c == w.EdX2 || c == w.EdY1 ||
                             c == w.EdY2 || c == w.BBCancel || c == w.BBSubmit;
        EXPECT_EQ(c->isEnabled(), !editing) << c->objectName().toStdString() << " after the calculation";
    }
    for (QAction* a : SwitchedActions(w))
        EXPECT_TRUE(a->isEnabled()) << a->text().toStdString() << " after the calculation";

    EXPECT_EQ(w.IterBuffer.Snapshot(), ReferenceBuffer("FormJU4"));
    EXPECT_EQ(Rgb32(w.PB->Picture()), ExpectedPicture(w));

    // Activated again (after another window was active): nothing restarts.
    QWidget other;
    ASSERT_TRUE(OpenWindow(other));
    ASSERT_TRUE(OpenWindow(w));
    EXPECT_FALSE(w.IsCalculating());
    EXPECT_EQ(w.LastComputedRow(), 767);
    Pump(50);
    EXPECT_FALSE(w.IsCalculating());
    EXPECT_TRUE(w.PagCPal->isEnabled());
}

TEST(WindowCalculation, RowsAppearFromTheTopOverTheUniformOldPictureAndTheProgressBarFollows)
{
    // The test plays the worker: it stores rows and publishes them itself.
    class ManualWindow : public TFormJU1 {
    public:
        void CreateCalcThread() override {}
        void Publish(int row) { ComputedRow.store(row, std::memory_order_release); }
    } w;
    const QRgb uniform = 0xFF000000u | colour::ColourTableRgb32(w.Palette, w.CurrentAdjust())[28];
    ASSERT_TRUE(OpenWindow(w));
    ASSERT_TRUE(w.IsCalculating());
    ASSERT_EQ(w.PaintedRow, -1);
    // Before the first tick the view shows the start picture, every pixel the colour of 28.
    const QImage first = w.PB->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(first.isNull());
    for (int y = 0; y < first.height(); y += 7)
        for (int x = 0; x < first.width(); x += 5)
            ASSERT_EQ(first.pixel(x, y), uniform) << x << ", " << y;

    std::vector<std::uint8_t> values(engine::kBufferCells);
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<std::uint8_t>((i / 1024) * 3 + (i % 1024) / 9); // no row or run is all 28
    const int barBefore = w.ProgBar->value();
    int published = -1;
    for (const int computed : {0, 1, 2, 300, 301, 766, 767}) {
        SCOPED_TRACE(computed);
        for (int r = published + 1; r <= computed; ++r)
            w.IterBuffer.StoreRow(r, values.data() + static_cast<std::size_t>(r) * engine::kBufferWidth);
        w.Publish(computed);
        published = computed;
        w.Timer1Timer();
        EXPECT_EQ(w.PaintedRow, computed);
        // The progress bar follows from row 1 on.
        EXPECT_EQ(w.ProgBar->value(), computed > 0 ? computed : barBefore);
        const QImage shown = Rgb32(w.PB->Picture());
        ASSERT_EQ(shown.size(), QSize(1024, 768));
        const QImage expected = ExpectedPicture(w);
        for (int r = 0; r <= computed; ++r)
            ASSERT_EQ(0, std::memcmp(shown.constScanLine(r), expected.constScanLine(r), 4 * 1024)) << "row " << r;
        for (int r = computed + 1; r < 768; ++r)
            for (int c = 0; c < 1024; c += 97)
                ASSERT_EQ(shown.pixel(c, r), uniform) << "row " << r << " still shows the old uniform picture";
        // Only the last row ends the calculation and gives the controls back.
        EXPECT_EQ(w.IsCalculating(), computed < 767);
        EXPECT_EQ(w.TB1->isEnabled(), computed == 767);
        EXPECT_EQ(w.MMSave->isEnabled(), computed == 767);
    }
    EXPECT_TRUE(w.WorkBitmap.isNull());
    EXPECT_EQ(Rgb32(w.PB->Picture()), ExpectedPicture(w));
}

TEST(WindowCalculation, AStopEndsTheWorkerAfterAtMostOneMoreRowAndNothingIsPaintedAfterIt)
{
    TFormJU1 w;
    // Started without processing events: the worker waits for the interface
    // thread after its first row, so it is surely running when the stop comes.
    w.StartCalculation();
    ASSERT_TRUE(w.IsCalculating());
    const int computed = w.LastComputedRow();
    w.RequestStop();
    ASSERT_TRUE(WaitForCalculation(w));
    EXPECT_LE(w.LastComputedRow(), computed + 1);
    EXPECT_LT(w.LastComputedRow(), 767);
    const int painted = w.PaintedRow;
    Pump(3 * w.Timer1->interval() + 100); // past the next timer ticks
    EXPECT_EQ(w.PaintedRow, painted) << "a stopped calculation paints nothing more";
    EXPECT_FALSE(w.IsCalculating());
}

TEST(WindowCalculation, TypeButtonIsIgnoredDuringACalculationAndSwitchesTheFormulaAfterIt)
{
    TFormRN1 w;
    const engine::Region opening = w.ViewRegion;
    ASSERT_EQ(w.ValueFunction, &engine::RN1Kernel1);
    ASSERT_TRUE(OpenWindow(w));
    ASSERT_TRUE(w.IsCalculating());

    QTest::mouseClick(w.SBAL2, Qt::LeftButton);
    EXPECT_EQ(w.ValueFunction, &engine::RN1Kernel1);
    EXPECT_EQ(w.ViewRegion, opening);

    ASSERT_TRUE(WaitForCalculation(w));
    Pump(3 * w.Timer1->interval() + 100); // a queued click would start at the latest by now
    EXPECT_FALSE(w.IsCalculating());
    EXPECT_EQ(w.LastComputedRow(), 767);
    EXPECT_EQ(w.IterBuffer.Snapshot(), ReferenceBuffer("FormRN1"));

    QTest::mouseClick(w.SBAL2, Qt::LeftButton);
    EXPECT_EQ(w.ValueFunction, &engine::RN1Kernel2);
    EXPECT_EQ(w.ViewRegion, fractals::FindView("FormRN1.SBAL2")->region.Make());
    EXPECT_TRUE(w.IsCalculating());
    EXPECT_EQ(w.LabX2->text(), "32000");
    ASSERT_TRUE(WaitForCalculation(w));
    EXPECT_EQ(w.IterBuffer.Snapshot(), ReferenceBuffer("FormRN1.SBAL2"));
}

TEST(WindowCalculation, DestroyingACalculatingWindowWaitsForItsWorker)
{
    {
        TFormJU1 w;
        ASSERT_TRUE(OpenWindow(w));
        ASSERT_TRUE(w.IsCalculating());
        ASSERT_EQ(TCalcOnForm::LiveCount(), 1);
    }
    EXPECT_EQ(TCalcOnForm::LiveCount(), 0) << "no worker may outlive its window";
}
