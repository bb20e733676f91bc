// The Julia explorer's window: built like the twelve Julia windows, from its catalogue entry.
#include "window/FormJulia.h"

TFormJulia::TFormJulia(QWidget* parent) : TFormBasicTamoSet(parent)
{
    FormCreate("FormJulia");
}
