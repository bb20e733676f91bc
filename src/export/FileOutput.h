// Whole-file output shared by the writers: replace a file atomically or fail with IoError.
#pragma once

#include <string>

#include <QString>

#include "export/AtomicFile.h"

namespace exporter::detail {

// The file name bytes for a name held as a QString.
std::string LocalPath(const QString& path);

} // namespace exporter::detail
