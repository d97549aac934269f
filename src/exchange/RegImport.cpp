#include "exchange/RegImport.h"

#include <QBuffer>
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

Result<ImportSummary> importRegScript(RegistryStore &store, QIODevice &script, const QString &displayName)
{
    ImportSummary summary;
    const auto write = [&](const RegScriptOperation &operation) -> Result<void> {
        if (apply(store, operation, summary))
            return {};
        return makeError(
            operation.line, QStringLiteral("line %1: %2").arg(operation.line).arg(store.lastError()));
    };
    const Result<void> applied = store.transaction([&]() -> Result<void> {
        const Result<RegScriptReadSummary> read = readRegScript(script, write);
        if (!read)
            return read.error();
        summary.latin1Lines = read.value().latin1Lines;
        return {};
    });
    if (!applied)
        return importError(displayName, applied.errorMessage());
    return summary;
}

Result<ImportSummary> importRegScript(
    RegistryStore &store, const QByteArray &script, const QString &displayName)
{
    QBuffer buffer;
    buffer.setData(script);
    buffer.open(QIODevice::ReadOnly);
    return importRegScript(store, buffer, displayName);
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
    return importRegScript(store, file, fileName);
}

QString importReport(const ImportSummary &summary, const QString &displayName)
{
    QString report = QStringLiteral("Imported %1 keys and %2 values from %3")
                         .arg(summary.keys)
                         .arg(summary.values)
                         .arg(displayName);
    if (summary.latin1Lines == 1)
        report += QStringLiteral("\n1 line was not UTF-8 and was read as Latin-1 (ISO 8859-1)");
    else if (summary.latin1Lines > 1)
        report += QStringLiteral("\n%1 lines were not UTF-8 and were read as Latin-1 (ISO 8859-1)")
                      .arg(summary.latin1Lines);
    return report;
}

bool FileExistsAt(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

} // namespace th
