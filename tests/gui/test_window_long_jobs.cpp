// Render Picture and Make Zoom Movie driven through their dialogs: the files against quillon-render, cancels, failures.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>

#include <cerrno>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

#include "colour/PaletteFile.h"
#include "export/ViewFile.h"
#include "window/FormJU.h"
#include "window/LongJobs.h"
#include "window/RenderPictureDialog.h"
#include "window/ZoomMovieDialog.h"
#include "WindowTestSupport.h"
#include "RenderRun.h"

using namespace guitest;

namespace {

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// quillon-render with the arguments; true when it exits with status 0.
bool RunRender(const QStringList& args)
{
    std::vector<std::string> words;
    for (const QString& a : args)
        words.push_back(QFile::encodeName(a).toStdString());
    const pid_t pid = testfiles::StartRender(words);
    return pid >= 0 && testfiles::WaitForRender(pid) == 0;
}

using guitest::Bytes;

class LongJobs : public OutputTest {
protected:
    void SetUp() override
    {
        OutputTest::SetUp();
        window::RenderPictureDialog::ForgetSettings();
        w = std::make_unique<TFormJU4>();
        ASSERT_TRUE(OpenWindow(*w));
        ASSERT_TRUE(WaitForCalculation(*w));
    }
    void TearDown() override
    {
        w.reset();
        OutputTest::TearDown();
    }

    bool JobRunning() const { return w->CurrentLongJob() && w->CurrentLongJob()->Running(); }
    // Waits for the job's end and for the report a failure posts.
    bool WaitForJob()
    {
        const bool ended = WaitUntil([&] { return !JobRunning(); });
        QCoreApplication::processEvents();
        return ended;
    }

    window::RenderPictureDialog* OpenRenderDialog()
    {
        w->MMRenderPicture->trigger();
        return w->findChild<window::RenderPictureDialog*>();
    }
    // Fills the dialog (a custom size), answers its file dialog and starts the render.
    void RenderPicture(int width, int height, int supersample, bool keepShape, const QString& path)
    {
        window::RenderPictureDialog* d = OpenRenderDialog();
        ASSERT_NE(d, nullptr);
        ASSERT_TRUE(d->isVisible());
        d->SizeBox->setCurrentIndex(d->CustomIndex());
        d->WidthBox->setValue(width);
        d->HeightBox->setValue(height);
        d->SupersampleBox->setValue(supersample);
        (keepShape ? d->KeepShape : d->KeepRegion)->setChecked(true);
        Answer(path);
        QTest::mouseClick(d->BrowseButton, Qt::LeftButton);
        ASSERT_EQ(d->FileEdit->text(), path);
        ASSERT_TRUE(d->RenderButton->isEnabled());
        QTest::mouseClick(d->RenderButton, Qt::LeftButton);
    }

    window::ZoomMovieDialog* OpenMovieDialog()
    {
        w->MMZoomMovie->trigger();
        return w->findChild<window::ZoomMovieDialog*>();
    }
    void MakeMovie(int width, int height, int fps, double seconds, bool folder, const QString& path)
    {
        window::ZoomMovieDialog* d = OpenMovieDialog();
        ASSERT_NE(d, nullptr);
        d->WidthBox->setValue(width);
        d->HeightBox->setValue(height);
        d->FpsBox->setValue(fps);
        d->SecondsBox->setValue(seconds);
        d->OutputBox->setCurrentIndex(folder ? 1 : 0);
        Answer(path);
        QTest::mouseClick(d->BrowseButton, Qt::LeftButton);
        QTest::mouseClick(d->MakeButton, Qt::LeftButton);
    }

    // Zooms in once: the history holds the opening view and the zoomed one.
    void ZoomIn()
    {
        QTest::mouseClick(w->BitBtnZIN, Qt::LeftButton);
        ASSERT_TRUE(WaitForCalculation(*w));
        ASSERT_EQ(w->History.Size(), 2u);
    }

    std::unique_ptr<TFormBasicTamoSet> w;
};

} // namespace

TEST_F(LongJobs, RenderPictureKeepsThePixelShapeFirstAndRemembersItsSettingsForTheRun)
{
    window::RenderPictureDialog* d = OpenRenderDialog();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->KeepShape->isChecked()) << "a 4:3 view is not stretched to 16:9 unless asked";
    EXPECT_EQ(d->Choice().width, 1920);
    d->SizeBox->setCurrentIndex(d->CustomIndex());
    d->WidthBox->setValue(640);
    d->HeightBox->setValue(360);
    d->SupersampleBox->setValue(3);
    d->KeepRegion->setChecked(true);
    d->FormatBox->setCurrentIndex(1);
    d->FileEdit->setText(dir.filePath("kept.bmp"));
    d->reject(); // Cancel forgets nothing
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    window::RenderPictureDialog* again = OpenRenderDialog();
    ASSERT_NE(again, nullptr);
    const window::PictureChoice c = again->Choice();
    EXPECT_EQ(again->SizeBox->currentIndex(), again->CustomIndex());
    EXPECT_EQ(c.width, 640);
    EXPECT_EQ(c.height, 360);
    EXPECT_EQ(c.supersample, 3);
    EXPECT_FALSE(c.keepPixelShape);
    EXPECT_EQ(c.format, render::FileFormat::Bmp);
    EXPECT_EQ(c.path, dir.filePath("kept.bmp"));
    again->reject();
}

// The window's colours reach the picture as quillon-render gives them from
// its own options: a page with a rotation and offsets, and a loaded palette.
TEST_F(LongJobs, RenderPictureEqualsTheCommandLineRenderOfTheView)
{
    const QString map = dir.filePath("odd.map");
    {
        colour::TPaletteTable t;
        for (int k = 0; k < 256; ++k) {
            t.Red[k] = k;
            t.Green[k] = 255 - k;
            t.Blue[k] = (k * 7) % 256;
        }
        QFile f(map);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray::fromStdString(colour::FormatMap(t)));
    }
    struct Case {
        const char* name;
        std::function<void(TFormBasicTamoSet&)> colour;
        QStringList options;
    };
    const Case cases[] = {
        {"page 3, rotation, offsets",
         [](TFormBasicTamoSet& f) {
             f.PagCPal->setCurrentWidget(f.TS3);
             f.TB1->setValue(7);
             f.TBR->setValue(10);
             f.TBB->setValue(-30);
         },
         {"--palette", "3", "--rotate", "7", "--rgb", "10,0,-30"}},
        {"loaded palette", [&](TFormBasicTamoSet& f) { f.LoadPaletteFile(map); }, {"--palette-file", map}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        w->ButResetClick();
        c.colour(*w);
        const QString mine = dir.filePath(QStringLiteral("mine-%1.png").arg(&c - cases));
        const QString theirs = dir.filePath(QStringLiteral("theirs-%1.png").arg(&c - cases));
        RenderPicture(64, 48, 2, false, mine);
        ASSERT_TRUE(JobRunning() || QFile::exists(mine)) << "the render started";
        EXPECT_FALSE(w->MMRenderPicture->isEnabled() && JobRunning()) << "one job at a time";
        ASSERT_TRUE(WaitForJob());
        ASSERT_TRUE(messages.empty()) << messages.front().toStdString();
        // The progress window stays to say what was made.
        window::LongJobDialog* done = w->CurrentLongJob()->Dialog();
        EXPECT_TRUE(done->isVisible());
        EXPECT_TRUE(done->Status->text().startsWith(QStringLiteral("Saved %1 (64 × 48, ").arg(mine)))
            << done->Status->text().toStdString();
        EXPECT_TRUE(done->Status->text().endsWith(" s)")) << done->Status->text().toStdString();
        done->CancelButton->click(); // "Close" now
        EXPECT_TRUE(w->MMRenderPicture->isEnabled());
        ASSERT_TRUE(RunRender(QStringList{"--view", "FormJU4", "--size", "64x48", "--supersample", "2", "--quiet",
                                          "--png", theirs} +
                              c.options));
        const QByteArray expected = FileBytes(theirs);
        ASSERT_FALSE(expected.isEmpty());
        EXPECT_TRUE(FileBytes(mine) == expected) << "the picture and its embedded view, byte for byte";
    }
}

// Cancel, Escape on the progress window and closing the fractal window all
// stop a large render at once and leave no file. Each stop comes once the
// render is under way (rows done, the temporary file written beside the
// target), so "no file" checks that the partial file is taken away.
TEST_F(LongJobs, ACancelledRenderLeavesNoFile)
{
    const std::function<void(TFormBasicTamoSet&)> stops[] = {
        [](TFormBasicTamoSet& f) { QTest::mouseClick(f.CurrentLongJob()->Dialog()->CancelButton, Qt::LeftButton); },
        [](TFormBasicTamoSet& f) { QTest::keyClick(f.CurrentLongJob()->Dialog(), Qt::Key_Escape); },
        [](TFormBasicTamoSet& f) { f.close(); },
    };
    for (const auto& stop : stops) {
        SCOPED_TRACE(&stop - stops);
        if (!w->isVisible()) {
            ASSERT_TRUE(OpenWindow(*w));
        }
        RenderPicture(3840, 2160, 4, false, dir.filePath("big.png"));
        ASSERT_TRUE(JobRunning());
        const window::LongJobDialog* dialog = w->CurrentLongJob()->Dialog();
        ASSERT_TRUE(WaitUntil([&] { return !JobRunning() || (dialog->Bar->value() > 0 && !Files().isEmpty()); }));
        ASSERT_TRUE(JobRunning()) << "far from done";
        ASSERT_LT(dialog->Bar->value(), dialog->Bar->maximum()) << "far from done";
        stop(*w);
        ASSERT_TRUE(WaitForJob());
        EXPECT_FALSE(w->CurrentLongJob()->Dialog()->isVisible());
        EXPECT_TRUE(messages.empty());
        EXPECT_TRUE(Files().isEmpty()) << Files().join(", ").toStdString();
    }
}

// The region as the window shows it, or widened along one axis about its
// centre so that the pixels are as wide as tall as in the 1024 x 768 picture.
TEST_F(LongJobs, KeepPixelShapeWidensTheRegionAboutItsCentre)
{
    using engine::Extended;
    const engine::RegionValues r = w->ViewRegion.Values();
    const Extended pitchRatio = (r.XWidth / 1023.0L) / (r.YHeight / 767.0L);
    struct Case {
        int width, height;
        bool keepShape;
        Extended xFactor, yFactor; // the widening expected along each axis
    };
    const Case cases[] = {
        {65, 25, true, (64.0L * 767.0L) / (24.0L * 1023.0L), 1.0L},
        {25, 65, true, 1.0L, (64.0L * 1023.0L) / (24.0L * 767.0L)},
        {1024, 768, true, 1.0L, 1.0L},
        {65, 25, false, 1.0L, 1.0L},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + (c.keepShape ? " shape" : " region"));
        const QString path = dir.filePath(QStringLiteral("shape-%1.png").arg(&c - cases));
        RenderPicture(c.width, c.height, 1, c.keepShape, path);
        ASSERT_TRUE(WaitForJob());
        ASSERT_TRUE(messages.empty()) << messages.front().toStdString();
        const exporter::ViewDocument v = exporter::ReadViewFile(Bytes(path));
        EXPECT_EQ(v.picture.widened, c.keepShape);
        EXPECT_EQ(v.picture.width, c.width);
        const engine::RegionValues d = v.DrawnRegion();
        auto near = [](Extended a, Extended b) { return std::fabs(a - b) <= 1e-15L * std::fabs(b); };
        EXPECT_TRUE(near(d.XWidth, r.XWidth * c.xFactor)) << static_cast<double>(d.XWidth);
        EXPECT_TRUE(near(d.YHeight, r.YHeight * c.yFactor)) << static_cast<double>(d.YHeight);
        EXPECT_TRUE(near(d.XStart + d.XWidth / 2, r.XStart + r.XWidth / 2)) << "the centre stays";
        EXPECT_TRUE(near(d.YStart + d.YHeight / 2, r.YStart + r.YHeight / 2)) << "the centre stays";
        if (c.keepShape) {
            const Extended pitch = (d.XWidth / (c.width - 1)) / (d.YHeight / (c.height - 1));
            EXPECT_TRUE(std::fabs(pitch - pitchRatio) <= 1e-15L * pitchRatio) << "pixels of the window's shape";
        } else {
            EXPECT_EQ(d, r) << "the region is kept";
        }
    }
}

TEST_F(LongJobs, RenderPictureRefusesABitmapTooLargeAndKeepsItsDialogOpen)
{
    window::RenderPictureDialog* d = OpenRenderDialog();
    ASSERT_NE(d, nullptr);
    d->SizeBox->setCurrentIndex(d->CustomIndex());
    d->WidthBox->setValue(65535);
    d->HeightBox->setValue(65535);
    d->FormatBox->setCurrentIndex(1);
    d->FileEdit->setText(dir.filePath("huge.bmp"));
    QTest::mouseClick(d->RenderButton, Qt::LeftButton);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains("PNG")) << messages[0].toStdString();
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(w->CurrentLongJob(), nullptr);
    d->reject();
    EXPECT_TRUE(Files().isEmpty());
}

TEST_F(LongJobs, TheItemsAreDisabledWhileTheWindowCalculatesAndTheMovieNeedsTwoViews)
{
    EXPECT_TRUE(w->MMRenderPicture->isEnabled());
    EXPECT_FALSE(w->MMZoomMovie->isEnabled()) << "one view: nothing to zoom between";
    QTest::mouseClick(w->BitBtnZIN, Qt::LeftButton);
    EXPECT_FALSE(w->MMRenderPicture->isEnabled());
    EXPECT_FALSE(w->MMZoomMovie->isEnabled());
    ASSERT_TRUE(WaitForCalculation(*w));
    EXPECT_TRUE(w->MMRenderPicture->isEnabled());
    EXPECT_TRUE(w->MMZoomMovie->isEnabled());
    w->GoToHistory(-1);
    EXPECT_FALSE(w->MMZoomMovie->isEnabled()) << "back at the first view";
    // The two items follow Save Picture with View.
    const QList<QAction*> items = w->MMFile->actions();
    const qsizetype at = items.indexOf(w->MMSavePictureView);
    ASSERT_GE(at, 0);
    ASSERT_GT(items.size(), at + 2);
    EXPECT_EQ(items[at + 1], w->MMRenderPicture);
    EXPECT_EQ(items[at + 2], w->MMZoomMovie);
    EXPECT_EQ(w->MMRenderPicture->text(), "Render Picture…");
    EXPECT_EQ(w->MMZoomMovie->text(), "Make Zoom Movie…");
}

// PNG frames from a two-view history: the first and the last frame are the
// two views as quillon-render draws them, their embedded views included.
TEST_F(LongJobs, ZoomMovieFramesRunFromTheFirstViewToTheCurrentOne)
{
    const QString first = dir.filePath("first.qview");
    Answer(first);
    w->MMSaveView->trigger();
    ZoomIn();
    const QString last = dir.filePath("last.qview");
    Answer(last);
    w->MMSaveView->trigger();
    ASSERT_TRUE(w->MMZoomMovie->isEnabled());

    const QString folder = dir.filePath("frames");
    MakeMovie(64, 48, 4, 1.0, true, folder);
    ASSERT_TRUE(WaitForJob());
    ASSERT_TRUE(messages.empty()) << messages.front().toStdString();
    const QStringList frames = QDir(folder).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(frames, (QStringList{"frame-00000.png", "frame-00001.png", "frame-00002.png", "frame-00003.png"}));
    for (const auto& [view, frame] : {std::pair{first, frames.front()}, std::pair{last, frames.back()}}) {
        const QString expected = dir.filePath("expected-" + frame);
        ASSERT_TRUE(RunRender({"--open", view, "--size", "64x48", "--quiet", "--png", expected}));
        EXPECT_TRUE(FileBytes(QDir(folder).filePath(frame)) == FileBytes(expected)) << frame.toStdString();
    }
    const engine::RegionValues middle = exporter::ReadViewFile(Bytes(QDir(folder).filePath(frames[1]))).DrawnRegion();
    EXPECT_LT(middle.XWidth, exporter::ReadViewFile(Bytes(first)).region.Values().XWidth);
    EXPECT_GT(middle.XWidth, exporter::ReadViewFile(Bytes(last)).region.Values().XWidth);
}

// Without ffmpeg on the PATH a video is one message naming the package, and no file.
TEST_F(LongJobs, AVideoWithoutFfmpegIsOneMessageAndNoFile)
{
    ZoomIn();
    const QByteArray path = qgetenv("PATH");
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    qputenv("PATH", empty.path().toLocal8Bit());
    MakeMovie(64, 48, 4, 1.0, false, dir.filePath("m.mp4"));
    const bool ended = WaitForJob();
    qputenv("PATH", path);
    ASSERT_TRUE(ended);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].contains("\"ffmpeg\"")) << messages[0].toStdString();
    EXPECT_FALSE(w->CurrentLongJob()->Dialog()->isVisible());
    EXPECT_TRUE(Files().isEmpty()) << Files().join(", ").toStdString();
}

// Cancel stops the video within a frame, leaves nothing under its name or
// beside it, and the progress window says how many frames were done.
TEST_F(LongJobs, ACancelledVideoLeavesNoFileAndSaysHowManyFramesWereDone)
{
    ZoomIn();
    MakeMovie(640, 480, 30, 60.0, false, dir.filePath("m.mp4"));
    ASSERT_TRUE(JobRunning());
    window::LongJobDialog* progress = w->CurrentLongJob()->Dialog();
    Pump(300);
    QTest::mouseClick(progress->CancelButton, Qt::LeftButton);
    ASSERT_TRUE(WaitForJob());
    EXPECT_TRUE(messages.empty()) << messages.front().toStdString();
    EXPECT_TRUE(progress->isVisible());
    const QString said = progress->Status->text();
    EXPECT_TRUE(said.startsWith("Cancelled after ")) << said.toStdString();
    EXPECT_TRUE(said.contains(" of 1800 frames; no video was written.")) << said.toStdString();
    EXPECT_EQ(progress->CancelButton->text(), "Close");
    QTest::mouseClick(progress->CancelButton, Qt::LeftButton);
    EXPECT_FALSE(progress->isVisible());
    EXPECT_TRUE(Files().isEmpty()) << Files().join(", ").toStdString();
    EXPECT_TRUE(w->MMZoomMovie->isEnabled());
}

// Destroying the window in the middle of a movie cancels it and waits for its threads.
TEST_F(LongJobs, AWindowDestroyedDuringAMovieStopsIt)
{
    ZoomIn();
    MakeMovie(320, 240, 30, 30.0, true, dir.filePath("frames"));
    ASSERT_TRUE(JobRunning());
    Pump(200);
    w.reset();
    const QStringList left = QDir(dir.filePath("frames")).entryList(QDir::Files);
    EXPECT_LT(left.size(), 900);
    for (const QString& f : left)
        EXPECT_TRUE(f.startsWith("frame-") && f.endsWith(".png")) << "no unfinished frame: " << f.toStdString();
    EXPECT_TRUE(messages.empty());
}

TEST(TimeLeft, SaysHoursMinutesOrSeconds)
{
    EXPECT_EQ(window::TimeLeftText(12.4), "about 12 s left");
    EXPECT_EQ(window::TimeLeftText(200), "about 3 min 20 s left");
    EXPECT_EQ(window::TimeLeftText(3900), "about 1 h 05 min left");
}

TEST(LongJobTimeLeft, ComesFromTheRowsPerSecondMeasuredLately)
{
    struct Reading {
        double elapsed;
        std::int64_t done;
        double left; // negative: no estimate yet
    };
    const struct {
        const char* what;
        std::vector<Reading> readings;
    } cases[] = {
        {"nothing before the first row, nor within its first second",
         {{0.5, 0, -1}, {3.0, 0, -1}, {3.5, 10, -1}, {4.0, 20, -1}}},
        // 3 s of start-up, then 20 rows a second: 920 rows left take 46 s,
        // where the average since the start (80 rows in 7 s) would say 80 s.
        {"the start-up does not count", {{3.0, 0, -1}, {3.5, 0, -1}, {4.0, 20, -1}, {5.0, 40, 48}, {7.0, 80, 46}}},
        // Fast at first, then 10 rows a second for more than the window.
        {"the rate follows the last seconds",
         {{1.0, 100, -1}, {2.0, 200, 8}, {3.0, 210, -1}, {14.0, 320, 68}}},
        {"done", {{1.0, 50, -1}, {2.0, 100, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        window::TimeLeft t;
        for (const Reading& r : c.readings) {
            t.Add(r.elapsed, r.done, c.what == std::string("done") ? 100 : 1000);
            if (r.left < 0)
                continue;
            EXPECT_NEAR(t.SecondsLeft(), r.left, 0.5) << r.elapsed;
        }
    }
    window::TimeLeft early;
    early.Add(0.2, 5, 100);
    EXPECT_LT(early.SecondsLeft(), 0) << "too early to say";
}
