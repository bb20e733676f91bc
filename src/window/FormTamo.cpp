// The Tamo windows: each takes its formula, region and colours from the catalogue.
#include "window/FormTamo.h"

TFormTamo1::TFormTamo1(QWidget* parent) : TFormBasicTamoSet(parent)
{
    FormCreate("FormTamo1");
}

TFormTamo2::TFormTamo2(QWidget* parent) : TFormBasicTamoSet(parent)
{
    FormCreate("FormTamo2");
}

TFormTamo3::TFormTamo3(QWidget* parent) : TFormBasicTamoSet(parent)
{
    FormCreate("FormTamo3");
}

TFormTamo4::TFormTamo4(QWidget* parent) : TFormBasicTamoSet(parent)
{
    FormCreate("FormTamo4");
}

TFormTamo5::TFormTamo5(QWidget* parent) : TFormBasicTamoSet(parent)
{
    FormCreate("FormTamo5");
}
