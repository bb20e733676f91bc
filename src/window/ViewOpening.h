// Opening a view file in the window it belongs to, from a window, the launcher, a drop or the command line.
#pragma once

#include <QString>
#include <QStringList>

class QMimeData;
class QWidget;
class TFormBasicTamoSet;

namespace window {

// Reads the file and opens its view in its window, shown and raised through
// the services, or `origin` when nothing is installed and it is that window.
// A bad file throws before any window changes. Returns the window.
TFormBasicTamoSet* OpenViewFileInItsWindow(const QString& name, TFormBasicTamoSet* origin = nullptr);
// The open dialog of Open View, parented to `parent`; then the file opened as above.
void OpenViewWithDialog(QWidget* parent, TFormBasicTamoSet* origin = nullptr);
// A name a view may be read from: .qview, or .png (a picture Quillon wrote).
bool IsViewFileName(const QString& name);
// Opens each file's view once the events at hand are handled (after a drop,
// after start-up); a bad file is reported and the others still open.
void OpenViewFilesSoon(const QStringList& names, TFormBasicTamoSet* origin = nullptr);
// The local view files of a drop opened soon as above; false when it holds none.
bool OpenDroppedViews(const QMimeData& data, TFormBasicTamoSet* origin = nullptr);

} // namespace window
