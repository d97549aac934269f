#pragma once

#include <QByteArray>
#include <QString>

#include "common/Result.h"

namespace th {

// Error code of an export that would replace one of the data folder's own files.
inline constexpr int kExportTargetRefused = 311;

// Whether `path` names one of the files the program keeps in `dataFolder` (the store and its
// journal, config.ini, the search history, the lock and the show-request socket, the
// store's copies in backups/), however it is spelt: through links, "..", another
// absolute or relative form. Those files are refused as export targets; any other file in
// the data folder is the user's to choose.
bool isDataFolderFile(const QString &path, const QString &dataFolder);

// The refusal of `path` as an export target when it is one of those files.
Result<void> checkExportTarget(const QString &path, const QString &dataFolder);

// Writes an export to `path` in one step (a temporary file beside it, renamed over it once
// complete): the old file stays whole when anything fails. Refuses the data folder's own
// files. The error names the file and the reason.
Result<void> writeExportFile(const QString &path, const QByteArray &bytes, const QString &dataFolder);

} // namespace th
