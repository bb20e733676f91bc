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
#include <QSignalBlocker>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>

#include <stdexcept>

#include "export/PictureWriters.h"
#include "export/ViewFile.h"
#include "fractals/Catalogue.h"
#include "window/ColourPanel.h"
#include "window/ErrorReport.h"
#include "window/Services.h"
#include "window/ViewOpening.h"
#include "window/LocalPath.h"

namespace {

} // namespace

const fractals::View* TFormBasicTamoSet::CurrentCatalogueView() const { return Model.CatalogueView(); }

exporter::ViewDocument TFormBasicTamoSet::CurrentViewDocument() const
{
    // The colours live in the controls that show them.
    exporter::ViewDocument doc = Model.Document();
    doc.page = CurrentPalettePage();
    doc.panels = CurrentPanelColours();
    doc.adjust = CurrentAdjust();
    if (LoadedPalette)
        doc.loadedPalette = exporter::LoadedPalette{LoadedPalette->name, LoadedPalette->table};
    return doc;
}

void TFormBasicTamoSet::ApplyViewDocument(const exporter::ViewDocument& doc)
{
    const fractals::View* view = fractals::FindView(doc.viewId);
    if (view == nullptr || view->window != Entry)
        throw std::logic_error("the view " + doc.viewId + " belongs to another window");
    if (Calculating.load())
        throw std::runtime_error(std::string(Entry->caption) + " is still calculating; open the view once it has finished.");
    Model.OpenDocument(doc);
    // Before the page: a loaded palette lives on the Vga page, but the view may show another.
    if (doc.loadedPalette)
        SetLoadedPalette(colour::PaletteFile{doc.loadedPalette->table, doc.loadedPalette->name});
    else if (LoadedPalette)
        SetLoadedPalette(std::nullopt);
    {
        QWidget* pages[] = {TSVga, TS2, TS3, TS4, TS15};
        const QSignalBlocker block(PagCPal);
        PagCPal->setCurrentWidget(pages[static_cast<int>(doc.page)]);
    }
    Panel21->SetColour(doc.panels.two[0]);
    Panel22->SetColour(doc.panels.two[1]);
    Panel31->SetColour(doc.panels.three[0]);
    Panel32->SetColour(doc.panels.three[1]);
    Panel33->SetColour(doc.panels.three[2]);
    Panel41->SetColour(doc.panels.four[0]);
    Panel42->SetColour(doc.panels.four[1]);
    Panel43->SetColour(doc.panels.four[2]);
    Panel44->SetColour(doc.panels.four[3]);
    for (int k = 0; k < 15; ++k)
        PanelX[k]->SetColour(doc.panels.fifteen[k]);
    const std::pair<QSlider*, int> bars[] = {
        {TB1, doc.adjust.rotation}, {TBR, doc.adjust.red}, {TBG, doc.adjust.green}, {TBB, doc.adjust.blue}};
    for (const auto& [bar, value] : bars) {
        const QSignalBlocker block(bar);
        bar->setValue(value);
    }
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
