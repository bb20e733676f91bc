// The level-set Mandelbrot window, built from its catalogue entry.
#include "window/Form1.h"

TForm1::TForm1(QWidget* parent) : TFormBasicTamoSet(parent)
{
    FormCreate("Form1");
}
