// Opening a view file in the window it belongs to, from a window, the launcher, a drop or the command line.
#include "window/ViewOpening.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <stdexcept>

#include "export/ViewFile.h"
#include "window/DialogNames.h"
#include "fractals/Catalogue.h"
#include "window/ErrorReport.h"
#include "window/FormBasicTamoSet.h"
#include "window/Services.h"
#include "window/LocalPath.h"

namespace window {

namespace {

const QString kViewFilter = QStringLiteral("Quillon views (*.qview *.png);;All files (*)");

} // namespace

void OpenViewWithDialog(QWidget* parent, TFormBasicTamoSet* origin)
{
    const QString name = ChooseOpenFile(parent, SaveDialogSettings{"OpenView", "Open View", kViewFilter, QString()});
    if (name.isEmpty())
        return;
    OpenViewFileInItsWindow(name, origin);
}

TFormBasicTamoSet* OpenViewFileInItsWindow(const QString& name, TFormBasicTamoSet* origin)
{
    // Everything is read and checked before any window changes.
    const exporter::ViewDocument doc = exporter::ReadViewFile(window::LocalPath(name));
    const fractals::View* view = fractals::FindView(doc.viewId);
    if (view == nullptr)
        throw exporter::ViewFileError(name.toStdString() + ": unknown view " + doc.viewId);
    TFormBasicTamoSet* target = nullptr;
    if (origin != nullptr && origin->Entry == view->window)
        target = origin;
    if (window::Services* services = window::InstalledServices())
        if (auto* shown = qobject_cast<TFormBasicTamoSet*>(services->ShowViewWindow(view->window->instance)))
            target = shown;
    if (target == nullptr)
        throw std::runtime_error("No window shows the view " + doc.viewId + ".");
    target->InterruptCalculation();
    target->ApplyViewDocument(doc);
    return target;
}

bool IsViewFileName(const QString& name)
{
    const QString suffix = QFileInfo(name).suffix();
    return suffix.compare(QLatin1String("qview"), Qt::CaseInsensitive) == 0 ||
           suffix.compare(QLatin1String("png"), Qt::CaseInsensitive) == 0;
}

void OpenViewFilesSoon(const QStringList& names, TFormBasicTamoSet* origin)
{
    if (names.isEmpty())
        return;
    // Not inside the caller's event (a drop, start-up): an interrupted
    // calculation is waited for with events flowing.
    QTimer::singleShot(0, QCoreApplication::instance(), [names, from = QPointer<TFormBasicTamoSet>(origin)] {
        for (const QString& name : names)
            errors::Guarded([&] { OpenViewFileInItsWindow(name, from.data()); });
    });
}

bool OpenDroppedViews(const QMimeData& data, TFormBasicTamoSet* origin)
{
    QStringList names;
    for (const QUrl& url : data.urls())
        if (url.isLocalFile() && IsViewFileName(url.toLocalFile()))
            names << url.toLocalFile();
    OpenViewFilesSoon(names, origin);
    return !names.isEmpty();
}

} // namespace window
