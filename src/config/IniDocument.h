#pragma once

#include <optional>

#include <QString>
#include <QStringList>

#include "common/Result.h"

namespace th {

// The lines of an INI file, read and changed the way the system's profile functions do:
// sections and keys are found without regard to case (the first match counts), values lose
// the blanks around them and one pair of enclosing quotes, comment lines start with ";".
// Changing an entry rewrites only its own line; every other line stays as it was.
class IniDocument final {
public:
    // A missing file reads as an empty document; a file that exists but cannot be read
    // gives nothing (so that writing an entry never replaces a file it could not read).
    static std::optional<IniDocument> load(const QString &path);
    static IniDocument fromText(const QString &text);

    std::optional<QString> value(QStringView section, QStringView key) const;
    void setValue(const QString &section, const QString &key, const QString &value);

    QString text() const;
    // Writes the document to `path` (UTF-8) in one step: the old file is replaced only once
    // the new one is complete and on the disk; when the write fails it stays as it was.
    Result<void> save(const QString &path) const;

private:
    // The index of the section's header line, or -1.
    qsizetype findSection(QStringView section) const;
    // The index just past the section's last line.
    qsizetype sectionEnd(qsizetype header) const;

    QStringList m_lines;
};

} // namespace th
