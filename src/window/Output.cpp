// Saving the picture, copying it to the clipboard, the POV-Ray height field and the RenderMan file.
#include "window/FormBasicTamoSet.h"

#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QStringList>

#include "export/Scenes.h"
#include "window/DialogNames.h"
#include "window/Services.h"
#include "window/LocalPath.h"
#include "window/ScreenPicture.h"

namespace {

// The dialogs' filters are written as pairs "description|patterns|…"; the
// file dialog wants "description (patterns);;…". An odd last part is a
// description without patterns and is dropped.
QString NameFilter(const QString& pairs)
{
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i] + QStringLiteral(" (") + parts[i + 1] + QLatin1Char(')');
    return filters.join(QStringLiteral(";;"));
}

} // namespace

QString TFormBasicTamoSet::RunSaveDialog(const SaveDialogSettings& settings)
{
    return window::ChooseSaveFile(this, settings);
}

void TFormBasicTamoSet::BitBtnSaveClick()
{
    const QString name = RunSaveDialog(SaveDialogSettings{"SaveDialog1", "Save the Fractal Image",
                                                      NameFilter("Windows Bitmap|*.bmp|All Files|*.*"), "*.bmp"});
    if (name.isEmpty())
        return;
    // The picture at its own size, not as stretched in the view.
    screen::SaveBmp(ShownPicture(), name);
}

void TFormBasicTamoSet::MMCopytoclipboardClick()
{
    QGuiApplication::clipboard()->setImage(ShownPicture());
}

void TFormBasicTamoSet::MMExportBMRTClick()
{
    const QString name = RunSaveDialog(SaveDialogSettings{"SaveBMRT", QString(), QString(), QString()});
    if (name.isEmpty())
        return;
    const std::vector<std::uint8_t> values = IterBuffer.Snapshot();
    exporter::WriteRenderMan(window::LocalPath(name), values);
}

void TFormBasicTamoSet::MMPovClick()
{
    // The options dialog is the application's, shared and modal: one export at a time.
    window::Services* services = window::InstalledServices();
    if (services == nullptr)
        return;
    const std::optional<window::PovOptions> options = services->ChoosePovOptions();
    if (!options)
        return;
    const QString chosen =
        RunSaveDialog(SaveDialogSettings{"SavePOV", QString(), NameFilter("POV-Ray file|*.pov"), QString()});
    if (chosen.isEmpty())
        return;
    const std::string scene = exporter::SceneName(window::LocalPath(chosen));
    const std::string heightImage = exporter::HeightImageName(scene);

    // The command stays enabled while a calculation writes rows; the
    // snapshot's relaxed loads give each byte its old or its new value.
    const std::vector<std::uint8_t> values = IterBuffer.Snapshot();
    // A failure of the height image ends the export before the scene exists.
    exporter::WriteHeightImage(heightImage, values);
    exporter::WritePovScene(scene, options->cameraLocation, options->lightSource, heightImage);
}
