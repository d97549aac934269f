#pragma once

#include <QString>
#include <QStringList>

#include "common/Result.h"

namespace th {

// The search box's history in IntelliSense/iSense.dat: the entries, each followed by CR LF,
// no header. Entries are written as UTF-8; a line that is not valid UTF-8 (an older file's
// accented text) is read as Latin-1. Each line is one entry, whatever commas it holds, with
// surrounding double quotes removed.

inline constexpr int kSearchHistoryMax = 100;

// The entries of the file in file order, trimmed, empty ones left out. A missing file or
// folder gives none.
QStringList LoadSearchHistory(const QString &path);

// Error code of a history that was not written because its folder is missing: the history
// is then simply not kept, which is no news for the user.
inline constexpr int kSearchHistoryFolderMissing = 501;

// Writes `entries` (each trimmed) in place of the file, so that each reads back as it is: an
// entry in double quotes is written inside one more pair. A file that cannot be written in
// full stays as it was, and the error says why.
Result<void> SaveSearchHistory(const QString &path, const QStringList &entries);

// `entry` (trimmed) on top of `history`, any earlier copy of it (in any capitals) removed, at
// most kSearchHistoryMax entries kept.
QStringList withSearchOnTop(QStringList history, const QString &entry);

} // namespace th
