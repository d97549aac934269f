#include "exchange/RegImport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include "common/ItemNumber.h"
#include "exchange/RegScriptReader.h"
#include "store/RegistryStore.h"
#include "store/StoreBackups.h"
#include "store/StoreLayout.h"

namespace th {

namespace {

// No registry script of this program comes near this size; a bigger file is not read.
constexpr qint64 kMaxScriptBytes = 256LL * 1024 * 1024;

Error importError(const QString &displayName, const QString &why)
{
    return makeError(401, QStringLiteral("Cannot import %1: %2").arg(displayName, why));
}

// At most this many left-out keys (or removed items) are named in the report; the rest are
// counted.
constexpr int kMaxNamedSkippedKeys = 10;

// The name of the item key that `keyPath` is or lies below, when it lies below the watch
// list key.
std::optional<QStringView> watchItemName(RegRoot root, QStringView keyPath)
{
    static const QString prefix = QString::fromUtf16(kWatchListKey) + u'\\';
    if (root != RegRoot::CurrentUser || !keyPath.startsWith(prefix, Qt::CaseInsensitive))
        return std::nullopt;
    const QStringView below = keyPath.mid(prefix.size());
    const qsizetype end = below.indexOf(u'\\');
    return end < 0 ? below : below.left(end);
}

// Leaves out the keys below the watch list key whose names are not item numbers, with their
// values and sub-keys, and notes each such key line. A script's values for one key come one
// after the other, so each key's path is looked at once.
class WatchKeyFilter final {
public:
    bool leavesOut(const RegScriptOperation &operation, ImportSummary &summary)
    {
        using Kind = RegScriptOperation::Kind;
        if (operation.kind != Kind::CreateKey && operation.kind != Kind::SetValue)
            return false;
        if (operation.keyPath != m_path || operation.root != m_root) {
            m_path = operation.keyPath;
            m_root = operation.root;
            const std::optional<QStringView> item = watchItemName(m_root, m_path);
            m_leftOut = item && !isImportedItemKeyName(*item);
            m_item = m_leftOut ? item->toString() : QString();
        }
        if (!m_leftOut)
            return false;
        if (operation.kind == Kind::CreateKey)
            summary.skippedWatchKeys.append({ operation.line, m_item });
        return true;
    }

private:
    QString m_path;
    RegRoot m_root = RegRoot::CurrentUser;
    bool m_leftOut = false;
    QString m_item; // the item name of m_path when it is left out
};

// The values of one key that are still to be written: a script's values come key by key,
// and the store writes several of one key at once much quicker than one by one. Anything
// other than a value of the same key writes them first, so the order stays the file's.
class PendingValues final {
public:
    explicit PendingValues(RegistryStore &store)
        : m_store(store)
    {
    }

    Result<void> add(const RegScriptOperation &operation, ImportSummary &summary)
    {
        if (!m_values.isEmpty()
            && (operation.root != m_root || operation.keyPath != m_keyPath
                || m_values.size() == RegistryStore::kMaxValuesAtOnce)) {
            if (Result<void> written = write(summary); !written)
                return written;
        }
        if (m_values.isEmpty()) {
            m_root = operation.root;
            m_keyPath = operation.keyPath;
            m_firstLine = operation.line;
        }
        m_values.append(operation.value);
        m_lastLine = operation.line;
        return {};
    }

    Result<void> write(ImportSummary &summary)
    {
        if (m_values.isEmpty())
            return {};
        const Result<void> written = m_store.setValues(m_root, m_keyPath, m_values);
        summary.values += int(m_values.size());
        m_values.clear();
        if (written)
            return {};
        const QString lines = m_firstLine == m_lastLine
            ? QStringLiteral("line %1").arg(m_firstLine)
            : QStringLiteral("lines %1 to %2").arg(m_firstLine).arg(m_lastLine);
        return makeError(m_firstLine, lines + u": " + written.errorMessage());
    }

private:
    RegistryStore &m_store;
    RegRoot m_root = RegRoot::CurrentUser;
    QString m_keyPath;
    QList<RegValue> m_values;
    int m_firstLine = 0;
    int m_lastLine = 0;
};

Result<void> apply(RegistryStore &store, const RegScriptOperation &operation, ImportSummary &summary)
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
    return makeError(StoreError::WriteFailed, QStringLiteral("an operation of an unknown kind"));
}

} // namespace

Result<ImportSummary> importRegScript(RegistryStore &store, QIODevice &script, const QString &displayName)
{
    ImportSummary summary;
    WatchKeyFilter filter;
    PendingValues pending(store);
    const auto write = [&](const RegScriptOperation &operation) -> Result<void> {
        if (filter.leavesOut(operation, summary))
            return {};
        if (operation.kind == RegScriptOperation::Kind::SetValue)
            return pending.add(operation, summary);
        if (Result<void> written = pending.write(summary); !written)
            return written;
        const Result<void> applied = apply(store, operation, summary);
        if (applied)
            return {};
        return makeError(
            operation.line, QStringLiteral("line %1: %2").arg(operation.line).arg(applied.errorMessage()));
    };
    const QString watchList = QString::fromUtf16(kWatchListKey);
    const Result<void> applied = store.transaction([&]() -> Result<void> {
        // A deletion anywhere above or at an item key takes watched items away: the list
        // before and after tells which.
        const Result<QStringList> before = store.checkedSubKeyNames(RegRoot::CurrentUser, watchList);
        if (!before)
            return before.error();
        const Result<RegScriptReadSummary> read = readRegScript(script, write);
        if (!read)
            return read.error();
        summary.latin1Lines = read.value().latin1Lines;
        if (Result<void> written = pending.write(summary); !written)
            return written;
        const Result<QStringList> after = store.checkedSubKeyNames(RegRoot::CurrentUser, watchList);
        if (!after)
            return after.error();
        // Item names are digits: no case to fold.
        const QSet<QString> kept(after.value().cbegin(), after.value().cend());
        for (const QString &item : before.value()) {
            if (isItemKeyName(item) && !kept.contains(item))
                summary.removedWatchItems.append(item);
        }
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

Result<ImportSummary> RunRegImport(RegistryStore &store, const QString &fileName, const QDateTime &now)
{
    const QFileInfo info(fileName);
    if (info.isDir())
        return importError(fileName, QStringLiteral("it is a folder"));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return importError(fileName, file.errorString());
    if (file.size() > kMaxScriptBytes)
        return importError(fileName, QStringLiteral("the file is too large for a registry script"));
    // A mistaken import can be undone only from a copy of the store as it was before it.
    const Result<QString> copy = StoreBackups::takeImportCopy(store, now);
    if (!copy)
        return importError(fileName, copy.errorMessage() + u" Nothing was imported");
    Result<ImportSummary> imported = importRegScript(store, file, fileName);
    StoreBackups::settleImportCopy(copy.value(), imported.ok());
    if (imported)
        imported.value().copyBefore = copy.value();
    return imported;
}

bool isImportedItemKeyName(QStringView name)
{
    return !name.startsWith(u'0') && normalizeItemNumber(name) == name;
}

QString importReport(const ImportSummary &summary, const QString &displayName)
{
    QString report = QStringLiteral("Imported %1 keys and %2 values from %3")
                         .arg(summary.keys)
                         .arg(summary.values)
                         .arg(displayName);
    if (const QString notes = importNotes(summary); !notes.isEmpty())
        report += u'\n' + notes;
    return report;
}

QString importNotes(const ImportSummary &summary)
{
    QStringList notes;
    if (summary.deletions > 0)
        notes.append(QStringLiteral("Deleted %1 keys and values that the file names for deletion")
                         .arg(summary.deletions));
    const QStringList &removed = summary.removedWatchItems;
    if (!removed.isEmpty()) {
        QStringList named = removed.mid(0, kMaxNamedSkippedKeys);
        if (removed.size() > kMaxNamedSkippedKeys)
            named.append(QStringLiteral("and %1 more").arg(removed.size() - kMaxNamedSkippedKeys));
        notes.append(QStringLiteral("Removed %1 watched items: %2")
                         .arg(removed.size())
                         .arg(named.join(QStringLiteral(", "))));
        if (!summary.copyBefore.isEmpty())
            notes.append(
                QStringLiteral("The watch list as it was before the import is kept in %1; to go back to it, "
                               "end Tallyhawk and run: tallyhawk-cli restore %1")
                    .arg(QDir::toNativeSeparators(summary.copyBefore)));
    }
    if (summary.latin1Lines == 1)
        notes.append(QStringLiteral("1 line was not UTF-8 and was read as Latin-1 (ISO 8859-1)"));
    else if (summary.latin1Lines > 1)
        notes.append(QStringLiteral("%1 lines were not UTF-8 and were read as Latin-1 (ISO 8859-1)")
                         .arg(summary.latin1Lines));
    const QList<SkippedWatchKey> &skipped = summary.skippedWatchKeys;
    if (!skipped.isEmpty()) {
        QStringList named;
        for (qsizetype i = 0; i < skipped.size() && i < kMaxNamedSkippedKeys; ++i)
            named.append(QStringLiteral("line %1 \"%2\"").arg(skipped[i].line).arg(skipped[i].name));
        if (skipped.size() > kMaxNamedSkippedKeys)
            named.append(QStringLiteral("and %1 more").arg(skipped.size() - kMaxNamedSkippedKeys));
        notes.append(QStringLiteral("Left out %1 watch-list keys that are not item numbers: %2")
                         .arg(skipped.size())
                         .arg(named.join(QStringLiteral(", "))));
    }
    return notes.join(u'\n');
}

bool FileExistsAt(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

} // namespace th
