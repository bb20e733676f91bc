// The Julia explorer's window "Julia Set": a Julia window whose constant is chosen, not fixed.
#pragma once

#include "window/FormBasicTamoSet.h"

class TFormJulia : public TFormBasicTamoSet {
    Q_OBJECT
public:
    explicit TFormJulia(QWidget* parent = nullptr);
};
