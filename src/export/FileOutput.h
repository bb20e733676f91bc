// Whole-file output shared by the writers: replace a file atomically or fail with IoError.
#pragma once

#include <string>
#include <string_view>

#include <QString>

namespace exporter::detail {

// The platform's text for an errno value.
std::string ErrnoText(int error);

// The file name bytes for a name held as a QString.
std::string LocalPath(const QString& path);

// Replaces the file at `path` by `data`. A regular file (or a new name) is
// written to a temporary file beside it, flushed to disk and renamed over the
// target, so a failure leaves the old file as it was and no partial file; a
// symbolic link keeps pointing at the replaced file. Anything else that
// already exists under the name (a device such as /dev/null, a pipe) cannot
// be replaced by a rename and is written in place, and so is an existing
// file in a folder where no temporary file may be made (a writable file in a
// read-only folder). Throws IoError naming the file and the platform's reason.
void ReplaceFile(const std::string& path, std::string_view data);

} // namespace exporter::detail
