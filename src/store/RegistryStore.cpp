#include "store/RegistryStore.h"

#include <QDir>

#include <sqlite3.h>

#include "store/SqliteStatement.h"
#include "store/StoreLog.h"

// The store's connection, its failures, the one walk along a key path, reading, and the
// transactions that every write runs in.

namespace th {

namespace {

// The fixed ids the schema gives the two roots.
constexpr qint64 kCurrentUserKeyId = 1;
constexpr qint64 kLocalMachineKeyId = 2;

std::optional<qint64> rootKeyId(RegRoot root)
{
    switch (root) {
    case RegRoot::CurrentUser:
        return kCurrentUserKeyId;
    case RegRoot::LocalMachine:
        return kLocalMachineKeyId;
    default:
        return std::nullopt;
    }
}

} // namespace

RegistryStore::RegistryStore(QString path, sqlite3 *db)
    : m_path(std::move(path))
    , m_db(db)
{
}

RegistryStore::~RegistryStore()
{
    m_statements.clear();
    sqlite3_close(m_db);
}

SqliteStatement &RegistryStore::statement(const char *sql) const
{
    std::unique_ptr<SqliteStatement> &slot = m_statements[sql];
    if (!slot)
        slot = std::make_unique<SqliteStatement>(m_db, sql);
    return *slot;
}

QString RegistryStore::failureText(const QString &what) const
{
    return QStringLiteral("The store %1: %2").arg(QDir::toNativeSeparators(m_path), what);
}

Error RegistryStore::readFailure() const
{
    // Readers stay silent: the caller of a checked reader reports the failure itself.
    return makeError(StoreError::CannotRead, failureText(QString::fromUtf8(sqlite3_errmsg(m_db))));
}

Error RegistryStore::failedWrite(const Error &error) const
{
    m_lastWriteError = error.message;
    ++m_failedWrites;
    qCWarning(lcStore).noquote() << m_lastWriteError;
    return makeError(StoreError::WriteFailed, error.message);
}

Error RegistryStore::writeFailure(const QString &what) const
{
    return failedWrite(makeError(StoreError::WriteFailed, failureText(what)));
}

Error RegistryStore::sqliteWriteFailure() const
{
    return writeFailure(QString::fromUtf8(sqlite3_errmsg(m_db)));
}

Result<void> RegistryStore::exec(const char *sql)
{
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK)
        return {};
    return sqliteWriteFailure();
}

Result<std::optional<qint64>> RegistryStore::walkFromRoot(
    RegRoot root, const QStringList &names, Walk how) const
{
    const std::optional<qint64> id = rootKeyId(root);
    if (id)
        return walk(*id, names, how);
    if (how == Walk::Find)
        return std::optional<qint64>();
    return writeFailure(QStringLiteral("the root %1 holds no keys").arg(regRootName(root)));
}

Result<std::optional<qint64>> RegistryStore::walk(qint64 from, const QStringList &names, Walk how) const
{
    qint64 id = from;
    StatementUse find(statement("SELECT id FROM reg_key WHERE parent = ?1 AND fold = ?2"));
    for (const QString &name : names) {
        find->reset();
        find->bind(1, id);
        find->bind(2, regFoldName(name));
        const int rc = find->step();
        if (rc == SQLITE_ROW) {
            id = find->int64(0);
            continue;
        }
        if (rc != SQLITE_DONE)
            return how == Walk::Find ? readFailure() : sqliteWriteFailure();
        if (how == Walk::Find)
            return std::optional<qint64>();
        if (name.size() > kMaxKeyNameLength)
            return writeFailure(
                QStringLiteral("a key name is longer than %1 characters").arg(kMaxKeyNameLength));
        StatementUse insert(statement("INSERT INTO reg_key(parent, name, fold) VALUES(?1, ?2, ?3)"));
        insert->bind(1, id);
        insert->bind(2, name);
        insert->bind(3, regFoldName(name));
        if (insert->step() != SQLITE_DONE)
            return sqliteWriteFailure();
        id = sqlite3_last_insert_rowid(m_db);
    }
    return std::optional<qint64>(id);
}

std::optional<qint64> RegistryStore::existingKey(RegRoot root, const QString &keyPath) const
{
    // A key that cannot be read is missing.
    return walkFromRoot(root, splitRegPath(keyPath), Walk::Find).valueOr(std::nullopt);
}

Result<void> RegistryStore::write(const std::function<Result<void>()> &change)
{
    if (m_transactionDepth > 0) {
        Result<void> changed = change();
        if (!changed)
            m_transactionFailed = true;
        return changed;
    }
    if (Result<void> begun = exec("BEGIN IMMEDIATE"); !begun)
        return begun;
    Result<void> changed = change();
    if (changed)
        changed = exec("COMMIT");
    if (!changed)
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    return changed;
}

bool RegistryStore::keyExists(RegRoot root, const QString &keyPath) const
{
    return existingKey(root, keyPath).has_value();
}

Result<void> RegistryStore::readSubKeyNames(RegRoot root, const QString &keyPath, QStringList &names) const
{
    const Result<std::optional<qint64>> key = walkFromRoot(root, splitRegPath(keyPath), Walk::Find);
    if (!key)
        return key.error();
    if (!key.value())
        return {};
    StatementUse list(statement("SELECT name FROM reg_key WHERE parent = ?1 ORDER BY fold"));
    list->bind(1, *key.value());
    int rc = SQLITE_ROW;
    while ((rc = list->step()) == SQLITE_ROW)
        names.append(list->text(0));
    if (rc == SQLITE_DONE)
        return {};
    return readFailure();
}

QStringList RegistryStore::subKeyNames(RegRoot root, const QString &keyPath) const
{
    QStringList names;
    (void)readSubKeyNames(root, keyPath, names);
    return names;
}

Result<QStringList> RegistryStore::checkedSubKeyNames(RegRoot root, const QString &keyPath) const
{
    QStringList names;
    if (Result<void> read = readSubKeyNames(root, keyPath, names); !read)
        return read.error();
    return names;
}

std::optional<RegValue> RegistryStore::value(
    RegRoot root, const QString &keyPath, const QString &valueName) const
{
    const std::optional<qint64> key = existingKey(root, keyPath);
    if (!key)
        return std::nullopt;
    StatementUse read(statement("SELECT name, kind, data FROM reg_value WHERE key = ?1 AND fold = ?2"));
    read->bind(1, *key);
    read->bind(2, regFoldName(regCleanName(valueName)));
    if (read->step() != SQLITE_ROW)
        return std::nullopt;
    return RegValue { read->text(0), quint32(read->int64(1)), read->blob(2) };
}

Result<void> RegistryStore::readValues(RegRoot root, const QString &keyPath, QList<RegValue> &values) const
{
    const Result<std::optional<qint64>> key = walkFromRoot(root, splitRegPath(keyPath), Walk::Find);
    if (!key)
        return key.error();
    if (!key.value())
        return {};
    StatementUse list(statement("SELECT name, kind, data FROM reg_value WHERE key = ?1 ORDER BY id"));
    list->bind(1, *key.value());
    int rc = SQLITE_ROW;
    while ((rc = list->step()) == SQLITE_ROW)
        values.append(RegValue { list->text(0), quint32(list->int64(1)), list->blob(2) });
    if (rc == SQLITE_DONE)
        return {};
    return readFailure();
}

QList<RegValue> RegistryStore::values(RegRoot root, const QString &keyPath) const
{
    QList<RegValue> result;
    (void)readValues(root, keyPath, result);
    return result;
}

Result<QList<RegValue>> RegistryStore::checkedValues(RegRoot root, const QString &keyPath) const
{
    QList<RegValue> result;
    if (Result<void> read = readValues(root, keyPath, result); !read)
        return read.error();
    return result;
}

Result<void> RegistryStore::transaction(const std::function<Result<void>()> &work)
{
    if (m_transactionDepth > 0) {
        Result<void> joined = work();
        if (!joined)
            m_transactionFailed = true;
        return joined;
    }
    if (Result<void> begun = exec("BEGIN IMMEDIATE"); !begun)
        return begun;
    m_transactionDepth = 1;
    m_transactionFailed = false;
    forgetWrittenKeys();
    Result<void> outcome = work();
    m_transactionDepth = 0;
    forgetWrittenKeys();
    if (outcome && !m_transactionFailed) {
        if (Result<void> committed = exec("COMMIT"); committed)
            return outcome;
    }
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    if (!outcome)
        return outcome;
    return makeError(StoreError::WriteFailed, m_lastWriteError);
}

} // namespace th
