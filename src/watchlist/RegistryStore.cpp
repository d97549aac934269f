#include "watchlist/RegistryStore.h"

#include <array>

#include <QDir>

#include <sqlite3.h>

#include "watchlist/SqliteStatement.h"
#include "watchlist/WatchListLog.h"

namespace th {

namespace {

// The fixed ids the schema gives the two roots.
constexpr qint64 kCurrentUserKeyId = 1;
constexpr qint64 kLocalMachineKeyId = 2;

// Resets a cached statement before and after its use, so that no statement keeps a read
// transaction open between two calls (another process could not checkpoint meanwhile).
class Use final {
public:
    explicit Use(SqliteStatement &statement)
        : m_statement(statement)
    {
        m_statement.reset();
    }
    ~Use() { m_statement.reset(); }
    Use(const Use &) = delete;
    Use &operator=(const Use &) = delete;
    SqliteStatement *operator->() { return &m_statement; }

private:
    SqliteStatement &m_statement;
};

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

void RegistryStore::noteError(const QString &what) const
{
    m_lastError = QStringLiteral("The store %1: %2").arg(QDir::toNativeSeparators(m_path), what);
    ++m_failedWrites;
    qCWarning(lcWatchList).noquote() << m_lastError;
}

void RegistryStore::noteReadError() const
{
    m_lastError = QStringLiteral("The store %1: %2")
                      .arg(QDir::toNativeSeparators(m_path), QString::fromUtf8(sqlite3_errmsg(m_db)));
}

bool RegistryStore::exec(const char *sql)
{
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    noteError(QString::fromUtf8(sqlite3_errmsg(m_db)));
    return false;
}

std::optional<qint64> RegistryStore::findKey(RegRoot root, const QStringList &names, bool *failed) const
{
    std::optional<qint64> id = rootKeyId(root);
    if (!id)
        return std::nullopt;
    Use find(statement("SELECT id FROM reg_key WHERE parent = ?1 AND fold = ?2"));
    for (const QString &name : names) {
        find->reset();
        find->bind(1, *id);
        find->bind(2, regFoldName(name));
        const int rc = find->step();
        if (rc == SQLITE_ROW) {
            id = find->int64(0);
            continue;
        }
        if (rc != SQLITE_DONE && failed) {
            noteReadError();
            *failed = true;
        }
        return std::nullopt;
    }
    return id;
}

std::optional<qint64> RegistryStore::ensureKey(RegRoot root, const QStringList &names)
{
    const std::optional<qint64> id = rootKeyId(root);
    if (!id) {
        noteError(QStringLiteral("the root %1 holds no keys").arg(regRootName(root)));
        return std::nullopt;
    }
    return ensureKeyBelow(*id, names);
}

std::optional<qint64> RegistryStore::ensureKeyBelow(qint64 parent, const QStringList &names)
{
    std::optional<qint64> id = parent;
    Use find(statement("SELECT id FROM reg_key WHERE parent = ?1 AND fold = ?2"));
    for (const QString &name : names) {
        find->reset();
        find->bind(1, *id);
        find->bind(2, regFoldName(name));
        const int rc = find->step();
        if (rc == SQLITE_ROW) {
            id = find->int64(0);
            continue;
        }
        if (rc != SQLITE_DONE) {
            noteError(QString::fromUtf8(sqlite3_errmsg(m_db)));
            return std::nullopt;
        }
        if (name.size() > kMaxKeyNameLength) {
            noteError(QStringLiteral("a key name is longer than %1 characters").arg(kMaxKeyNameLength));
            return std::nullopt;
        }
        Use insert(statement("INSERT INTO reg_key(parent, name, fold) VALUES(?1, ?2, ?3)"));
        insert->bind(1, *id);
        insert->bind(2, name);
        insert->bind(3, regFoldName(name));
        if (insert->step() != SQLITE_DONE) {
            noteError(QString::fromUtf8(sqlite3_errmsg(m_db)));
            return std::nullopt;
        }
        id = sqlite3_last_insert_rowid(m_db);
    }
    return id;
}

bool RegistryStore::write(const std::function<bool()> &change)
{
    if (m_transactionDepth > 0) {
        if (change())
            return true;
        m_transactionFailed = true;
        return false;
    }
    if (!exec("BEGIN IMMEDIATE"))
        return false;
    if (!change() || !exec("COMMIT")) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    }
    return true;
}

bool RegistryStore::keyExists(RegRoot root, const QString &keyPath) const
{
    return findKey(root, splitRegPath(keyPath)).has_value();
}

bool RegistryStore::readSubKeyNames(RegRoot root, const QString &keyPath, QStringList &names) const
{
    bool failed = false;
    const std::optional<qint64> key = findKey(root, splitRegPath(keyPath), &failed);
    if (!key)
        return !failed;
    Use list(statement("SELECT name FROM reg_key WHERE parent = ?1 ORDER BY fold"));
    list->bind(1, *key);
    int rc = SQLITE_ROW;
    while ((rc = list->step()) == SQLITE_ROW)
        names.append(list->text(0));
    if (rc == SQLITE_DONE)
        return true;
    noteReadError();
    return false;
}

QStringList RegistryStore::subKeyNames(RegRoot root, const QString &keyPath) const
{
    QStringList names;
    readSubKeyNames(root, keyPath, names);
    return names;
}

Result<QStringList> RegistryStore::checkedSubKeyNames(RegRoot root, const QString &keyPath) const
{
    QStringList names;
    if (!readSubKeyNames(root, keyPath, names))
        return makeError(StoreError::CannotRead, m_lastError);
    return names;
}

std::optional<RegValue> RegistryStore::value(
    RegRoot root, const QString &keyPath, const QString &valueName) const
{
    const std::optional<qint64> key = findKey(root, splitRegPath(keyPath));
    if (!key)
        return std::nullopt;
    Use read(statement("SELECT name, kind, data FROM reg_value WHERE key = ?1 AND fold = ?2"));
    read->bind(1, *key);
    read->bind(2, regFoldName(regCleanName(valueName)));
    if (read->step() != SQLITE_ROW)
        return std::nullopt;
    return RegValue { read->text(0), quint32(read->int64(1)), read->blob(2) };
}

bool RegistryStore::readValues(RegRoot root, const QString &keyPath, QList<RegValue> &values) const
{
    bool failed = false;
    const std::optional<qint64> key = findKey(root, splitRegPath(keyPath), &failed);
    if (!key)
        return !failed;
    Use list(statement("SELECT name, kind, data FROM reg_value WHERE key = ?1 ORDER BY id"));
    list->bind(1, *key);
    int rc = SQLITE_ROW;
    while ((rc = list->step()) == SQLITE_ROW)
        values.append(RegValue { list->text(0), quint32(list->int64(1)), list->blob(2) });
    if (rc == SQLITE_DONE)
        return true;
    noteReadError();
    return false;
}

QList<RegValue> RegistryStore::values(RegRoot root, const QString &keyPath) const
{
    QList<RegValue> result;
    readValues(root, keyPath, result);
    return result;
}

Result<QList<RegValue>> RegistryStore::checkedValues(RegRoot root, const QString &keyPath) const
{
    QList<RegValue> result;
    if (!readValues(root, keyPath, result))
        return makeError(StoreError::CannotRead, m_lastError);
    return result;
}

std::optional<qint64> RegistryStore::childKey(qint64 parent, const QString &name)
{
    // A script restoring items into a new store adds one new key after another; one that
    // restores over the same store finds them all. Whichever the last key was, the next is
    // taken to be alike, and tried that way first.
    if (!m_lastChildWasNew || name.size() > kMaxKeyNameLength) {
        const int changes = sqlite3_total_changes(m_db);
        const std::optional<qint64> id = ensureKeyBelow(parent, QStringList { name });
        m_lastChildWasNew = sqlite3_total_changes(m_db) != changes;
        return id;
    }
    Use insert(statement("INSERT INTO reg_key(parent, name, fold) VALUES(?1, ?2, ?3) "
                         "ON CONFLICT(parent, fold) DO NOTHING"));
    insert->bind(1, parent);
    insert->bind(2, name);
    insert->bind(3, regFoldName(name));
    if (insert->step() != SQLITE_DONE) {
        noteError(QString::fromUtf8(sqlite3_errmsg(m_db)));
        return std::nullopt;
    }
    if (sqlite3_changes(m_db) > 0)
        return sqlite3_last_insert_rowid(m_db);
    m_lastChildWasNew = false;
    return ensureKeyBelow(parent, QStringList { name });
}

std::optional<qint64> RegistryStore::writableKey(RegRoot root, const QString &keyPath)
{
    // A NUL ends a path, so a path holding one cannot be cut at its last backslash.
    if (m_transactionDepth == 0 || keyPath.contains(QChar(0)))
        return ensureKey(root, splitRegPath(keyPath));
    const auto matches = [&](const std::optional<WrittenKey> &key, QStringView path) {
        return key && key->root == root && key->path == path;
    };
    if (matches(m_writtenKey, keyPath))
        return m_writtenKey->id;

    // The next key of a script is most often a sibling or a child of the last one: found
    // from their parent, it takes one look-up instead of one per name of its path.
    const qsizetype cut = std::max<qsizetype>(keyPath.lastIndexOf(u'\\'), 0);
    const QStringView parentPath = QStringView(keyPath).left(cut);
    std::optional<qint64> parent;
    if (matches(m_writtenParent, parentPath))
        parent = m_writtenParent->id;
    else if (matches(m_writtenKey, parentPath))
        parent = m_writtenKey->id;
    else
        parent = ensureKey(root, splitRegPath(parentPath));
    if (!parent)
        return std::nullopt;
    // After the last backslash there is one name at most.
    QStringView last = QStringView(keyPath).mid(cut);
    if (last.startsWith(u'\\'))
        last = last.mid(1);
    const std::optional<qint64> id = last.isEmpty() ? parent : childKey(*parent, last.toString());
    if (!id)
        return std::nullopt;
    if (!matches(m_writtenParent, parentPath))
        m_writtenParent = WrittenKey { root, parentPath.toString(), *parent };
    m_writtenKey = WrittenKey { root, keyPath, *id };
    return id;
}

bool RegistryStore::createKey(RegRoot root, const QString &keyPath)
{
    return write([&] { return writableKey(root, keyPath).has_value(); });
}

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

} // namespace

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

bool RegistryStore::upsertValues(qint64 key, const RegValue *values, qsizetype count)
{
    Use upsert(statement(upsertSql(count)));
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
        return true;
    noteError(QString::fromUtf8(sqlite3_errmsg(m_db)));
    return false;
}

bool RegistryStore::setValue(RegRoot root, const QString &keyPath, const RegValue &value)
{
    return write([&] {
        const std::optional<qint64> key = writableKey(root, keyPath);
        return key && upsertValues(*key, &value, 1);
    });
}

bool RegistryStore::setValues(RegRoot root, const QString &keyPath, const QList<RegValue> &values)
{
    return write([&] {
        const std::optional<qint64> key = writableKey(root, keyPath);
        if (!key)
            return false;
        for (qsizetype done = 0; done < values.size(); done += kMaxValuesAtOnce) {
            if (!upsertValues(
                    *key, values.constData() + done, std::min(kMaxValuesAtOnce, values.size() - done)))
                return false;
        }
        return true;
    });
}

bool RegistryStore::deleteValue(RegRoot root, const QString &keyPath, const QString &valueName)
{
    const QStringList names = splitRegPath(keyPath);
    const QString fold = regFoldName(regCleanName(valueName));
    return write([&] {
        const std::optional<qint64> key = findKey(root, names);
        if (!key)
            return true;
        Use remove(statement("DELETE FROM reg_value WHERE key = ?1 AND fold = ?2"));
        remove->bind(1, *key);
        remove->bind(2, fold);
        if (remove->step() == SQLITE_DONE)
            return true;
        noteError(QString::fromUtf8(sqlite3_errmsg(m_db)));
        return false;
    });
}

bool RegistryStore::deleteKey(RegRoot root, const QString &keyPath)
{
    const QStringList names = splitRegPath(keyPath);
    if (names.isEmpty()) {
        noteError(QStringLiteral("a root key cannot be deleted"));
        return false;
    }
    m_writtenKey.reset();
    m_writtenParent.reset();
    return write([&] {
        const std::optional<qint64> key = findKey(root, names);
        if (!key)
            return true;
        // The sub-keys and values go with it (the tables cascade).
        Use remove(statement("DELETE FROM reg_key WHERE id = ?1"));
        remove->bind(1, *key);
        if (remove->step() == SQLITE_DONE)
            return true;
        noteError(QString::fromUtf8(sqlite3_errmsg(m_db)));
        return false;
    });
}

Result<void> RegistryStore::transaction(const std::function<Result<void>()> &work)
{
    if (m_transactionDepth > 0) {
        Result<void> joined = work();
        if (!joined)
            m_transactionFailed = true;
        return joined;
    }
    if (!exec("BEGIN IMMEDIATE"))
        return makeError(StoreError::WriteFailed, m_lastError);
    m_transactionDepth = 1;
    m_transactionFailed = false;
    m_writtenKey.reset();
    m_writtenParent.reset();
    Result<void> outcome = work();
    m_transactionDepth = 0;
    m_writtenKey.reset();
    m_writtenParent.reset();
    if (outcome && !m_transactionFailed && exec("COMMIT"))
        return outcome;
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    if (!outcome)
        return outcome;
    return makeError(StoreError::WriteFailed, m_lastError);
}

} // namespace th
