#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "common/Result.h"
#include "watchlist/RegValue.h"

namespace th {

// One change a registry script asks for, in file order.
struct RegScriptOperation {
    enum class Kind { CreateKey, DeleteKey, SetValue, DeleteValue };

    Kind kind = Kind::CreateKey;
    RegRoot root = RegRoot::CurrentUser;
    QString keyPath; // key names joined with single backslashes
    RegValue value; // SetValue: the value; DeleteValue: its name
    int line = 0; // where it comes from, 1-based
};

// Reads a whole registry script, as the system's registry editor writes them: a
// "REGEDIT4" or "Windows Registry Editor Version 5.00" header (blanks before it allowed);
// UTF-16 with a byte-order mark, UTF-8, or 8-bit text; CR LF, LF or CR line ends; key lines
// "[ROOT\path]" and deletions "[-ROOT\path]"; value lines with quoted strings, "dword:",
// "hex:" and "hex(N):" data continued over lines ending in ",\", and deletions "=-";
// comment lines starting with ";" or "#", and ";" comments after data.
//
// In a quoted string "\\" stands for one backslash and "\"" for a double quote, and any
// other backslash stays as it is. When the closing quote so found is followed by anything
// but blanks, the string runs to the last double quote of the line instead (the program's
// own backups write quotes unescaped); a value name likewise ends at the double quote
// after which "=" and readable data follow.
//
// Only the current-user and local-machine roots are accepted. A script that cannot be read
// whole gives an error "line N: reason" and no operations at all.
Result<QList<RegScriptOperation>> readRegScript(const QByteArray &bytes);

} // namespace th
