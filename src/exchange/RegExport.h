#pragma once

#include <QString>

#include "common/Result.h"
#include "store/RegValue.h"

namespace th {

class RegistryStore;

// The file the watch list is backed up to, in the folder the user picks.
inline constexpr char16_t kWatchListFileName[] = u"eBayWatch.reg";

// The backup file of a folder: the folder and "eBayWatch.reg" joined, a doubled separator
// reduced to one (so a root folder gives "/eBayWatch.reg").
QString watchListExportPath(const QString &folder);

// One value line of a registry script: the name between double quotes ("@" for the unnamed
// default value), "=", and the data by kind: a string between double quotes (every
// backslash doubled when the text starts like a drive path "C:\", nothing else escaped),
// "dword:" and eight lower-case hexadecimal digits, "hex:" and the bytes as upper-case
// two-digit numbers separated by commas. Some values are written as "hex(N):" with the
// bytes so that a backup always reads back exactly what it saved: a value of any other kind
// (N its kind number), and a text holding a line break or, unless it starts like a drive
// path, one of the pairs the reader takes as escapes, "\\" or "\"" (N = 1, the text's
// UTF-8 bytes; a network path "\\host\share" is one).
QString regValueLine(const RegValue &value);

// Writes one key, and with `includeSubkeys` every key below it depth first (a key's own
// section, then each sub-key's section followed by its sub-keys'), as a registry script:
// "REGEDIT4" and an empty line first, unless `append` is set and the file already holds
// "REGEDIT4"; then per key a line "[" root name "\" key path "]", its value lines in
// creation order and an empty line. Each sub-key's path is its parent's path, "\" and its
// name. Lines end in CR LF; the file is UTF-8 without a byte-order mark (plain ASCII for
// everything the program itself stores). The file is replaced only once the new one is
// complete and on the disk (appending writes the old content and the new sections anew);
// a write that fails leaves it as it was. A key that does not exist is written as a section
// without values; a store that cannot be read fails the export, and the file is then left
// as it was. The result tells the caller whether the file was written.
Result<void> ExportRegKey(const RegistryStore &store, RegRoot root, const QString &keyPath,
    const QString &fileName, bool includeSubkeys, bool append);

// The Backup command: the whole watch list key with its item keys to `fileName`,
// replacing the file.
Result<void> exportWatchList(const RegistryStore &store, const QString &fileName);

} // namespace th
