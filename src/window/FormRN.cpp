// The random-set windows: opening kernel, region and the six types come from the catalogue.
#include "window/FormRN.h"

TFormRN1::TFormRN1(QWidget* parent) : TFormExtendedBasic(parent)
{
    FormCreate("FormRN1");
}

TFormRN2::TFormRN2(QWidget* parent) : TFormExtendedBasic(parent)
{
    FormCreate("FormRN2");
}

TFormRN3::TFormRN3(QWidget* parent) : TFormExtendedBasic(parent)
{
    FormCreate("FormRN3");
}

TFormRN4::TFormRN4(QWidget* parent) : TFormExtendedBasic(parent)
{
    FormCreate("FormRN4");
}

TFormRN5::TFormRN5(QWidget* parent) : TFormExtendedBasic(parent)
{
    FormCreate("FormRN5");
}

TFormRN6::TFormRN6(QWidget* parent) : TFormExtendedBasic(parent)
{
    FormCreate("FormRN6");
}
