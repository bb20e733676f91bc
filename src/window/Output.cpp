// Saving the picture, copying it to the clipboard and the RenderMan file.
#include "window/FormBasicTamoSet.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>

#include "export/Export.h"

QString TFormBasicTamoSet::RunSaveDialog(const SaveDialogSpec& spec)
{
    if (SaveFileHook)
        return SaveFileHook(spec);
    QFileDialog dialog(this);
    dialog.setObjectName(spec.name);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The name is used exactly as chosen and an existing file is replaced
    // without a question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setDefaultSuffix(QString());
    if (!spec.title.isEmpty())
        dialog.setWindowTitle(spec.title);
    if (!spec.filter.isEmpty())
        dialog.setNameFilter(spec.filter);
    if (!spec.initialName.isEmpty())
        dialog.selectFile(spec.initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

void TFormBasicTamoSet::BitBtnSaveClick()
{
    const QString name = RunSaveDialog(SaveDialogSpec{"SaveDialog1", "Save the Fractal Image",
                                                      "Windows Bitmap (*.bmp);;All Files (*.*)", "*.bmp"});
    if (name.isEmpty())
        return;
    exporter::SaveBmp(ShownPicture(), name);
}

void TFormBasicTamoSet::MMCopytoclipboardClick()
{
    QGuiApplication::clipboard()->setImage(ShownPicture());
}

void TFormBasicTamoSet::MMExportBMRTClick()
{
    const QString name = RunSaveDialog(SaveDialogSpec{"SaveBMRT", QString(), QString(), QString()});
    if (name.isEmpty())
        return;
    const std::vector<std::uint8_t> values = IterBuffer.Snapshot();
    exporter::WriteRenderMan(name.toStdString(), values);
}

// The POV-Ray export is built on the shared options dialog.
void TFormBasicTamoSet::MMPovClick() {}
