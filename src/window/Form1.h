// TForm1, the level-set Mandelbrot window.
#pragma once

#include "window/FormBasicTamoSet.h"

class TForm1 : public TFormBasicTamoSet {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
};
