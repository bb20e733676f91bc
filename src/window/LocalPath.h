// File names held as QString, in the bytes the platform wants.
#pragma once

#include <QFile>
#include <QString>

#include <string>

namespace window {

// The file name bytes of a name the user chose or typed.
inline std::string LocalPath(const QString& name) { return QFile::encodeName(name).toStdString(); }

} // namespace window
