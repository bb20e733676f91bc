// The dialogs' file names and folder, remembered for the run only (nothing is stored between runs).
#include "window/FileNames.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace window {

namespace {

QString& LastFolder()
{
    static QString folder;
    return folder;
}

} // namespace

QString WithExtension(const QString& name, const QString& extension)
{
    if (name.isEmpty() || extension.isEmpty())
        return name;
    const QString file = QFileInfo(name).fileName();
    // A folder ("frames/") or a name with an extension stays as chosen.
    if (file.isEmpty() || file.contains(QLatin1Char('.')))
        return name;
    return name + extension;
}

QString FilterExtension(const QString& filter)
{
    static const QRegularExpression pattern(QStringLiteral(R"(\*(\.[A-Za-z0-9]+)\b)"));
    const QRegularExpressionMatch m = pattern.match(filter);
    return m.hasMatch() ? m.captured(1).toLower() : QString();
}

QString DialogFolder() { return LastFolder(); }

void RememberDialogFolder(const QString& chosenFile)
{
    if (chosenFile.isEmpty())
        return;
    const QFileInfo info(chosenFile);
    LastFolder() = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
}

QString InDialogFolder(const QString& suggested)
{
    const QString folder = DialogFolder();
    if (folder.isEmpty() || suggested.contains(QLatin1Char('/')))
        return suggested;
    return QDir(folder).filePath(suggested);
}

QString SavedText(const QString& file, int width, int height, double seconds)
{
    const double s = seconds < 0 ? 0 : seconds;
    const QString time = s < 9.95 ? QString::number(s, 'f', 1) : QString::number(std::llround(std::min(s, 1e9)));
    return QStringLiteral("Saved %1 (%2 × %3, %4 s)").arg(file).arg(width).arg(height).arg(time);
}

} // namespace window
