// The level-set Mandelbrot window, built from its catalogue entry.
#include "window/Form1.h"

#include "window/JuliaExplorer.h"

TForm1::TForm1(QWidget* parent) : TFormBasicTamoSet(parent)
{
    FormCreate("Form1");
    new window::JuliaExplorer(*this); // owned by the window
}
