// Starting a calculation, painting its rows once a second and ending it.
#include "window/FormBasicTamoSet.h"
#include "window/PositionParse.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QTimer>

#include "window/CalcOnForm.h"
#include "window/PictureView.h"
#include "window/RegionFormat.h"

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
    const engine::RegionValues r = ViewRegion.Values();
    LabX1->setText(RegionText(r.XStart));
    LabX2->setText(RegionText(r.XStart + r.XWidth));
    LabY1->setText(RegionText(r.YStart));
    LabY2->setText(RegionText(r.YStart + r.YHeight));
    CancelSelection();
    EnableControls(false);
    // On a direct-colour image the indexed colour table of the bitmap has no
    // counterpart and no visible effect.
    WorkBitmap = QImage(engine::kBufferWidth, engine::kBufferHeight, QImage::Format_RGB32);
    PaintAllRows();
    if (!Timer1->isActive())
        Timer1->start();
    Calculating.store(true);
    ComputedRow.store(-1, std::memory_order_relaxed);
    PaintedRow = -1;
    CreateCalcThread();
}

void TFormBasicTamoSet::CreateCalcThread()
{
    // The previous run has published its last row: at most its clean-up is left.
    WaitForWorker();
    Worker = std::make_unique<TCalcOnForm>(this, PointSet.get(), ValueFunction);
    Worker->start();
}

bool TFormBasicTamoSet::PublishRow(int row)
{
    ComputedRow.store(row, std::memory_order_release);
    if (StopRequested.load(std::memory_order_acquire)) {
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
    const std::array<std::uint32_t, 256> table = ColourTable();
    while (PaintedRow < ComputedRow.load(std::memory_order_acquire)) {
        ++PaintedRow;
        PaintRowWith(WorkBitmap, PaintedRow, table);
        if (PaintedRow == engine::kBufferHeight - 1) {
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

std::array<std::uint32_t, 256> TFormBasicTamoSet::ColourTable() const
{
    return colour::ColourTableRgb32(Palette, CurrentAdjust());
}

// Runs of equal values are filled in one go; a run's colour is that of its
// first cell, which is the colour of every cell of the run.
void TFormBasicTamoSet::PaintRowWith(QImage& image, int row, const std::array<std::uint32_t, 256>& table) const
{
    std::uint8_t values[engine::kBufferWidth];
    IterBuffer.LoadRow(row, values);
    auto* line = reinterpret_cast<std::uint32_t*>(image.scanLine(row));
    int j = 0;
    while (j < engine::kBufferWidth) {
        int k = 0;
        while (j + k + 1 < engine::kBufferWidth && values[j + k + 1] == values[j])
            ++k;
        const std::uint32_t c = 0xFF000000u | table[values[j]];
        for (int x = j; x <= j + k; ++x)
            line[x] = c;
        j += k + 1;
    }
}

void TFormBasicTamoSet::PaintRow(int row)
{
    PaintRowWith(WorkBitmap, row, ColourTable());
}

void TFormBasicTamoSet::PaintAllRows()
{
    const std::array<std::uint32_t, 256> table = ColourTable();
    for (int r = 0; r < engine::kBufferHeight; ++r)
        PaintRowWith(WorkBitmap, r, table);
}
