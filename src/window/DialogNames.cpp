// The file dialogs through the installed dialogs, with the run's folder and the chosen type's extension.
#include "window/DialogNames.h"

#include "window/Services.h"

namespace window {

QString ChooseSaveFile(QWidget* parent, const SaveDialogSettings& settings)
{
    SaveDialogSettings s = settings;
    if (s.addExtension)
        s.initialName = InDialogFolder(s.initialName);
    QString name = InstalledDialogs().SaveFileName(parent, s);
    if (s.addExtension)
        name = WithExtension(name, FilterExtension(s.filter));
    RememberDialogFolder(name);
    return name;
}

QString ChooseOpenFile(QWidget* parent, const SaveDialogSettings& settings)
{
    const QString name = InstalledDialogs().OpenFileName(parent, settings);
    RememberDialogFolder(name);
    return name;
}

} // namespace window
