#pragma once

#include <QString>

namespace th {

// The program's INI file, `config.ini` in the data folder, entry by entry. Set `Path`,
// `Section`, `Key` (and `Default`), then read `Value()` or write with `setValue()`.
class cIniFile final {
public:
    QString Path;
    QString Section;
    QString Key;
    QString Default;

    // The entry named by `Section` and `Key`, at most 255 characters, or `Default` when the
    // file, the section or the key is missing.
    QString Value() const;

    // Writes the entry, creating the file and the section when needed. NUL characters are
    // removed from the text first, and so are line breaks, which would start a new entry.
    // `LastReturnCode()` tells how it went: non-zero on success, 0 on failure.
    void setValue(const QString &text);
    int LastReturnCode() const { return m_lastReturnCode; }

private:
    int m_lastReturnCode = 0;
};

// `config.ini` of a data folder.
QString configIniPath(const QString &dataFolder);

} // namespace th
