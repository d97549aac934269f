#pragma once

#include <optional>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace th {

// The roots a registry path hangs under. The store keeps the current-user and the
// local-machine hives; the other names exist so that a registry script can name them.
enum class RegRoot { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };

// The kind numbers of stored values, as the registry numbers them. Any other number is
// kept as it comes, with its data as raw bytes.
namespace RegKind {
inline constexpr quint32 None = 0;
inline constexpr quint32 String = 1;
inline constexpr quint32 ExpandString = 2;
inline constexpr quint32 Binary = 3;
inline constexpr quint32 Dword = 4;
inline constexpr quint32 MultiString = 7;
} // namespace RegKind

// One stored value: its name (empty for the key's default value), its kind and its data.
// The data of the string kinds are UTF-16 code units, little-endian, so that every text
// is kept whole whatever its characters.
struct RegValue {
    QString name;
    quint32 kind = RegKind::String;
    QByteArray data;

    static RegValue fromString(const QString &name, const QString &text, quint32 kind = RegKind::String);
    static RegValue fromDword(const QString &name, quint32 number);
    static RegValue fromBinary(const QString &name, const QByteArray &bytes);

    // String, expandable string or multi-string.
    bool isStringKind() const;
    // The text of a string kind, up to its first NUL character.
    QString text() const;
    // The number of a 32-bit number value (kind 4 with exactly four bytes).
    std::optional<quint32> dword() const;

    bool operator==(const RegValue &) const = default;
};

// Texts as the string kinds keep them, and back (the reading stops at the first NUL).
QByteArray regDataFromText(QStringView text);
QString regTextFromData(const QByteArray &data);
// Every character of string-kind data, NULs included (the texts of a multi-string).
QString regUnitsFromData(const QByteArray &data);

// "HKEY_CURRENT_USER" and the other root names.
QString regRootName(RegRoot root);
// The root a name stands for, compared without regard to case.
std::optional<RegRoot> regRootFromName(QStringView name);

// The key names along a path. Backslashes separate; a leading, trailing or doubled one is a
// single separator, so "A\\B\" names the same key as "A\B". The path ends at a NUL
// character, as it would for the system.
QStringList splitRegPath(QStringView path);

// The text two names are compared by: each character upper-cased on its own, as the
// registry compares names (case-insensitive, case-preserving).
QString regFoldName(QStringView name);

// A name as the store keeps it: cut at its first NUL character.
QString regCleanName(QStringView name);

} // namespace th
