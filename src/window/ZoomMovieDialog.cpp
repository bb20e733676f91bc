// Make Zoom Movie: the dialog, the views of the window's history it goes through, and the movie as a long job.
#include "window/ZoomMovieDialog.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <memory>
#include <tuple>
#include <stdexcept>
#include <utility>

#include "export/ViewFile.h"
#include "fractals/Catalogue.h"
#include "movie/QueuedSink.h"
#include "movie/VideoSink.h"
#include "movie/ZoomPath.h"
#include "render/ViewMovie.h"
#include "window/ErrorReport.h"
#include "window/FormBasicTamoSet.h"
#include "window/LongJobs.h"

namespace window {

namespace {

constexpr int kMaxMovieSide = 7680;

int Even(int side) { return side % 2 == 0 ? side : std::min(side + 1, kMaxMovieSide); }

} // namespace

int MovieChoice::Frames() const
{
    const double frames = std::round(seconds * fps);
    return frames < 2 ? 2 : frames > movie::kMaxFrames ? movie::kMaxFrames : static_cast<int>(frames);
}

ZoomMovieDialog::ZoomMovieDialog(QWidget* owner, int views, std::function<QString(const SaveDialogSettings&)> chooseFile,
                                 std::function<bool(const MovieChoice&)> start)
    : QDialog(owner), views_(views), chooseFile_(std::move(chooseFile)), start_(std::move(start))
{
    setObjectName("ZoomMovieDialog");
    setWindowTitle(QStringLiteral("Make Zoom Movie"));
    auto* form = new QFormLayout;
    const MovieChoice defaults;

    WidthBox = jobdialog::Side(this, "ZMWidth", 2, kMaxMovieSide);
    HeightBox = jobdialog::Side(this, "ZMHeight", 2, kMaxMovieSide);
    WidthBox->setValue(defaults.width);
    HeightBox->setValue(defaults.height);
    for (QSpinBox* s : {WidthBox, HeightBox}) {
        s->setSingleStep(2);
        // A video's sides are even (yuv420p halves them): an odd entry goes up by one.
        connect(s, &QSpinBox::editingFinished, s, [s] { s->setValue(Even(s->value())); });
    }
    jobdialog::AddSides(this, form, WidthBox, HeightBox);

    FpsBox = new QSpinBox(this);
    FpsBox->setObjectName("ZMFps");
    FpsBox->setRange(1, 120);
    FpsBox->setValue(defaults.fps);
    FpsBox->setSuffix(QStringLiteral(" frames a second"));
    form->addRow(QStringLiteral("Frame rate:"), FpsBox);

    SecondsBox = new QDoubleSpinBox(this);
    SecondsBox->setObjectName("ZMSeconds");
    SecondsBox->setRange(0.1, 3600.0);
    SecondsBox->setDecimals(1);
    SecondsBox->setValue(defaults.seconds);
    SecondsBox->setSuffix(QStringLiteral(" s"));
    form->addRow(QStringLiteral("Length:"), SecondsBox);
    FramesLabel = new QLabel(this);
    FramesLabel->setObjectName("ZMFrames");
    form->addRow(QString(), FramesLabel);

    SupersampleBox = jobdialog::AddSupersample(this, form, "ZMSupersample");

    OutputBox = new QComboBox(this);
    OutputBox->setObjectName("ZMOutput");
    OutputBox->addItem(QStringLiteral("Video (.mp4 H.264 or .webm VP9, made by ffmpeg)"));
    OutputBox->addItem(QStringLiteral("Folder of PNG frames (each with its view)"));
    form->addRow(QStringLiteral("Output:"), OutputBox);

    std::tie(FileEdit, BrowseButton) =
        jobdialog::AddFile(this, form, QStringLiteral("File or folder:"), "ZMFile", "ZMBrowse");
    std::tie(Buttons, MakeButton) =
        jobdialog::Finish(this, form, QStringLiteral("Make Movie"), "ZMMake", [this] { return start_(Choice()); });

    connect(FpsBox, &QSpinBox::valueChanged, this, [this] { Update(); });
    connect(SecondsBox, &QDoubleSpinBox::valueChanged, this, [this] { Update(); });
    connect(FileEdit, &QLineEdit::textChanged, this, [this] { Update(); });
    connect(BrowseButton, &QPushButton::clicked, this, [this] { errors::Guarded([this] { Browse(); }); });
    Update();
}

void ZoomMovieDialog::Update()
{
    FramesLabel->setText(QStringLiteral("%1 frames through %2 views").arg(Choice().Frames()).arg(views_));
    MakeButton->setEnabled(!FileEdit->text().isEmpty());
}

void ZoomMovieDialog::Browse()
{
    const bool folder = OutputBox->currentIndex() == 1;
    const QString name = chooseFile_(
        folder ? SaveDialogSettings{"ZoomMovieFolder", "Folder for the Frames", QString(), FileEdit->text()}
               : SaveDialogSettings{"ZoomMovie", "Make Zoom Movie", "Videos (*.mp4 *.webm);;All files (*)",
                                    FileEdit->text()});
    if (!name.isEmpty())
        FileEdit->setText(name);
}

MovieChoice ZoomMovieDialog::Choice() const
{
    MovieChoice c;
    c.width = Even(WidthBox->value());
    c.height = Even(HeightBox->value());
    c.fps = FpsBox->value();
    c.seconds = SecondsBox->value();
    c.supersample = SupersampleBox->value();
    c.frameFolder = OutputBox->currentIndex() == 1;
    c.path = FileEdit->text();
    return c;
}

} // namespace window

std::vector<engine::Region> TFormBasicTamoSet::ZoomMovieViews() const
{
    std::vector<engine::Region> views;
    if (History.Size() == 0)
        return views;
    // Backwards from the current view while the formula stays the same.
    for (std::size_t i = History.CurrentIndex() + 1; i-- > 0;) {
        const window::HistoryView& v = History.At(i);
        if (v.valueFunction != ValueFunction)
            break;
        views.push_back(v.region);
    }
    std::reverse(views.begin(), views.end());
    return views;
}

void TFormBasicTamoSet::MMZoomMovieClick()
{
    if (Calculating.load() || (BackgroundJob && BackgroundJob->Running()))
        return;
    const std::size_t views = ZoomMovieViews().size();
    if (views < 2)
        return;
    auto* dialog = new window::ZoomMovieDialog(
        this, static_cast<int>(views), [this](const SaveDialogSettings& s) { return RunSaveDialog(s); },
        [this](const window::MovieChoice& c) { return errors::Guarded([&] { StartZoomMovie(c); }); });
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void TFormBasicTamoSet::StartZoomMovie(const window::MovieChoice& choice)
{
    if (Calculating.load())
        throw std::runtime_error(std::string(Entry ? Entry->caption : "The window") +
                                 " is still calculating; make the movie once it has finished.");
    const std::vector<engine::Region> views = ZoomMovieViews();
    if (views.size() < 2)
        throw std::runtime_error("The window's history holds one view only: zoom first, then make the movie.");
    std::vector<engine::RegionValues> regions;
    for (const engine::Region& r : views)
        regions.push_back(r.Values());
    const int frames = choice.Frames();
    const auto plan = std::make_shared<const movie::ZoomPlan>(movie::PlanZoom(regions, frames));
    const std::string path = QFile::encodeName(choice.path).toStdString();
    if (!choice.frameFolder)
        (void)movie::VideoFormatOf(path); // a name that is neither .mp4 nor .webm is refused before anything starts

    // Everything the movie reads is copied here: the window stays free to explore.
    exporter::ViewDocument start = CurrentViewDocument();
    start.region = views.front();
    start.extendedRegion.reset();
    start.picture = {choice.width, choice.height, choice.supersample, false};
    auto job = std::make_shared<render::ViewJob>(render::MakeViewJob(start));
    const int width = choice.width, height = choice.height;
    const std::int64_t rowsPerFrame = static_cast<std::int64_t>(height) * choice.supersample;
    const bool folder = choice.frameFolder;
    const double fps = choice.fps;
    const QString headline = QStringLiteral("%1: %2 frames of %3 × %4 through %5 views into %6")
                                 .arg(QString::fromStdString(start.viewId))
                                 .arg(frames)
                                 .arg(width)
                                 .arg(height)
                                 .arg(views.size())
                                 .arg(choice.path);
    StartLongJob(std::make_unique<window::LongJob>(
        this, QStringLiteral("Make Zoom Movie"), headline,
        [job, plan, start, width, height, rowsPerFrame, folder, fps, path](const std::atomic<bool>& cancel,
                                                                           window::JobProgress& progress) {
            const std::int64_t total = rowsPerFrame * static_cast<std::int64_t>(plan->frames.size());
            const int frameCount = static_cast<int>(plan->frames.size());
            int framesDone = 0;
            progress.SetItems(0, frameCount);
            const render::Control control = window::BackgroundControl(cancel, [&](const render::Progress& p) {
                progress.SetSteps(framesDone * rowsPerFrame + p.rowsDone, total);
            });
            std::unique_ptr<movie::FrameSink> output;
            if (folder)
                output = std::make_unique<movie::FramesDirSink>(path, render::PngFrameWriters());
            else
                output = std::make_unique<movie::VideoSink>(
                    movie::VideoSettings{.path = path, .fps = fps, .quality = std::nullopt, .cancel = &cancel});
            movie::QueuedSink queued(*output); // frame k is written while frame k + 1 is computed
            const movie::MovieOutcome outcome = movie::MakeMovie(
                plan->frames, width, height, queued, render::ViewFrameRenderer(job->job, job->colours, control),
                render::ViewFrameText(start), cancel, [&](int done, int count) {
                    framesDone = done;
                    progress.SetItems(done, count);
                    progress.SetSteps(done * rowsPerFrame, total);
                });
            return outcome.cancelled ? outcome.message : std::string();
        }));
}
