// The window's long jobs: Render Picture and Make Zoom Movie opened from its menu, one job at a time,
// cancelled when the window closes.
#include "window/FormBasicTamoSet.h"

#include <chrono>
#include <QAction>
#include <QCloseEvent>
#include <QFile>

#include <chrono>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "deep/Reference.h"
#include "export/PictureWriters.h"
#include "export/ViewFile.h"
#include "fractals/Catalogue.h"
#include "movie/QueuedSink.h"
#include "movie/VideoSink.h"
#include "movie/ZoomPath.h"
#include "render/DeepMovie.h"
#include "render/ViewMovie.h"
#include "window/DialogNames.h"
#include "window/ErrorReport.h"
#include "window/LocalPath.h"
#include "window/LongJobs.h"
#include "window/RenderPictureDialog.h"
#include "window/ZoomMovieDialog.h"

bool TFormBasicTamoSet::LongJobFree() const { return !Calculating.load() && !(BackgroundJob && BackgroundJob->Running()); }

void TFormBasicTamoSet::OpenJobDialog(QDialog* dialog)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void TFormBasicTamoSet::RefuseWhileCalculating(const char* what) const
{
    if (Calculating.load())
        throw std::runtime_error(std::string(Entry ? Entry->caption : "The window") + " is still calculating; " + what +
                                 " once it has finished.");
}

void TFormBasicTamoSet::StartLongJob(std::unique_ptr<window::LongJob> job)
{
    BackgroundJob = std::move(job);
    connect(BackgroundJob.get(), &window::LongJob::Ended, this, [this] { UpdateLongJobActions(!Calculating.load()); });
    UpdateLongJobActions(!Calculating.load());
}

void TFormBasicTamoSet::UpdateLongJobActions(bool enabled)
{
    if (MMRenderPicture == nullptr)
        return;
    const bool free = enabled && !(BackgroundJob && BackgroundJob->Running());
    MMRenderPicture->setEnabled(free);
    MMZoomMovie->setEnabled(free && ZoomMovieViews().size() >= 2);
}

void TFormBasicTamoSet::closeEvent(QCloseEvent* e)
{
    if (BackgroundJob)
        BackgroundJob->Stop();
    QMainWindow::closeEvent(e);
}

void TFormBasicTamoSet::MMRenderPictureClick()
{
    if (!LongJobFree())
        return;
    OpenJobDialog(new window::RenderPictureDialog(
        this, [this](const SaveDialogSettings& s) { return RunSaveDialog(s); },
        [this](const window::PictureChoice& c) { return errors::Guarded([&] { StartRenderPicture(c); }); }));
}

void TFormBasicTamoSet::StartRenderPicture(const window::PictureChoice& choice)
{
    RefuseWhileCalculating("render the picture");
    if (choice.format == render::FileFormat::Bmp && !exporter::BmpFits(choice.width, choice.height))
        throw std::runtime_error("A " + std::to_string(choice.width) + " × " + std::to_string(choice.height) +
                                 " picture is too large for a Windows bitmap (4 GiB at most); choose PNG.");
    // Everything the render reads is copied here: the window stays free to explore.
    exporter::ViewDocument doc = CurrentViewDocument();
    doc.picture = {choice.width, choice.height, choice.supersample, choice.keepPixelShape};
    if (choice.keepPixelShape)
        doc.SetDrawnRegion(window::KeepPixelShape(doc.region.Values(), choice.width, choice.height));
    // A deep view's reference orbit is made on the job's thread, where a cancel reaches it.
    std::optional<render::DeepPlan> deepPlan;
    auto job = std::make_shared<render::ViewJob>(render::MakeViewJob(doc, deepPlan));
    const std::string viewText = exporter::ViewText(doc);
    // A name typed without an extension gets the format's.
    const QString shownPath =
        window::WithExtension(choice.path, choice.format == render::FileFormat::Png ? QStringLiteral(".png") : QStringLiteral(".bmp"));
    const std::string path = window::LocalPath(shownPath);
    const render::FileFormat format = choice.format;
    const QString headline = QStringLiteral("%1 at %2 × %3%4 into %5")
                                 .arg(QString::fromStdString(doc.viewId))
                                 .arg(choice.width)
                                 .arg(choice.height)
                                 .arg(choice.supersample > 1 ? QStringLiteral(", %1 × %1 samples a pixel").arg(choice.supersample)
                                                             : QString())
                                 .arg(shownPath);
    const int width = choice.width, height = choice.height;
    StartLongJob(std::make_unique<window::LongJob>(
        this, QStringLiteral("Render Picture"), headline,
        [job, deepPlan, viewText, path, format, shownPath, width, height](const std::atomic<bool>& cancel,
                                                                          window::JobProgress& progress) -> std::string {
            const render::Control control = window::BackgroundControl(
                cancel, [&progress](const render::Progress& p) { progress.SetSteps(p.rowsDone, p.rowsTotal); });
            const auto started = std::chrono::steady_clock::now();
            try {
                if (deepPlan)
                    job->job.deep = render::MakeDeepJob(*deepPlan, nullptr, [&cancel] { return cancel.load(); });
                render::RenderFile(job->job, job->colours, format, path, viewText, control);
            } catch (const render::Cancelled&) {
                // The writer was dropped unfinished: no file.
                return {};
            } catch (const deep::Stopped&) {
                return {}; // cancelled before the first row: no file either
            }
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
            return window::SavedText(shownPath, width, height, took.count()).toStdString();
        }));
}

std::vector<engine::Region> TFormBasicTamoSet::ZoomMovieViews() const { return Model.ZoomMovieViews(); }

void TFormBasicTamoSet::MMZoomMovieClick()
{
    const std::size_t views = ZoomMovieViews().size();
    if (!LongJobFree() || views < 2)
        return;
    OpenJobDialog(new window::ZoomMovieDialog(
        this, static_cast<int>(views), [this](const SaveDialogSettings& s) { return RunSaveDialog(s); },
        [this](const window::MovieChoice& c) { return errors::Guarded([&] { StartZoomMovie(c); }); }));
}

void TFormBasicTamoSet::StartZoomMovie(const window::MovieChoice& choice)
{
    RefuseWhileCalculating("make the movie");
    const std::vector<engine::Region> views = ZoomMovieViews();
    if (views.size() < 2)
        throw std::runtime_error("The window's history holds one view only: zoom first, then make the movie.");
    std::vector<engine::RegionValues> regions;
    for (const engine::Region& r : views)
        regions.push_back(r.Values());
    const int frames = choice.Frames();
    const std::pair<std::optional<deep::DeepRegion>, std::optional<deep::DeepRegion>> ends = Model.ZoomMovieDeepEnds();
    const bool deepMovie = ends.first || ends.second;
    const auto plan =
        std::make_shared<const movie::ZoomPlan>(deepMovie ? movie::ZoomPlan{} : movie::PlanZoom(regions, frames));
    // A video named without an extension becomes an .mp4.
    const QString shownPath = choice.frameFolder ? choice.path : window::WithExtension(choice.path, QStringLiteral(".mp4"));
    const std::string path = window::LocalPath(shownPath);
    if (!choice.frameFolder)
        (void)movie::VideoFormatOf(path); // a name that is neither .mp4 nor .webm is refused before anything starts

    // Everything the movie reads is copied here: the window stays free to explore.
    exporter::ViewDocument start = CurrentViewDocument();
    start.region = views.front();
    start.extendedRegion.reset();
    start.picture = {choice.width, choice.height, choice.supersample, false};
    // Through parameter changes of the history too: they move from view to view.
    const render::ParameterPath morph{Model.ZoomMovieParameters(), plan->viewFrames};
    start.parameters = morph.views.front();
    // With a deep view at either end the movie zooms at a constant speed from
    // the first view to the current one, every frame a deep region.
    std::shared_ptr<render::DeepZoom> deepPath;
    start.deepRegion = ends.first;
    if (deepMovie) {
        exporter::ViewDocument end = start;
        end.region = views.back();
        end.deepRegion = ends.second;
        end.parameters = morph.views.back();
        deepPath = std::make_shared<render::DeepZoom>(start, end, frames);
    }
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
                                 .arg(shownPath);
    StartLongJob(std::make_unique<window::LongJob>(
        this, QStringLiteral("Make Zoom Movie"), headline,
        [job, plan, deepPath, start, morph, width, height, rowsPerFrame, folder, fps,
         path](const std::atomic<bool>& cancel, window::JobProgress& progress) {
            const int frameCount = deepPath ? deepPath->Frames() : static_cast<int>(plan->frames.size());
            const std::int64_t total = rowsPerFrame * static_cast<std::int64_t>(frameCount);
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
            const auto onFrame = [&](int done, int count) {
                framesDone = done;
                progress.SetItems(done, count);
                progress.SetSteps(done * rowsPerFrame, total);
            };
            const movie::MovieOutcome outcome =
                deepPath ? movie::MakeFrames(
                               frameCount, 0, frameCount, width, height, queued,
                               [&](int frame, const movie::RowOut& out) {
                                   deepPath->Render(frame, job->colours, control, out);
                               },
                               [&](int frame) { return exporter::ViewText(deepPath->FrameView(frame)); }, cancel,
                               onFrame)
                         : movie::MakeMovie(plan->frames, width, height, queued,
                                            render::ViewFrameRenderer(job->job, job->colours, control, morph),
                                            render::ViewFrameText(start, morph), cancel, onFrame);
            return outcome.cancelled ? outcome.message : std::string();
        }));
}
