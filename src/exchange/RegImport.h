#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

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
    QStringList removedWatchItems; // watched items the import deleted, in the store's order
    QString copyBefore; // the copy of the store as it was before the import, when one was kept
};

// Merges a registry script into the store in one transaction, reading it line by line
// while it writes: the keys and values it names are created or overwritten, those it
// deletes are deleted, everything else stays. A script that cannot be read whole (not a
// registry script, a line that cannot be read, a root other than HKEY_CURRENT_USER or
// HKEY_LOCAL_MACHINE, a file that cannot be read to its end) is refused with a message
// naming the file (`displayName`) and the line, and changes nothing.
//
// Item keys under the watch list key whose names are not item numbers as the program writes
// them (see isImportedItemKeyName) are left out with their values and sub-keys, each key
// line noted in the summary; the rest of the file is still imported, so that a backup
// holding such a key can be restored. Deleting such a key is carried out. The summary
// names the watched items that the import deleted.
Result<ImportSummary> importRegScript(RegistryStore &store, QIODevice &script, const QString &displayName);
Result<ImportSummary> importRegScript(
    RegistryStore &store, const QByteArray &script, const QString &displayName);

// The restore command's importer: reads the file `fileName` and imports it as above. The
// list is to be reloaded once it has returned. A copy of the store is taken first (see
// StoreBackups, `now` dates it); when it cannot be taken nothing is imported.
Result<ImportSummary> RunRegImport(RegistryStore &store, const QString &fileName, const QDateTime &now);

// Whether a key name under the watch list key, as a file gives it, names an item the way the
// program writes one: digits only (no blank anywhere), no leading zero, at least 500000.
// "12", "02407604981" and "2407604973 " would become rows that no page ever fills.
bool isImportedItemKeyName(QStringView name);

// What a finished import tells the user: the first line says how many keys and values came
// from the file; importNotes follow it.
QString importReport(const ImportSummary &summary, const QString &displayName);
// What the user should know beyond the counts, one line each, empty when there is nothing:
// how many keys and values the file deleted, which watched items went and the copy that
// holds the list from before, how many lines were read as Latin-1, which watch-list keys
// were left out, by line.
QString importNotes(const ImportSummary &summary);

// True when the path exists and is not a folder.
bool FileExistsAt(const QString &path);

} // namespace th
