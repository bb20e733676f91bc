// File names from the save dialogs: the chosen type's extension added to a bare name, and the folder the dialogs start in.
#pragma once

#include <QString>

class QWidget;
struct SaveDialogSettings;

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

// The file dialogs of every window, through the installed dialogs (the
// toolkit's or a test's): they start in DialogFolder(), remember the folder
// chosen, and a save dialog with addExtension set gives a bare name its
// type's extension (the first of its filter when the dialog cannot say).
QString ChooseSaveFile(QWidget* parent, const SaveDialogSettings& settings);
QString ChooseOpenFile(QWidget* parent, const SaveDialogSettings& settings);

} // namespace window
