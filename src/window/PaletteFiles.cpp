// Palette files in the window: Load/Save Palette, the Vga page's file name and its way back to the built-in table.
#include "window/FormBasicTamoSet.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>

#include <string>
#include <utility>

#include "export/Scenes.h"
#include "window/DialogNames.h"
#include "window/ErrorReport.h"
#include "window/LocalPath.h"


void TFormBasicTamoSet::BuildPaletteControls()
{
    // Where "Default" stands while the built-in table is in use.
    LabPaletteName = new QLabel(TSVga);
    LabPaletteName->setObjectName("LabPaletteName");
    LabPaletteName->setGeometry(4, 4, 92, 16);
    LabPaletteName->hide();
    ButBuiltInVga = new QPushButton("Built-in VGA", TSVga);
    ButBuiltInVga->setObjectName("ButBuiltInVga");
    ButBuiltInVga->setGeometry(4, 24, 92, 22);
    ButBuiltInVga->hide();
    connect(ButBuiltInVga, &QPushButton::clicked, this, errors::GuardedSlot([this] { ButBuiltInVgaClick(); }));
}

QString TFormBasicTamoSet::RunOpenDialog(const SaveDialogSettings& settings)
{
    return window::ChooseOpenFile(this, settings);
}

void TFormBasicTamoSet::MMLoadPaletteClick()
{
    const QString name = RunOpenDialog(SaveDialogSettings{
        "OpenPalette", "Load Palette", "Palette files (*.map *.gpl *.ggr);;All Files (*)", QString()});
    if (name.isEmpty())
        return;
    LoadPaletteFile(name);
}

void TFormBasicTamoSet::LoadPaletteFile(const QString& path)
{
    // Read completely before anything changes, so a refused file leaves the colours as they were.
    colour::PaletteFile file = colour::ReadPaletteFile(window::LocalPath(path));
    SetLoadedPalette(std::move(file));
}

std::optional<colour::PaletteFile> TFormBasicTamoSet::LoadedPaletteFile() const
{
    if (const auto& loaded = Model.LoadedPalette())
        return colour::PaletteFile{loaded->table, loaded->name};
    return std::nullopt;
}

void TFormBasicTamoSet::SetLoadedPalette(std::optional<colour::PaletteFile> palette)
{
    std::optional<exporter::LoadedPalette> loaded;
    if (palette)
        loaded = exporter::LoadedPalette{std::move(palette->name), palette->table};
    // The file's colours are shown at once: the model shows the Vga page, where they live.
    Model.SetLoadedPalette(std::move(loaded));
    ShowColours(); // no handler runs: one recolouring, below
    PagCPalChange();
}

void TFormBasicTamoSet::ButBuiltInVgaClick()
{
    SetLoadedPalette(std::nullopt);
}

void TFormBasicTamoSet::MMSavePaletteClick()
{
    const colour::PalettePage page = CurrentPalettePage();
    const auto& loaded = Model.LoadedPalette();
    const std::string title = page == colour::PalettePage::Vga && loaded ? loaded->name : colour::PalettePageName(page);
    // The palette's own name, as a file name: what would leave the folder or
    // hide the file goes.
    QString suggested = QString::fromStdString(title).simplified();
    suggested.replace(QLatin1Char('/'), QLatin1Char('-'));
    while (suggested.startsWith(QLatin1Char('.')))
        suggested.remove(0, 1);
    if (suggested.isEmpty())
        suggested = QStringLiteral("palette");
    const QString name = RunSaveDialog(SaveDialogSettings{"SavePalette", "Save Palette",
                                                          "Palette (*.map);;GIMP Palette (*.gpl)",
                                                          suggested + QStringLiteral(".map"), true});
    if (name.isEmpty())
        return;
    exporter::SavePaletteFile(window::LocalPath(name), Palette, title);
}
