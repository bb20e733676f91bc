// The Julia windows: each takes its constant, region and colours from the catalogue.
#include "window/FormJU.h"

TFormJU1::TFormJU1(QWidget* parent) : TFormBasicTamoSet(parent)
{
    FormCreate("FormJU1");
}

TFormJU2::TFormJU2(QWidget* parent) : TFormBasicTamoSet(parent)
{
    FormCreate("FormJU2");
}

TFormJU3::TFormJU3(QWidget* parent) : TFormBasicTamoSet(parent)
{
    FormCreate("FormJU3");
}

TFormJU4::TFormJU4(QWidget* parent) : TFormBasicTamoSet(parent)
{
    FormCreate("FormJU4");
}

TFormJU5::TFormJU5(QWidget* parent) : TFormBasicTamoSet(parent)
{
    FormCreate("FormJU5");
}

TFormJU6::TFormJU6(QWidget* parent) : TFormBasicTamoSet(parent)
{
    FormCreate("FormJU6");
}

TFormJU7::TFormJU7(QWidget* parent) : TFormBasicTamoSet(parent)
{
    FormCreate("FormJU7");
}

TFormJU8::TFormJU8(QWidget* parent) : TFormBasicTamoSet(parent)
{
    FormCreate("FormJU8");
}

TFormJU9::TFormJU9(QWidget* parent) : TFormBasicTamoSet(parent)
{
    FormCreate("FormJU9");
}

TFormJU10::TFormJU10(QWidget* parent) : TFormBasicTamoSet(parent)
{
    FormCreate("FormJU10");
}

TFormJU11::TFormJU11(QWidget* parent) : TFormBasicTamoSet(parent)
{
    FormCreate("FormJU11");
}

TFormJU12::TFormJU12(QWidget* parent) : TFormBasicTamoSet(parent)
{
    FormCreate("FormJU12");
}
