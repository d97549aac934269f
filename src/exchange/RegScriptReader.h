#pragma once

#include <functional>

#include <QString>

#include "common/Result.h"
#include "store/RegValue.h"

class QIODevice;

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

// What reading a script found beside its operations.
struct RegScriptReadSummary {
    int latin1Lines = 0; // lines that were not UTF-8 and were read as Latin-1
};

// Takes each operation of a script as soon as it has been read; an error stops the reading
// and is handed back as it is.
using RegScriptSink = std::function<Result<void>(const RegScriptOperation &)>;

// Reads a registry script from `device` line by line, as the system's registry editor
// writes them, and hands each operation to `sink` in file order, so that no more than the
// lines of one value are held at a time. The script has a "REGEDIT4" or "Windows Registry
// Editor Version 5.00" header (blanks before it allowed); the text is read as
// ScriptLineReader says (UTF-16 with a byte-order mark, otherwise UTF-8 or Latin-1 line by
// line; CR LF, LF or CR line ends). It holds key lines "[ROOT\path]" and deletions
// "[-ROOT\path]"; value lines with quoted strings, "dword:", "hex:" and "hex(N):" data
// continued over lines ending in ",\", and deletions "=-"; comment lines starting with ";"
// or "#", and ";" comments after data.
//
// In a quoted string "\\" stands for one backslash and "\"" for a double quote, and any
// other backslash stays as it is. When the closing quote so found is followed by anything
// but blanks, the string runs to the last double quote of the line instead (the program's
// own backups write quotes unescaped); a value name likewise ends at the double quote
// after which "=" and readable data follow.
//
// Only the current-user and local-machine roots are accepted. At the first line that cannot
// be read the reading stops with an error "line N: reason"; the operations handed over
// before it are then the caller's to undo (the importer runs them all in one transaction).
Result<RegScriptReadSummary> readRegScript(QIODevice &device, const RegScriptSink &sink);

} // namespace th
