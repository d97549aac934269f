#include "exchange/RegImport.h"

#include <QFile>
#include <QFileInfo>

#include "exchange/RegScriptReader.h"
#include "watchlist/RegistryStore.h"

namespace th {

namespace {

// No registry script of this program comes near this size; a bigger file is not read.
constexpr qint64 kMaxScriptBytes = 256LL * 1024 * 1024;

Error importError(const QString &displayName, const QString &why)
{
    return makeError(401, QStringLiteral("Cannot import %1: %2").arg(displayName, why));
}

bool apply(RegistryStore &store, const RegScriptOperation &operation, ImportSummary &summary)
{
    using Kind = RegScriptOperation::Kind;
    switch (operation.kind) {
    case Kind::CreateKey:
        ++summary.keys;
        return store.createKey(operation.root, operation.keyPath);
    case Kind::DeleteKey:
        ++summary.deletions;
        return store.deleteKey(operation.root, operation.keyPath);
    case Kind::SetValue:
        ++summary.values;
        return store.setValue(operation.root, operation.keyPath, operation.value);
    case Kind::DeleteValue:
        ++summary.deletions;
        return store.deleteValue(operation.root, operation.keyPath, operation.value.name);
    }
    return false;
}

} // namespace

Result<ImportSummary> importRegScript(
    RegistryStore &store, const QByteArray &script, const QString &displayName)
{
    const Result<QList<RegScriptOperation>> operations = readRegScript(script);
    if (!operations)
        return importError(displayName, operations.errorMessage());

    ImportSummary summary;
    const Result<void> applied = store.transaction([&]() -> Result<void> {
        for (const RegScriptOperation &operation : operations.value()) {
            if (!apply(store, operation, summary))
                return makeError(
                    operation.line, QStringLiteral("line %1: %2").arg(operation.line).arg(store.lastError()));
        }
        return {};
    });
    if (!applied)
        return importError(displayName, applied.errorMessage());
    return summary;
}

Result<ImportSummary> RunRegImport(RegistryStore &store, const QString &fileName)
{
    const QFileInfo info(fileName);
    if (info.isDir())
        return importError(fileName, QStringLiteral("it is a folder"));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return importError(fileName, file.errorString());
    if (file.size() > kMaxScriptBytes)
        return importError(fileName, QStringLiteral("the file is too large for a registry script"));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return importError(fileName, file.errorString());
    return importRegScript(store, bytes, fileName);
}

bool FileExistsAt(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

} // namespace th
