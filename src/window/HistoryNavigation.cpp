// Back and Forward in a fractal window: recording each calculation and returning to a kept picture.
#include "window/FormBasicTamoSet.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>

#include "window/ErrorReport.h"
#include "window/PictureView.h"

void TFormBasicTamoSet::MMBackClick() { GoToHistory(-1); }

void TFormBasicTamoSet::MMForwardClick() { GoToHistory(1); }

void TFormBasicTamoSet::UpdateHistoryActions(bool enabled)
{
    if (MMBack == nullptr)
        return;
    MMBack->setEnabled(enabled && Model.CanStep(-1));
    MMForward->setEnabled(enabled && Model.CanStep(1));
}

void TFormBasicTamoSet::RecordCalculationStart()
{
    Model.CalculationStarts();
}

void TFormBasicTamoSet::KeepFinishedPicture()
{
    if (!StopRequested.load())
        Model.CalculationDone(IterBuffer.Snapshot());
}

void TFormBasicTamoSet::GoToHistory(int step)
{
    if (Calculating.load() || !Model.CanStep(step))
        return;
    const auto kept = Model.Step(step);
    if (!kept) {
        StartCalculation();
        return;
    }
    for (std::size_t i = 0; i < kept->size(); ++i)
        IterBuffer.Set(i, (*kept)[i]);
    ShowRegionInLabels();
    CancelSelection();
    PB->SetPicture(PaintedPicture());
    EnableControls(true);
}

void TFormBasicTamoSet::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::BackButton || e->button() == Qt::ForwardButton) {
        errors::Guarded([this, b = e->button()] { GoToHistory(b == Qt::BackButton ? -1 : 1); });
        e->accept();
        return;
    }
    QMainWindow::mousePressEvent(e);
}
