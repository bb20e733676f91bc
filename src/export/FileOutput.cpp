// File names held as QString, in the bytes the platform wants.
#include "export/FileOutput.h"

#include <QFile>

namespace exporter::detail {

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

} // namespace exporter::detail
