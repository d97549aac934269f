#pragma once

#include <QByteArray>
#include <QString>

#include "common/Result.h"

namespace th {

// Error code of a file that could not be written in full.
inline constexpr int kFileWriteFailed = 301;

// Writes `bytes` as the new content of the file at `path` in one step: into a temporary file
// beside it, every write checked, flushed to the disk, then renamed over the old file. When
// anything fails (a full disk, a file-size limit, a folder that cannot be written) the
// temporary file is removed and the old file stays exactly as it was; the error names the
// file and the reason. A new file gets `newFileMode` (less the umask); a replaced file keeps
// the mode it had.
Result<void> writeFileAtomically(const QString &path, const QByteArray &bytes, int newFileMode = 0666);

} // namespace th
