// The services the shell installs for the windows, and the modal dialogs they run.
#include "window/Services.h"

#include "window/FileNames.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace window {

namespace {

// Set and read on the interface thread only.
Services* installed = nullptr;
Dialogs toolkitDialogs;
Dialogs* installedDialogs = nullptr;

} // namespace

Services* InstalledServices() { return installed; }

void InstallServices(Services* services) { installed = services; }

Dialogs& InstalledDialogs() { return installedDialogs != nullptr ? *installedDialogs : toolkitDialogs; }

void InstallDialogs(Dialogs* dialogs) { installedDialogs = dialogs; }

namespace {

// Title, filter and (for a save) the name offered, then the dialog run: the chosen name or "".
QString RunFileDialog(QFileDialog& dialog, const SaveDialogSettings& settings, bool offerName)
{
    if (!settings.title.isEmpty())
        dialog.setWindowTitle(settings.title);
    if (!settings.filter.isEmpty())
        dialog.setNameFilter(settings.filter);
    if (!DialogFolder().isEmpty())
        dialog.setDirectory(DialogFolder());
    if (offerName && !settings.initialName.isEmpty())
        dialog.selectFile(settings.initialName);
    if (offerName && settings.addExtension) {
        // The extension follows the type chosen in the dialog.
        auto follow = [&dialog](const QString& filter) { dialog.setDefaultSuffix(FilterExtension(filter).mid(1)); };
        follow(dialog.selectedNameFilter());
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, follow);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString Dialogs::SaveFileName(QWidget* parent, const SaveDialogSettings& settings)
{
    QFileDialog dialog(parent);
    dialog.setObjectName(settings.name);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The name is used exactly as chosen and an existing file is replaced
    // without a question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setDefaultSuffix(QString());
    return RunFileDialog(dialog, settings, true);
}

QString Dialogs::OpenFileName(QWidget* parent, const SaveDialogSettings& settings)
{
    QFileDialog dialog(parent);
    dialog.setObjectName(settings.name);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return RunFileDialog(dialog, settings, false);
}

std::optional<QColor> Dialogs::ChooseColour(QWidget* parent, const QColor& initial)
{
    QColorDialog dialog(parent);
    dialog.setObjectName("ColorDialog1");
    dialog.setCurrentColor(initial);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.currentColor();
}

void Dialogs::ShowError(const QString& message)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Quillon"), message, QMessageBox::Ok);
    // The launcher stays on top of other windows; a message (one at start-up,
    // before any window is active, too) must not open hidden behind it.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

} // namespace window
