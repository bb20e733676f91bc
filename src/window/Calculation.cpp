// Starting a calculation, painting its rows once a second and ending it.
#include "window/FormBasicTamoSet.h"
#include "window/PositionParse.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QTimer>

#include "window/CalcOnForm.h"
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
    job.set = PointSet->Clone();
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
