// Move and zoom commands, the rubber-band selection and the Position box commands.
#include "window/FormBasicTamoSet.h"

#include <QFrame>
#include <QToolButton>

void TFormBasicTamoSet::BitBtnZINClick() {}
void TFormBasicTamoSet::BitBtnZOUTClick() {}
void TFormBasicTamoSet::BitBtnUpClick() {}
void TFormBasicTamoSet::BitBtnDownClick() {}
void TFormBasicTamoSet::BitBtnLeftClick() {}
void TFormBasicTamoSet::BitBtnRightClick() {}
void TFormBasicTamoSet::PBMouseDown(Qt::MouseButton, int, int) {}
void TFormBasicTamoSet::PBMouseMove(int, int) {}
void TFormBasicTamoSet::SBZoomClick() {}
void TFormBasicTamoSet::SBCancelClick() {}
void TFormBasicTamoSet::BBEditClick() {}
void TFormBasicTamoSet::BBCancelClick() {}
void TFormBasicTamoSet::BBSubmitClick() {}

void TFormBasicTamoSet::CancelSelection()
{
    for (QFrame* b : {Bevel0, Bevel1, Bevel2, Bevel3})
        b->hide();
    Selecting = false;
    SelectionDone = false;
    SBZoom->hide();
    SBCancel->hide();
}
