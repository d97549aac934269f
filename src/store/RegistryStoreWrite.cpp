#include "store/RegistryStore.h"

#include <array>

#include <sqlite3.h>

#include "store/SqliteStatement.h"

// Writing keys and values: each write finds or makes its key, quickly when a script writes
// one key after another.

namespace th {

namespace {

// The statement that writes `count` values to one key, each as an insert that overwrites
// a value of the same name in its place. The texts live as long as the program, so that
// the statement cache can key them by address.
const char *upsertSql(qsizetype count)
{
    static const std::array<QByteArray, RegistryStore::kMaxValuesAtOnce + 1> texts = [] {
        std::array<QByteArray, RegistryStore::kMaxValuesAtOnce + 1> made;
        for (std::size_t n = 1; n < made.size(); ++n) {
            made[n] = "INSERT INTO reg_value(key, name, fold, kind, data) VALUES(?, ?, ?, ?, ?)";
            for (std::size_t row = 1; row < n; ++row)
                made[n] += ", (?, ?, ?, ?, ?)";
            made[n] += " ON CONFLICT(key, fold) DO UPDATE SET kind = excluded.kind, data = excluded.data";
        }
        return made;
    }();
    return texts[std::size_t(count)].constData();
}

// The key a walk that creates what is missing ends at.
Result<qint64> madeKey(const Result<std::optional<qint64>> &walked)
{
    if (!walked)
        return walked.error();
    return *walked.value();
}

} // namespace

void RegistryStore::forgetWrittenKeys()
{
    m_writtenKey.reset();
    m_writtenParent.reset();
}

Result<qint64> RegistryStore::childKey(qint64 parent, const QString &name)
{
    // A script restoring items into a new store adds one new key after another; one that
    // restores over the same store finds them all. Whichever the last key was, the next is
    // taken to be alike, and tried that way first.
    if (!m_lastChildWasNew || name.size() > kMaxKeyNameLength) {
        const int changes = sqlite3_total_changes(m_db);
        Result<qint64> id = madeKey(walk(parent, QStringList { name }, Walk::Create));
        m_lastChildWasNew = sqlite3_total_changes(m_db) != changes;
        return id;
    }
    StatementUse insert(statement("INSERT INTO reg_key(parent, name, fold) VALUES(?1, ?2, ?3) "
                                  "ON CONFLICT(parent, fold) DO NOTHING"));
    insert->bind(1, parent);
    insert->bind(2, name);
    insert->bind(3, regFoldName(name));
    if (insert->step() != SQLITE_DONE)
        return sqliteWriteFailure();
    if (sqlite3_changes(m_db) > 0)
        return qint64(sqlite3_last_insert_rowid(m_db));
    m_lastChildWasNew = false;
    return madeKey(walk(parent, QStringList { name }, Walk::Create));
}

Result<qint64> RegistryStore::writableKey(RegRoot root, const QString &keyPath)
{
    // A NUL ends a path, so a path holding one cannot be cut at its last backslash.
    if (m_transactionDepth == 0 || keyPath.contains(QChar(0)))
        return madeKey(walkFromRoot(root, splitRegPath(keyPath), Walk::Create));
    const auto matches = [&](const std::optional<WrittenKey> &key, QStringView path) {
        return key && key->root == root && key->path == path;
    };
    if (matches(m_writtenKey, keyPath))
        return m_writtenKey->id;

    // The next key of a script is most often a sibling or a child of the last one: found
    // from their parent, it takes one look-up instead of one per name of its path.
    const qsizetype cut = std::max<qsizetype>(keyPath.lastIndexOf(u'\\'), 0);
    const QStringView parentPath = QStringView(keyPath).left(cut);
    Result<qint64> parent = qint64(0);
    if (matches(m_writtenParent, parentPath))
        parent = m_writtenParent->id;
    else if (matches(m_writtenKey, parentPath))
        parent = m_writtenKey->id;
    else
        parent = madeKey(walkFromRoot(root, splitRegPath(parentPath), Walk::Create));
    if (!parent)
        return parent;
    // After the last backslash there is one name at most.
    QStringView last = QStringView(keyPath).mid(cut);
    if (last.startsWith(u'\\'))
        last = last.mid(1);
    const Result<qint64> id = last.isEmpty() ? parent : childKey(parent.value(), last.toString());
    if (!id)
        return id;
    if (!matches(m_writtenParent, parentPath))
        m_writtenParent = WrittenKey { root, parentPath.toString(), parent.value() };
    m_writtenKey = WrittenKey { root, keyPath, id.value() };
    return id;
}

Result<void> RegistryStore::createKey(RegRoot root, const QString &keyPath)
{
    return write([&]() -> Result<void> {
        if (const Result<qint64> key = writableKey(root, keyPath); !key)
            return key.error();
        return {};
    });
}

const QString &RegistryStore::foldedName(const QString &name)
{
    for (const auto &[known, folded] : m_folds) {
        if (known == name && !known.isNull())
            return folded;
    }
    std::pair<QString, QString> &entry = m_folds[m_nextFold];
    m_nextFold = (m_nextFold + 1) % m_folds.size();
    entry = { name, regFoldName(name) };
    return entry.second;
}

Result<void> RegistryStore::upsertValues(qint64 key, const RegValue *values, qsizetype count)
{
    StatementUse upsert(statement(upsertSql(count)));
    for (qsizetype i = 0; i < count; ++i) {
        const RegValue &value = values[i];
        const QString name = value.name.contains(QChar(0)) ? regCleanName(value.name) : value.name;
        const int first = int(5 * i);
        upsert->bind(first + 1, key);
        upsert->bind(first + 2, name);
        upsert->bind(first + 3, foldedName(name));
        upsert->bind(first + 4, qint64(value.kind));
        upsert->bind(first + 5, value.data);
    }
    if (upsert->step() == SQLITE_DONE)
        return {};
    return sqliteWriteFailure();
}

Result<void> RegistryStore::setValue(RegRoot root, const QString &keyPath, const RegValue &value)
{
    return setValues(root, keyPath, QList<RegValue> { value });
}

Result<void> RegistryStore::setValues(RegRoot root, const QString &keyPath, const QList<RegValue> &values)
{
    return write([&]() -> Result<void> {
        const Result<qint64> key = writableKey(root, keyPath);
        if (!key)
            return key.error();
        for (qsizetype done = 0; done < values.size(); done += kMaxValuesAtOnce) {
            const qsizetype count = std::min(kMaxValuesAtOnce, values.size() - done);
            if (Result<void> written = upsertValues(key.value(), values.constData() + done, count); !written)
                return written;
        }
        return {};
    });
}

Result<void> RegistryStore::deleteValue(RegRoot root, const QString &keyPath, const QString &valueName)
{
    const QStringList names = splitRegPath(keyPath);
    const QString fold = regFoldName(regCleanName(valueName));
    return write([&]() -> Result<void> {
        const Result<std::optional<qint64>> key = walkFromRoot(root, names, Walk::Find);
        if (!key)
            return failedWrite(key.error());
        if (!key.value())
            return {};
        StatementUse remove(statement("DELETE FROM reg_value WHERE key = ?1 AND fold = ?2"));
        remove->bind(1, *key.value());
        remove->bind(2, fold);
        if (remove->step() == SQLITE_DONE)
            return {};
        return sqliteWriteFailure();
    });
}

Result<void> RegistryStore::deleteKey(RegRoot root, const QString &keyPath)
{
    const QStringList names = splitRegPath(keyPath);
    if (names.isEmpty())
        return writeFailure(QStringLiteral("a root key cannot be deleted"));
    forgetWrittenKeys();
    return write([&]() -> Result<void> {
        const Result<std::optional<qint64>> key = walkFromRoot(root, names, Walk::Find);
        if (!key)
            return failedWrite(key.error());
        if (!key.value())
            return {};
        // The sub-keys and values go with it (the tables cascade).
        StatementUse remove(statement("DELETE FROM reg_key WHERE id = ?1"));
        remove->bind(1, *key.value());
        if (remove->step() == SQLITE_DONE)
            return {};
        return sqliteWriteFailure();
    });
}

} // namespace th
