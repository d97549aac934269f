#pragma once

#include <QByteArray>
#include <QString>

#include "common/Result.h"

class QIODevice;

namespace th {

class RegistryStore;

// What an import changed.
struct ImportSummary {
    int keys = 0; // key lines (each key created if it was missing)
    int values = 0; // values written
    int deletions = 0; // keys and values deleted
    int latin1Lines = 0; // lines that were not UTF-8 and were read as Latin-1
};

// Merges a registry script into the store in one transaction, reading it line by line
// while it writes: the keys and values it names are created or overwritten, those it
// deletes are deleted, everything else stays. A script that cannot be read whole (not a
// registry script, a line that cannot be read, a root other than HKEY_CURRENT_USER or
// HKEY_LOCAL_MACHINE, a file that cannot be read to its end) is refused with a message
// naming the file (`displayName`) and the line, and changes nothing.
Result<ImportSummary> importRegScript(RegistryStore &store, QIODevice &script, const QString &displayName);
Result<ImportSummary> importRegScript(
    RegistryStore &store, const QByteArray &script, const QString &displayName);

// The restore command's importer: reads the file `fileName` and imports it as above. The
// list is to be reloaded once it has returned.
Result<ImportSummary> RunRegImport(RegistryStore &store, const QString &fileName);

// What a finished import tells the user: the first line says how many keys and values came
// from the file; further lines say how many lines were read as Latin-1.
QString importReport(const ImportSummary &summary, const QString &displayName);

// True when the path exists and is not a folder.
bool FileExistsAt(const QString &path);

} // namespace th
