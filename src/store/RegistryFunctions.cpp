#include "store/RegistryFunctions.h"

#include "store/RegistryStore.h"

namespace th {

QString GetRegString(const RegistryStore &store, RegRoot root, const QString &keyPath,
    const QString &valueName, const QString &defaultValue)
{
    const std::optional<RegValue> value = store.value(root, keyPath, valueName);
    if (!value || (value->kind != RegKind::String && value->kind != RegKind::ExpandString))
        return defaultValue;
    return value->text();
}

void SaveRegString(
    RegistryStore &store, RegRoot root, const QString &keyPath, const QString &valueName, const QString &text)
{
    (void)store.setValue(root, keyPath, RegValue::fromString(valueName, text));
}

qint32 GetRegDword(const RegistryStore &store, RegRoot root, const QString &keyPath, const QString &valueName,
    qint32 defaultValue)
{
    const std::optional<RegValue> value = store.value(root, keyPath, valueName);
    const std::optional<quint32> number = value ? value->dword() : std::nullopt;
    return number ? qint32(*number) : defaultValue;
}

void SaveRegDword(
    RegistryStore &store, RegRoot root, const QString &keyPath, const QString &valueName, qint32 number)
{
    (void)store.setValue(root, keyPath, RegValue::fromDword(valueName, quint32(number)));
}

void DeleteRegValue(RegistryStore &store, RegRoot root, const QString &keyPath, const QString &valueName)
{
    (void)store.deleteValue(root, keyPath, valueName);
}

void DeleteRegKey(RegistryStore &store, RegRoot root, const QString &keyPath)
{
    (void)store.deleteKey(root, keyPath);
}

QStringList ListRegSubKeys(const RegistryStore &store, RegRoot root, const QString &keyPath)
{
    return store.subKeyNames(root, keyPath);
}

int SafeUBound(const QStringList &list)
{
    return int(list.size()) - 1;
}

} // namespace th
