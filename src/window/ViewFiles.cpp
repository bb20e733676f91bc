// Open View, Save View, Save Picture with View: the window's view as a document, a document applied to its window.
#include "window/FormBasicTamoSet.h"

#include <QAction>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <stdexcept>

#include "export/PictureWriters.h"
#include "export/ViewFile.h"
#include "fractals/Catalogue.h"
#include "window/ErrorReport.h"
#include "window/Services.h"
#include "window/ViewOpening.h"
#include "window/LocalPath.h"

namespace {

} // namespace

const fractals::View* TFormBasicTamoSet::CurrentCatalogueView() const { return Model.CatalogueView(); }

exporter::ViewDocument TFormBasicTamoSet::CurrentViewDocument() const
{
    return Model.Document();
}

void TFormBasicTamoSet::ApplyViewDocument(const exporter::ViewDocument& doc)
{
    const fractals::View* view = fractals::FindView(doc.viewId);
    if (view == nullptr || view->window != Entry)
        throw std::logic_error("the view " + doc.viewId + " belongs to another window");
    if (Calculating.load())
        throw std::runtime_error(std::string(Entry->caption) + " is still calculating; open the view once it has finished.");
    const bool hadPaletteFile = Model.LoadedPalette().has_value();
    Model.OpenDocument(doc); // the colours too
    ShowColours();
    // A palette file set or taken away recolours at once, as Load Palette and Built-in VGA do.
    if (doc.loadedPalette || hadPaletteFile)
        PagCPalChange();
    Palette = doc.Palette();
    StartCalculation();
}

void TFormBasicTamoSet::MMSaveViewClick()
{
    const exporter::ViewDocument doc = CurrentViewDocument();
    const QString name =
        RunSaveDialog(SaveDialogSettings{"SaveView", "Save View", "Quillon views (*.qview)", QString(), true});
    if (name.isEmpty())
        return;
    exporter::WriteViewFile(window::LocalPath(name), doc);
}

void TFormBasicTamoSet::MMSavePictureViewClick()
{
    const exporter::ViewDocument doc = CurrentViewDocument();
    const QString name = RunSaveDialog(
        SaveDialogSettings{"SavePictureView", "Save Picture with View", "PNG pictures (*.png)", QString(), true});
    if (name.isEmpty())
        return;
    // The pixels Save writes to a bitmap, three bytes each.
    const QImage picture = ShownPicture().convertToFormat(QImage::Format_RGB888);
    const std::unique_ptr<exporter::PictureWriter> writer = exporter::OpenPngWriter(
        window::LocalPath(name), picture.width(), picture.height(), {{exporter::kPngViewKeyword, exporter::ViewText(doc)}});
    for (int row = 0; row < picture.height(); ++row)
        writer->WriteRow(picture.constScanLine(row));
    writer->Finish();
}

void TFormBasicTamoSet::EnableViewFileActions(bool enabled)
{
    // Opening a view elsewhere ends that window's calculation; this one's own
    // item waits, as the other commands of a calculating window do.
    for (QAction* a : {MMOpenView, MMSavePictureView})
        if (a != nullptr)
            a->setEnabled(enabled);
}

void TFormBasicTamoSet::MMOpenViewClick()
{
    window::OpenViewWithDialog(this, this);
}

void TFormBasicTamoSet::OpenViewFile(const QString& name)
{
    window::OpenViewFileInItsWindow(name, this);
}

void TFormBasicTamoSet::InterruptCalculation()
{
    if (!Calculating.load())
        return;
    InterruptRequested.store(true);
    WaitForWorker();
    InterruptRequested.store(false);
    // The worker may have published its last row before it saw the request;
    // that picture is replaced all the same, and kept in no history.
    FinishCalculation();
}

// ---- drops: a palette file dropped on the window loads it, a view file opens its view ----
void TFormBasicTamoSet::dragEnterEvent(QDragEnterEvent* e)
{
    for (const QUrl& url : e->mimeData()->urls())
        if (url.isLocalFile() && (colour::PaletteFormatOfName(url.toLocalFile().toStdString()) ||
                                  window::IsViewFileName(url.toLocalFile()))) {
            e->acceptProposedAction();
            return;
        }
    QMainWindow::dragEnterEvent(e);
}

void TFormBasicTamoSet::dropEvent(QDropEvent* e)
{
    for (const QUrl& url : e->mimeData()->urls()) {
        const QString path = url.toLocalFile();
        if (url.isLocalFile() && colour::PaletteFormatOfName(path.toStdString())) {
            e->acceptProposedAction();
            // Refused while a calculation runs, as the menu item is.
            if (MMLoadPalette->isEnabled())
                errors::Guarded([this, path] { LoadPaletteFile(path); });
            return;
        }
    }
    // View files: each opens in its own window, whatever this one is doing.
    if (window::OpenDroppedViews(*e->mimeData(), this)) {
        e->acceptProposedAction();
        return;
    }
    QMainWindow::dropEvent(e);
}
