#pragma once

#include <QString>
#include <QStringList>

#include "store/RegValue.h"

namespace th {

class RegistryStore;

// The registry operations through which every part of the program reads and writes the
// store. None of them reports an error: a failed read gives the default, a failed write or
// delete is lost (and logged by the store).

// The text of a string or expandable string value, up to its first NUL character
// (expandable strings are returned unexpanded); the default for a missing key or value or
// a value of another kind.
QString GetRegString(const RegistryStore &store, RegRoot root, const QString &keyPath,
    const QString &valueName, const QString &defaultValue = QString());

// Writes a string value, creating the key and its missing parents; no terminating NUL is
// stored.
void SaveRegString(RegistryStore &store, RegRoot root, const QString &keyPath, const QString &valueName,
    const QString &text);

// A 32-bit number value; the default for a missing key or value or another kind.
qint32 GetRegDword(const RegistryStore &store, RegRoot root, const QString &keyPath, const QString &valueName,
    qint32 defaultValue = 0);

// Writes a 32-bit number value, creating the key if it is missing.
void SaveRegDword(
    RegistryStore &store, RegRoot root, const QString &keyPath, const QString &valueName, qint32 number);

// Deletes a value; nothing happens when the key or the value is missing.
void DeleteRegValue(RegistryStore &store, RegRoot root, const QString &keyPath, const QString &valueName);

// Deletes a key (an item key) with whatever it holds.
void DeleteRegKey(RegistryStore &store, RegRoot root, const QString &keyPath);

// The names of all sub-keys in the registry's enumeration order (case-insensitive name
// order); empty for a missing key or a key without sub-keys.
QStringList ListRegSubKeys(const RegistryStore &store, RegRoot root, const QString &keyPath);

// The highest index of a list, -1 when it is empty.
int SafeUBound(const QStringList &list);

} // namespace th
