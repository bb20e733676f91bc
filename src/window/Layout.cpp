// The View and Options menu commands that show, hide and dock the boxes.
#include "window/FormBasicTamoSet.h"

void TFormBasicTamoSet::MMMinimalClick() {}
void TFormBasicTamoSet::MMControlClick() {}
void TFormBasicTamoSet::MMPositionClick() {}
void TFormBasicTamoSet::MMFullClick() {}
void TFormBasicTamoSet::MMRightControlClick() {}
void TFormBasicTamoSet::MMLeftPositionClick() {}
