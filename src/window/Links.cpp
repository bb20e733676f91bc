// The Help, Web and Books menu commands.
#include "window/FormBasicTamoSet.h"

void TFormBasicTamoSet::MMOverClick() {}
void TFormBasicTamoSet::MMGettingStartedClick() {}
void TFormBasicTamoSet::MMTheViewBoxClick() {}
void TFormBasicTamoSet::MMTheControlBoxClick() {}
void TFormBasicTamoSet::MMThePositionBoxClick() {}
void TFormBasicTamoSet::About1Click() {}
void TFormBasicTamoSet::MMHPClick() {}
void TFormBasicTamoSet::MMPovLinkClick() {}
void TFormBasicTamoSet::MMMandelClick() {}
void TFormBasicTamoSet::MM3DClick() {}
void TFormBasicTamoSet::MMFractalsBookClick() {}
void TFormBasicTamoSet::MMPlanetsBookClick() {}
