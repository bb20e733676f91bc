// The file dialogs of every window: the installed dialogs with the run's folder and the chosen type's extension.
#pragma once

#include <QString>

#include "window/FileNames.h"

class QWidget;
struct SaveDialogSettings;

namespace window {

// The file dialogs of every window, through the installed dialogs (the
// toolkit's or a test's): they start in DialogFolder(), remember the folder
// chosen, and a save dialog with addExtension set gives a bare name its
// type's extension (the first of its filter when the dialog cannot say).
QString ChooseSaveFile(QWidget* parent, const SaveDialogSettings& settings);
QString ChooseOpenFile(QWidget* parent, const SaveDialogSettings& settings);

} // namespace window
