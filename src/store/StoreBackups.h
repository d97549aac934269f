#pragma once

#include <optional>

#include <QDateTime>
#include <QList>
#include <QString>

#include "common/Result.h"

namespace th {

class RegistryStore;

// One copy of the store in the backups folder.
struct StoreCopy {
    enum class Kind { Daily, BeforeImport };
    QString path;
    Kind kind = Kind::Daily;
    // When it was taken, to the second.
    QDateTime taken;
};

// The rolling copies of the store, in the folder "backups" beside it: one a day, taken at
// start-up as "registry-YYYY-MM-DD-HHMMSS.db" (older versions named it by the day alone,
// "registry-YYYY-MM-DD.db"), and one before every import, taken as
// "registry-YYYY-MM-DD-import-HHMMSS.db". They are ordered by the moment they were taken.
// The newest seven daily copies and the newest four import copies are kept; older ones of
// ours are deleted, nothing else in the folder is.
namespace StoreBackups {

inline constexpr int kDailyKept = 7;
inline constexpr int kBeforeImportKept = 4;

// The backups folder of the store at `storePath`.
QString folderFor(const QString &storePath);

// Today's copy, unless the folder has one of today already: its path, or an empty path when
// there was nothing to do. Taken at start-up, it first clears away the part files of copies
// that were cut off (see removeStaleParts).
Result<QString> takeDailyCopy(const RegistryStore &store, const QDateTime &now);
// A copy of the store as it is before an import changes it: its path. Once the import is
// over, settleImportCopy keeps it (and lets the oldest import copies go) or, when the import
// changed nothing, deletes it, so that a refused file retried again and again never pushes
// the copies of real imports out.
Result<QString> takeImportCopy(const RegistryStore &store, const QDateTime &now);
void settleImportCopy(const QString &copyPath, bool storeChanged);

// Deletes the unfinished copies ("….db.part") in `folder` that no program is writing any
// more, left by a restore or an import that was killed; a copy being written is left alone.
void removeStaleParts(const QString &folder);

// The copies in `folder`, newest first.
QList<StoreCopy> list(const QString &folder);
// The newest copy in `folder` that passes RegistryStore::checkCopy.
std::optional<StoreCopy> newestSound(const QString &folder);

// What a restore did.
struct Restored {
    // The copy taken of the store before it was replaced (when it could be opened).
    QString copyBefore;
    // Where a store that could not be opened was moved, kept as it was, before the copy
    // replaced it.
    QString movedAside;
};

// Puts the copy at `copyPath` in place of the store at `storePath`, after checking it:
// through the store's own connection when the store opens (a copy of it is taken first, as
// before an import), otherwise into a new store, the old file and its journal files moved
// aside under a name ending in ".damaged-" and the time. A copy that fails the check is
// refused and nothing changes. The caller makes sure that no program uses the store.
Result<Restored> restore(const QString &storePath, const QString &copyPath, const QDateTime &now);

} // namespace StoreBackups

} // namespace th
