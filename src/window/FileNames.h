// File names of the dialogs: the chosen type's extension added to a bare name, the folder the dialogs start in, the saved report.
#pragma once

#include <QString>

namespace window {

// `name` with `extension` (".qview") added when its file name has no
// extension at all ("julia1" becomes "julia1.qview"); a name with one, any
// one, is kept as the user chose it, and so is an empty name (a cancel).
QString WithExtension(const QString& name, const QString& extension);

// The extension a name filter stands for: its first pattern "*.ext"
// ("GIMP palette (*.gpl)" gives ".gpl", "Videos (*.mp4 *.webm)" ".mp4");
// empty for a filter without one ("All files (*)").
QString FilterExtension(const QString& filter);

// The folder every file dialog starts in: the folder of the file last
// chosen in any of them during this run; empty before the first.
QString DialogFolder();
void RememberDialogFolder(const QString& chosenFile);

// The name a dialog offers first: `suggested` placed in DialogFolder() when
// it has no folder of its own.
QString InDialogFolder(const QString& suggested);

// What a finished picture says: "Saved FILE (W × H, N s)", the seconds
// with one decimal below ten, whole above.
QString SavedText(const QString& file, int width, int height, double seconds);

} // namespace window
