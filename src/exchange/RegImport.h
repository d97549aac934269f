#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include "common/Result.h"

class QIODevice;

namespace th {

class RegistryStore;

// A key of the watch list that an import left out, with the line that names it.
struct SkippedWatchKey {
    int line = 0;
    QString name; // the sub-key name under the watch list key
};

// What an import changed.
struct ImportSummary {
    int keys = 0; // key lines (each key created if it was missing)
    int values = 0; // values written
    int deletions = 0; // keys and values deleted
    int latin1Lines = 0; // lines that were not UTF-8 and were read as Latin-1
    QList<SkippedWatchKey> skippedWatchKeys; // in file order
};

// Merges a registry script into the store in one transaction, reading it line by line
// while it writes: the keys and values it names are created or overwritten, those it
// deletes are deleted, everything else stays. A script that cannot be read whole (not a
// registry script, a line that cannot be read, a root other than HKEY_CURRENT_USER or
// HKEY_LOCAL_MACHINE, a file that cannot be read to its end) is refused with a message
// naming the file (`displayName`) and the line, and changes nothing.
//
// Item keys under the watch list key whose names are not item numbers (see isItemKeyName)
// are left out with their values and sub-keys, each key line noted in the summary; the
// rest of the file is still imported, so that a backup holding such a key can be restored.
// Deleting such a key is carried out.
Result<ImportSummary> importRegScript(RegistryStore &store, QIODevice &script, const QString &displayName);
Result<ImportSummary> importRegScript(
    RegistryStore &store, const QByteArray &script, const QString &displayName);

// The restore command's importer: reads the file `fileName` and imports it as above. The
// list is to be reloaded once it has returned. A copy of the store is taken first (see
// StoreBackups, `now` dates it); when it cannot be taken nothing is imported.
Result<ImportSummary> RunRegImport(RegistryStore &store, const QString &fileName, const QDateTime &now);

// What a finished import tells the user: the first line says how many keys and values came
// from the file; further lines say how many lines were read as Latin-1 and which watch-list
// keys were left out, by line.
QString importReport(const ImportSummary &summary, const QString &displayName);

// True when the path exists and is not a folder.
bool FileExistsAt(const QString &path);

} // namespace th
