// A fractal window's parameters: the Options menu's "Parameters…" command, its box, and the caption that
// names parameters that are not the window's own.
#pragma once

#include "fractals/Catalogue.h"

class TFormBasicTamoSet;

namespace window {

// Adds "Parameters…" at the end of the window's Options menu; it shows the
// Parameters box, whose Apply draws the window's view with the parameters
// typed (one new view of Back/Forward). Windows whose formula has no
// parameter (the random-set windows) keep it disabled.
void AddParametersCommand(TFormBasicTamoSet& w);
// Apply waits while the window calculates, as its other commands do.
void EnableParametersCommand(TFormBasicTamoSet& w, bool enabled);
// The window's view with other parameters, calculated as a new view. Throws
// std::runtime_error while the window calculates.
void ApplyWindowParameters(TFormBasicTamoSet& w, const fractals::Parameters& p);
// The caption: the window's own, and the parameters that are not its own.
void ShowParametersInCaption(TFormBasicTamoSet& w, const fractals::Parameters& p);

} // namespace window
