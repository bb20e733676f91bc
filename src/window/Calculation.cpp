// Starting a calculation, painting its rows once a second and ending it.
#include "window/FormBasicTamoSet.h"
#include "window/PositionParse.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>

#include "fractals/Catalogue.h"
#include "render/Render.h"
#include "view/DeepNavigation.h"
#include "window/CalcOnForm.h"
#include "window/DeepWindowState.h"
#include "window/ErrorReport.h"
#include "window/PictureView.h"
#include "window/RegionFormat.h"
#include "window/ScreenPicture.h"

namespace {

// The locale's decimal separator, the one the Position box parses with.
QString RegionText(engine::Extended v)
{
    return QString::fromStdString(window::FormatRegionNumber(v, window::SystemDecimalSeparator()));
}

// A deep decimal with the locale's separator, as the Position box shows numbers.
QString DeepText(std::string text)
{
    const std::string separator = window::SystemDecimalSeparator();
    if (const std::size_t point = text.find('.'); point != std::string::npos)
        text.replace(point, 1, separator);
    return QString::fromStdString(text);
}

// After a deep picture: many pixels at the limit mean the limit, not the
// place, makes the picture flat; the window says so in its status line.
void SayWhenManyReachTheLimit(TFormBasicTamoSet& w)
{
    const fractals::View* view = w.CurrentCatalogueView();
    if (!w.Model.Deep() || view == nullptr) {
        if (QStatusBar* bar = w.findChild<QStatusBar*>())
            bar->clearMessage();
        return;
    }
    const int limit = render::DeepFormula(*view, w.CurrentViewDocument().parameters).limit;
    const std::optional<double> share = view::LimitShare(w.IterBuffer.Snapshot(), limit);
    if (share && *share >= view::kManyAtLimit)
        w.statusBar()->showMessage(QStringLiteral("%1 % of the pixels reach the iteration limit of %2: a higher limit "
                                                  "(Parameters…) shows more of this place.")
                                       .arg(static_cast<int>(*share * 100.0 + 0.5))
                                       .arg(limit));
    else if (QStatusBar* bar = w.findChild<QStatusBar*>())
        bar->clearMessage();
}

} // namespace

void TFormBasicTamoSet::FormActivate()
{
    if (StartPending)
        StartCalculation();
}

void TFormBasicTamoSet::StartCalculation()
{
    StartPending = false;
    RecordCalculationStart();
    ShowRegionInLabels();
    CancelSelection();
    EnableControls(false);
    // A direct-colour image: the indexed colour table of the bitmap has no
    // counterpart and no visible effect.
    PaintAllRows(); // creates WorkBitmap
    if (!Timer1->isActive())
        Timer1->start();
    // The previous run has published its last row (or stopped): at most its
    // clean-up is left, and it never touches the flags again.
    WaitForWorker();
    Calculating.store(true);
    ComputedRow.store(-1, std::memory_order_relaxed);
    PaintedRow = -1;
    CreateCalcThread();
}

void TFormBasicTamoSet::ShowRegionInLabels()
{
    const window::PositionLabels box{{LabX1, LabX2, LabY1, LabY2}, LabEX, LabEY};
    if (const auto& deep = Model.Deep()) {
        const deep::DeepRegion shown = view::ExtentsOf(*deep);
        window::ShowPosition(box, std::array<QString, 4>{DeepText(shown.centerX), DeepText(shown.width),
                                                         DeepText(shown.centerY), DeepText(shown.height)});
        return;
    }
    window::ShowPosition(box, std::nullopt);
    const engine::RegionValues r = ViewRegion.Values();
    LabX1->setText(RegionText(r.XStart));
    LabX2->setText(RegionText(r.XStart + r.XWidth));
    LabY1->setText(RegionText(r.YStart));
    LabY2->setText(RegionText(r.YStart + r.YHeight));
}

void TFormBasicTamoSet::CreateCalcThread()
{
    TCalcOnForm::Job job;
    job.region = ViewRegion.Values();
    if (Model.Deep()) {
        // Only the mapping is made here; the worker computes the reference
        // orbit, which may take long at great depths, and stops it on request.
        render::ViewJob deep;
        try {
            deep = render::MakeViewJob(CurrentViewDocument(), job.deepPlan);
        } catch (...) {
            FinishCalculation();
            throw;
        }
        if (!job.deepPlan)
            job.region = deep.job.region; // still within the extended engine's reach
        job.reuse = window::DeepWindowState::Of(*this).reference;
        job.stopped = [this] { return StopRequested.load() || InterruptRequested.load(); };
    }
    job.set = PointSet->Clone();
    // The window's parameters; a bare base window draws its set as it is.
    if (Entry != nullptr)
        fractals::ApplyParameters(*job.set, Model.Parameters());
    job.valueFunction = ValueFunction;
    job.buffer = &IterBuffer;
    job.publish = [this](int row) { return PublishRow(row); };
    Worker = std::make_unique<TCalcOnForm>(std::move(job));
    connect(Worker.get(), &TCalcOnForm::Failed, this, [this](const QString& message) {
        FinishCalculation();
        errors::Report(message);
    }, Qt::QueuedConnection);
    Worker->start();
}

bool TFormBasicTamoSet::PublishRow(int row)
{
    ComputedRow.store(row, std::memory_order_release);
    if (StopRequested.load(std::memory_order_acquire) || InterruptRequested.load(std::memory_order_acquire)) {
        Calculating.store(false, std::memory_order_release);
        return false;
    }
    return true;
}

void TFormBasicTamoSet::WaitForWorker()
{
    if (!Worker)
        return;
    // A rendezvous or the run's last message wakes this.
    while (!Worker->RunEnded())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (auto reference = Worker->DeepReference())
        window::DeepWindowState::Of(*this).reference = std::move(reference);
    Worker.reset();
}

void TFormBasicTamoSet::Timer1Timer()
{
    if (!Calculating.load())
        return;
    const screen::PixelTable table = ColourTable();
    while (PaintedRow < ComputedRow.load(std::memory_order_acquire)) {
        ++PaintedRow;
        PaintRowWith(WorkBitmap, PaintedRow, table);
        if (PaintedRow == engine::kBufferHeight - 1) {
            KeepFinishedPicture();
            FinishCalculation();
            SayWhenManyReachTheLimit(*this);
            PB->SetPicture(WorkBitmap.copy());
            WorkBitmap = QImage();
        }
    }
    if (PaintedRow > 0)
        ProgBar->setValue(PaintedRow);
    if (PaintedRow != engine::kBufferHeight - 1)
        PB->SetPicture(WorkBitmap.copy());
}

void TFormBasicTamoSet::FinishCalculation()
{
    Calculating.store(false);
    EnableControls(true);
}

screen::PixelTable TFormBasicTamoSet::ColourTable() const
{
    return screen::PictureColours(Palette, CurrentAdjust());
}

void TFormBasicTamoSet::PaintRowWith(QImage& image, int row, const screen::PixelTable& pixels) const
{
    std::uint8_t values[engine::kBufferWidth];
    IterBuffer.LoadRow(row, values);
    screen::PaintPictureRow(image, row, values, pixels);
}

void TFormBasicTamoSet::PaintRow(int row)
{
    PaintRowWith(WorkBitmap, row, ColourTable());
}

QImage TFormBasicTamoSet::PaintedPicture() const
{
    return screen::RenderPicture(IterBuffer, Palette, CurrentAdjust());
}

void TFormBasicTamoSet::PaintAllRows()
{
    WorkBitmap = PaintedPicture();
}
