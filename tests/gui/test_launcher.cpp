// The launcher: its buttons open their windows, strip mode, thumbnails, and the shutdown that stops every calculation.
#include <gtest/gtest.h>

#include <map>

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>
#include <QPointer>
#include <QSignalSpy>
#include <QToolButton>

#include "window/FormJU.h"
#include "window/FormRN.h"
#include "shell/Application.h"
#include "shell/FormMain.h"
#include "export/Scenes.h"
#include "window/CalcOnForm.h"
#include "window/LongJobs.h"
#include "window/RenderPictureDialog.h"
#include "window/ZoomMovieDialog.h"
#include "window/ThumbnailRenderer.h"
#include "ModalDialogs.h"
#include "WindowTestSupport.h"
#include "window/ScreenPicture.h"

using namespace guitest;

namespace {

class Launcher : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateApplicationWindows();
        for (QWidget* w : ApplicationWindows())
            created.push_back(w);
    }
    void TearDown() override
    {
        DestroyApplicationWindows();
        EXPECT_EQ(TCalcOnForm::LiveCount(), 0) << "no worker thread outlives the windows";
        ASSERT_EQ(created.size(), 32u);
        for (const QPointer<QWidget>& w : created)
            EXPECT_TRUE(w.isNull()) << "a window outlives the application: " << w->objectName().toStdString();
        EXPECT_EQ(FormMain, nullptr);
        EXPECT_EQ(Thumbnails, nullptr);
    }

    // Every window the start-up made; each must be gone after the shutdown.
    std::vector<QPointer<QWidget>> created;

    QToolButton* Button(const char* name) { return FormMain->findChild<QToolButton*>(name); }

    void Click(const char* name)
    {
        QToolButton* b = Button(name);
        ASSERT_NE(b, nullptr) << name;
        QTest::mouseClick(b, Qt::LeftButton);
    }
};

} // namespace

TEST_F(Launcher, IsASmallFixedAlwaysOnTopWindowWhoseButtonsOpenTheirWindows)
{
    EXPECT_EQ(FormMain->windowTitle(), "Quillon  v2.8B");
    EXPECT_EQ(FormMain->size(), QSize(219, 473));
    EXPECT_EQ(FormMain->minimumSize(), FormMain->maximumSize());
    EXPECT_TRUE(FormMain->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(FormMain->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(FormMain->FullHeight, 473);
    EXPECT_FALSE(FormMain->SBMin->isHidden());
    EXPECT_TRUE(FormMain->SBMax->isHidden());
    EXPECT_EQ(FormMain->SBMin->geometry(), QRect(0, 454, 217, 19));

    // Every fractal button leads to the window of that caption.
    const std::map<std::string, std::string> captions = {
        {"SBMandel", "Mandelbrot set via Level Set Method"},
        {"SBTamo1", "Tamo1 Set"}, {"SBTamo2", "Tamo2 Set using 3D"}, {"SBTamo3", "Tamo3 Set"},
        {"SBTamo4", "Tamo4 Set"}, {"SBTamo5", "Tamo5 Set"},
        {"SBJU1", "Julia Set 1"}, {"SBJU2", "Julia Set 2"}, {"SBJU3", "Julia Set 3"}, {"SBJU4", "Julia Set 4"},
        {"SBJU5", "Julia Set 5"}, {"SBJU6", "Julia Set 6"}, {"SBJU7", "Julia Set 7"}, {"SBJU8", "Julia Set 8"},
        {"SBJU9", "Julia Set 9"}, {"SBJU10", "Julia Set 10"}, {"SBJU11", "Julia Set 11"},
        {"SBJU12", "Julia Set 12"},
        {"SBAL1", "Tamo Random Sets 1"}, {"SBAL2", "Tamo Random Sets 2"}, {"SBAL3", "Tamo Random Sets 3"},
        {"SBAL4", "Tamo Random Sets 4"}, {"SBAL5", "Tamo Random Sets 5"}, {"SBAL6", "Sets 6"}};
    ASSERT_EQ(FormMain->FractalButtons.size(), 24u);
    for (QToolButton* b : FormMain->FractalButtons) {
        const std::string name = b->objectName().toStdString();
        ASSERT_EQ(captions.count(name), 1u) << name;
        TFormBasicTamoSet* w = WindowOfLauncherButton(b->objectName());
        ASSERT_NE(w, nullptr) << name;
        EXPECT_EQ(w->windowTitle().toStdString(), captions.at(name));
        EXPECT_TRUE(b->autoRaise());
        EXPECT_TRUE(b->text().isEmpty());
        // The picture has no text; its tooltip names the window it opens.
        EXPECT_EQ(b->toolTip().toStdString(), captions.at(name));
    }
    EXPECT_FALSE(FormMain->SBMin->toolTip().isEmpty());
    EXPECT_FALSE(FormMain->SBMax->toolTip().isEmpty());
    EXPECT_EQ(Button("SBJU6")->geometry(), QRect(144, 168, 73, 57));
    EXPECT_EQ(Button("SBTamo1")->geometry(), QRect(0, 59, 73, 54));
    EXPECT_EQ(FractalWindows().size(), 24u);
    for (TFormBasicTamoSet* w : FractalWindows())
        EXPECT_TRUE(w->isHidden()) << "no fractal window is shown at start-up";
}

TEST_F(Launcher, ButtonShowsItsWindowOnTopAndClosingOnlyHidesItWhileItCalculates)
{
    FormMain->show();
    Click("SBJU4");
    TFormBasicTamoSet* w = WindowOfLauncherButton("SBJU4");
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(QApplication::activeWindow(), w);
    ASSERT_TRUE(w->IsCalculating());

    w->MMClose->trigger();
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(w->IsCalculating()) << "a hidden window goes on calculating";
    ASSERT_TRUE(WaitForCalculation(*w));
    EXPECT_EQ(w->IterBuffer.Snapshot(), ReferenceBuffer("FormJU4"));

    // Opened again: shown and in front, nothing recalculated.
    FormMain->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(FormMain));
    Click("SBJU4");
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    EXPECT_FALSE(w->IsCalculating());
    EXPECT_EQ(w->LastComputedRow(), 767);
    Click("SBJU4"); // already visible: only brought to the front
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->IsCalculating());
}

TEST_F(Launcher, MinimiseMakesAStripAndMaximiseRestoresTheRecordedHeight)
{
    FormMain->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(FormMain));
    const int frame = FormMain->frameGeometry().height() - FormMain->height();
    Click("SBMin");
    EXPECT_EQ(FormMain->frameGeometry().height(), 50);
    EXPECT_TRUE(FormMain->SBMax->isVisible());
    Click("SBMin"); // already a strip
    EXPECT_EQ(FormMain->height() + frame, 50);
    Click("SBMax");
    EXPECT_EQ(FormMain->height(), 473);
    EXPECT_TRUE(FormMain->SBMax->isHidden());
}

TEST_F(Launcher, EveryPictureButtonShowsTheThumbnailOfItsView)
{
    ASSERT_TRUE(WaitUntil([] { return Thumbnails->AllReady(); }));
    auto shown = [](QToolButton* b) {
        return b->icon().pixmap(QSize(ThumbnailRenderer::kWidth, ThumbnailRenderer::kHeight))
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    for (QToolButton* b : FormMain->FractalButtons) {
        const TFormBasicTamoSet* w = WindowOfLauncherButton(b->objectName());
        ASSERT_FALSE(b->icon().isNull()) << b->objectName().toStdString();
        EXPECT_EQ(shown(b), screen::RenderViewImage(*fractals::FindView(w->Entry->instance), 64, 51))
            << b->objectName().toStdString();
    }
    for (TFormBasicTamoSet* w : FractalWindows()) {
        auto* rn = qobject_cast<TFormExtendedBasic*>(w);
        if (rn == nullptr)
            continue;
        for (int k = 0; k < 6; ++k) {
            const std::string id = std::string(w->Entry->instance) + ".SBAL" + std::to_string(k + 1);
            EXPECT_EQ(shown(rn->TypeButtons()[k]), screen::RenderViewImage(*fractals::FindView(id), 64, 51)) << id;
        }
    }
}

TEST_F(Launcher, ClosingStopsEveryCalculationAfterItsRowAndMarksEveryCaption)
{
    std::map<TFormBasicTamoSet*, QString> captions;
    for (TFormBasicTamoSet* w : FractalWindows())
        captions[w] = w->windowTitle();

    FormMain->show();
    std::vector<TFormBasicTamoSet*> busy;
    for (const char* b : {"SBJU1", "SBAL5", "SBMandel", "SBTamo1"}) {
        Click(b);
        busy.push_back(WindowOfLauncherButton(b));
        ASSERT_TRUE(WaitUntil([&] { return busy.back()->IsCalculating(); }));
    }
    busy[1]->MMClose->trigger(); // one of them hidden
    ASSERT_FALSE(busy[1]->isVisible());
    WaitUntil([&] { return busy[0]->LastComputedRow() >= 0; });

    std::map<TFormBasicTamoSet*, int> rowsAtClose;
    for (TFormBasicTamoSet* w : busy) {
        ASSERT_TRUE(w->IsCalculating()) << w->windowTitle().toStdString();
        rowsAtClose[w] = w->LastComputedRow();
    }
    QSignalSpy closed(FormMain, &TFormMain::Closed);
    FormMain->close(); // returns once every calculation has stopped

    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(FormMain->isVisible());
    for (TFormBasicTamoSet* w : FractalWindows()) {
        EXPECT_FALSE(w->IsCalculating()) << captions[w].toStdString();
        EXPECT_TRUE(w->StopWasRequested());
        EXPECT_EQ(w->windowTitle(), captions[w] + " Closing...");
    }
    for (TFormBasicTamoSet* w : busy)
        EXPECT_LE(w->LastComputedRow(), rowsAtClose[w] + 1) << captions[w].toStdString();
    for (TFormBasicTamoSet* w : busy)
        w->WaitForWorker();
    EXPECT_EQ(TCalcOnForm::LiveCount(), 0);
}

// A movie cancelled, then a large render running in the same window: closing
// the launcher must still end the event loop. It once waited for good when
// the toolkit, asked to quit, closed a render's progress window (which only
// cancels) before the fractal window that owns it: which one it reaches first
// changes from run to run, so six windows render at once, and a run that
// reaches every window before its progress window is rare.
TEST_F(Launcher, ClosingEndsTheEventLoopWhileRendersRunAfterACancelledMovie)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QuitWhenLauncherCloses(*QCoreApplication::instance());
    FormMain->show();
    TFormBasicTamoSet* w = WindowOfLauncherButton("SBJU2");
    ASSERT_TRUE(OpenWindow(*w));
    ASSERT_TRUE(WaitUntil([&] { return w->LastComputedRow() >= 0; }));
    ASSERT_TRUE(WaitForCalculation(*w));
    QTest::mouseClick(w->BitBtnZIN, Qt::LeftButton);
    ASSERT_TRUE(WaitForCalculation(*w));

    window::MovieChoice movie;
    movie.width = 64;
    movie.height = 48;
    movie.seconds = 30.0;
    movie.frameFolder = true;
    movie.path = dir.filePath("frames");
    ASSERT_TRUE(QDir().mkpath(movie.path));
    w->StartZoomMovie(movie);
    ASSERT_TRUE(WaitUntil([&] { return w->CurrentLongJob()->Dialog()->Status->text().startsWith("Frame "); }));
    QTest::mouseClick(w->CurrentLongJob()->Dialog()->CancelButton, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return !w->CurrentLongJob()->Running(); }));
    ASSERT_TRUE(w->CurrentLongJob()->Dialog()->isVisible()) << "the cancelled movie says how far it came";

    std::vector<TFormBasicTamoSet*> rendering;
    for (const char* button : {"SBJU2", "SBJU1", "SBJU3", "SBJU4", "SBJU5", "SBJU6"}) {
        TFormBasicTamoSet* r = WindowOfLauncherButton(button);
        r->show(); // a render needs no picture of the window's own: its calculation is stopped
        r->RequestStop();
        ASSERT_TRUE(WaitForCalculation(*r));
        window::PictureChoice picture;
        picture.width = 7680;
        picture.height = 4320;
        picture.path = dir.filePath(QString(button) + ".png");
        r->StartRenderPicture(picture);
        ASSERT_TRUE(r->CurrentLongJob()->Running()) << button;
        rendering.push_back(r);
    }

    constexpr int kStillRunning = 7;
    // The launcher asks before it stops the renders; the answer is Quit.
    testsupport::WhenModal<QMessageBox>([](QMessageBox& box) {
        if (auto* quit = box.findChild<QPushButton*>("StopJobsQuit"))
            quit->click();
    });
    QTimer::singleShot(0, FormMain, [] { FormMain->close(); });
    // A timer of this test's own: it must not end the event loops of the tests after it.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(kStillRunning); });
    watchdog.start(30000);
    EXPECT_EQ(QCoreApplication::exec(), 0) << "the launcher has gone but the application goes on";
    watchdog.stop();
    for (TFormBasicTamoSet* r : rendering)
        EXPECT_TRUE(r->StopWasRequested());
}

TEST_F(Launcher, ClosingWithNoWindowOpenedEndsAtOnceAndStillMarksTheCaptions)
{
    FormMain->show();
    QSignalSpy closed(FormMain, &TFormMain::Closed);
    FormMain->close();
    EXPECT_EQ(closed.count(), 1);
    for (TFormBasicTamoSet* w : FractalWindows()) {
        EXPECT_TRUE(w->windowTitle().endsWith(" Closing..."));
        EXPECT_FALSE(w->windowTitle().endsWith(" Closing... Closing..."));
    }
    EXPECT_EQ(WindowOfLauncherButton("SBJU3")->windowTitle(), "Julia Set 3 Closing...");
}
