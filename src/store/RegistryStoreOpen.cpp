#include "store/RegistryStore.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QThread>

#include <sqlite3.h>

#include "store/SqliteStatement.h"
#include "store/StoreLog.h"

// Opening the store: creating a new file, and refusing, untouched, a file that is not a
// sound store of ours.

namespace th {

namespace {

// The schema below writes the same mark as a plain number.
constexpr qint64 kApplicationId = RegistryStore::kApplicationId;
constexpr qint64 kSchemaVersion = RegistryStore::kSchemaVersion;

// Keys form a tree whose two roots have the fixed ids 1 (current user) and 2 (local
// machine). `fold` is the name as names are compared; values keep their creation order in
// their row id, which an overwrite leaves alone.
const char kCreateSchema[] = R"sql(
CREATE TABLE reg_key(
    id INTEGER PRIMARY KEY,
    parent INTEGER REFERENCES reg_key(id) ON DELETE CASCADE,
    name TEXT NOT NULL,
    fold TEXT NOT NULL,
    UNIQUE(parent, fold));
CREATE TABLE reg_value(
    id INTEGER PRIMARY KEY,
    key INTEGER NOT NULL REFERENCES reg_key(id) ON DELETE CASCADE,
    name TEXT NOT NULL,
    fold TEXT NOT NULL,
    kind INTEGER NOT NULL,
    data BLOB NOT NULL,
    UNIQUE(key, fold));
INSERT INTO reg_key(id, parent, name, fold) VALUES
    (1, NULL, 'HKEY_CURRENT_USER', 'HKEY_CURRENT_USER'),
    (2, NULL, 'HKEY_LOCAL_MACHINE', 'HKEY_LOCAL_MACHINE');
PRAGMA application_id = 1414024018;
PRAGMA user_version = 1;
)sql";

Error openError(int code, const QString &path, const QString &why)
{
    return makeError(
        code, QStringLiteral("The store %1 cannot be opened: %2.").arg(QDir::toNativeSeparators(path), why));
}

Error sqliteOpenError(int rc, const QString &path, sqlite3 *db)
{
    const QString detail
        = (db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc))).simplified();
    switch (rc & 0xff) {
    case SQLITE_NOTADB:
        return openError(StoreError::NotAStore, path, QStringLiteral("it is not a store of this program"));
    case SQLITE_CORRUPT:
        return openError(StoreError::Damaged, path, QStringLiteral("it is damaged (%1)").arg(detail));
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return openError(StoreError::Locked, path, QStringLiteral("another program keeps it locked"));
    case SQLITE_FULL:
    case SQLITE_IOERR:
        // Opening writes the files beside the store; a full disk refuses them.
        return openError(StoreError::DiskRefused, path,
            QStringLiteral("the disk refuses to read or write it (%1); the disk may be full").arg(detail));
    default:
        return openError(StoreError::CannotRead, path, QStringLiteral("it cannot be read (%1)").arg(detail));
    }
}

// SQLite's lock bytes on a database file: a writer holds the shared range exclusively
// while it writes the file itself, for instance while it lays out a new store.
constexpr off_t kSqlitePendingByte = 0x40000000;
constexpr off_t kSqliteSharedFirst = kSqlitePendingByte + 2;
constexpr off_t kSqliteSharedSize = 510;

// Waits, up to `timeoutMs`, for a read lock that no SQLite writer of the file holds against.
// The lock belongs to `fd` alone (an open-file-description lock): closing it leaves the locks
// of every SQLite connection of this process alone.
bool lockAgainstWriters(int fd, int timeoutMs)
{
    struct flock lock { };
    lock.l_type = F_RDLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = kSqliteSharedFirst;
    lock.l_len = kSqliteSharedSize;
    QDeadlineTimer deadline(timeoutMs);
    while (::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
        if ((errno != EAGAIN && errno != EACCES && errno != EINTR) || deadline.hasExpired())
            return false;
        QThread::msleep(5);
    }
    return true;
}

// Looks at the file before SQLite does: a file that is not a SQLite database is not ours,
// and is refused without ever being opened for writing. An empty file is a store that lost
// its content (a new store appears only whole, see createStore): it is damaged, never taken
// for a new store. The look happens under SQLite's own lock, so a store that another
// program is writing this moment is seen before or after, never halfway.
Result<void> examineFile(const QString &path, int timeoutMs)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return openError(
            StoreError::CannotRead, path, QStringLiteral("it cannot be read (%1)").arg(file.errorString()));
    if (!lockAgainstWriters(file.handle(), timeoutMs))
        return openError(StoreError::Locked, path, QStringLiteral("another program keeps it locked"));
    const qint64 size = file.size();
    if (size == 0)
        return openError(StoreError::Damaged, path, QStringLiteral("it is empty (0 bytes)"));
    const QByteArray head = file.read(100);
    static const QByteArray magic("SQLite format 3\0", 16);
    if (head.size() < 100 || !head.startsWith(magic))
        return openError(StoreError::NotAStore, path, QStringLiteral("it is not a store of this program"));
    return {};
}

// The store holds the account passwords: only its owner may read it, whatever mode an
// older program or a copy left on the file and its journal files.
void makePrivate(const QString &path)
{
    for (const QString &suffix : { QString(), QStringLiteral("-wal"), QStringLiteral("-shm") }) {
        const QByteArray name = QFile::encodeName(path + suffix);
        struct stat info { };
        if (::stat(name.constData(), &info) != 0 || (info.st_mode & 0777) == 0600)
            continue;
        if (::chmod(name.constData(), 0600) != 0)
            qCWarning(lcStore, "The store file %s cannot be made private: %s", name.constData(),
                std::strerror(errno));
    }
}

// Lays out a new store in the file at `path` (a new, empty file).
Result<void> layOutStore(const QString &path)
{
    sqlite3 *db = nullptr;
    int rc = sqlite3_open_v2(
        QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, kCreateSchema, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    const QString why = rc == SQLITE_OK ? QString() : QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_close(db);
    if (rc != SQLITE_OK)
        return makeError(StoreError::CannotCreate,
            QStringLiteral("The store %1 cannot be created: %2.").arg(QDir::toNativeSeparators(path), why));
    return {};
}

// Puts the finished file `made` in place at `path` unless a file is there already (another
// program created the store first, which is as good). False with errno when neither happened.
bool placeUnlessPresent(const QByteArray &made, const QByteArray &path)
{
    if (::link(made.constData(), path.constData()) == 0 || errno == EEXIST)
        return true;
    // A file system without hard links: a rename that never replaces.
    return ::renameat2(AT_FDCWD, made.constData(), AT_FDCWD, path.constData(), RENAME_NOREPLACE) == 0
        || errno == EEXIST;
}

Error cannotCreate(const QString &path, int error)
{
    return makeError(StoreError::CannotCreate,
        QStringLiteral("The store %1 cannot be created: %2.")
            .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(error))));
}

// Creates the store when it is missing. The new store is laid out completely under a
// temporary name beside it, with owner-only access, and only then put in place, so the
// store file never exists half-made; programs creating it at the same moment all end up
// with the one that was placed first. SQLite gives its journal files the same mode.
Result<void> createStore(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    if (::access(native.constData(), F_OK) == 0)
        return {};
    const QString made = path + u".new-" + QString::number(::getpid()) + u'-'
        + QString::number(QRandomGenerator::global()->generate(), 36);
    const QByteArray madeName = QFile::encodeName(made);
    ::unlink(madeName.constData());
    const int fd = ::open(madeName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return cannotCreate(path, errno);
    ::close(fd);
    Result<void> laidOut = layOutStore(made);
    if (laidOut && !placeUnlessPresent(madeName, native))
        laidOut = cannotCreate(path, errno);
    ::unlink(madeName.constData());
    return laidOut;
}

// Runs a query of one number ("PRAGMA application_id", a count).
int queryNumber(sqlite3 *db, const char *sql, qint64 &number)
{
    SqliteStatement query(db, sql);
    if (!query.isValid())
        return sqlite3_errcode(db);
    const int rc = query.step();
    if (rc == SQLITE_ROW) {
        number = query.int64(0);
        return SQLITE_OK;
    }
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

int queryText(sqlite3 *db, const char *sql, QString &text)
{
    SqliteStatement query(db, sql);
    if (!query.isValid())
        return sqlite3_errcode(db);
    const int rc = query.step();
    if (rc == SQLITE_ROW) {
        text = query.text(0);
        return SQLITE_OK;
    }
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

// The mark of the program that laid out the database (0 for none) and how many tables it has.
int readLayout(sqlite3 *db, qint64 &applicationId, qint64 &tables)
{
    int rc = queryNumber(db, "PRAGMA application_id", applicationId);
    if (rc == SQLITE_OK)
        rc = queryNumber(db, "SELECT count(*) FROM sqlite_schema", tables);
    return rc;
}

// Ends the transaction begun on `db`: committed when all in it went well (`rc`), rolled back
// otherwise, with the error.
Result<void> endTransaction(sqlite3 *db, int rc, const QString &path)
{
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        return {};
    const Error error = sqliteOpenError(rc, path, db);
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return error;
}

// Checks an opened file. Nothing is written to a file that is not a sound store of ours.
Result<void> prepareStore(sqlite3 *db, const QString &path, int busyTimeoutMs)
{
    qint64 applicationId = 0;
    qint64 tables = 0;
    // Both looks in one read transaction, so that they see one state of the file.
    int rc = sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = readLayout(db, applicationId, tables);
    if (Result<void> ended = endTransaction(db, rc, path); !ended)
        return ended;

    if (applicationId != kApplicationId) {
        return openError(StoreError::NotAStore, path, QStringLiteral("it is not a store of this program"));
    } else {
        qint64 version = 0;
        QString check;
        rc = queryNumber(db, "PRAGMA user_version", version);
        if (rc == SQLITE_OK)
            rc = queryText(db, "PRAGMA quick_check", check);
        if (rc != SQLITE_OK)
            return sqliteOpenError(rc, path, db);
        if (check != u"ok") {
            // The check's report may run over several lines; the message stays on one.
            const QString detail = check.simplified().left(160);
            return openError(StoreError::Damaged, path, QStringLiteral("it is damaged (%1)").arg(detail));
        }
        if (version > kSchemaVersion)
            return openError(StoreError::NewerVersion, path,
                QStringLiteral("it was written by a newer version of this program"));
        if (version < kSchemaVersion)
            return openError(StoreError::Damaged, path, QStringLiteral("it is damaged (no version)"));
    }

    // A program that has just created the store switches it to the write-ahead log too; a
    // switch that would wait for it is refused at once by SQLite rather than waited for, so
    // it is tried again until the busy time-out.
    QString mode;
    const QDeadlineTimer deadline(busyTimeoutMs);
    while ((rc = queryText(db, "PRAGMA journal_mode = WAL", mode)) == SQLITE_BUSY && !deadline.hasExpired())
        QThread::msleep(5);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(
            db, "PRAGMA synchronous = FULL; PRAGMA foreign_keys = ON", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        return sqliteOpenError(rc, path, db);
    if (mode.compare(u"wal", Qt::CaseInsensitive) != 0)
        return openError(StoreError::Locked, path, QStringLiteral("another program keeps it locked"));
    return {};
}

} // namespace

Result<std::unique_ptr<RegistryStore>> RegistryStore::open(const QString &path, int busyTimeoutMs)
{
    if (Result<void> created = createStore(path); !created)
        return created.error();
    if (Result<void> examined = examineFile(path, busyTimeoutMs); !examined)
        return examined.error();
    makePrivate(path);

    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(
        QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const Error error = sqliteOpenError(rc, path, db);
        sqlite3_close(db);
        return error;
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, busyTimeoutMs);
    if (sqlite3_db_readonly(db, "main") == 1) {
        // Every write would be lost without a word.
        sqlite3_close(db);
        return openError(StoreError::ReadOnly, path, QStringLiteral("it cannot be written"));
    }
    if (Result<void> prepared = prepareStore(db, path, busyTimeoutMs); !prepared) {
        sqlite3_close(db);
        return prepared.error();
    }
    return std::unique_ptr<RegistryStore>(new RegistryStore(path, db));
}

Result<std::unique_ptr<RegistryStore>> RegistryStore::openInFolder(const QString &dataFolder)
{
    return open(QDir(dataFolder).filePath(QString::fromUtf16(kFileName)));
}

} // namespace th
