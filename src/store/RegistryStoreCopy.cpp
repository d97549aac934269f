#include "store/RegistryStore.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <sqlite3.h>

#include "store/SqliteStatement.h"

// Whole-store copies: the rolling backups are written, checked and restored here, always
// through SQLite's online backup so that a store in use is copied as one consistent state.

namespace th {

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString sqliteText(sqlite3 *db, int rc)
{
    return (db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc))).simplified();
}

// Runs a backup from `source` into `destination` to its end. Another program writing the
// store meanwhile only delays it, up to `timeoutMs`.
int runBackup(sqlite3 *destination, sqlite3 *source, int timeoutMs)
{
    sqlite3_backup *backup = sqlite3_backup_init(destination, "main", source, "main");
    if (!backup)
        return sqlite3_errcode(destination);
    const QDeadlineTimer deadline(timeoutMs);
    int rc = SQLITE_OK;
    while ((rc = sqlite3_backup_step(backup, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        if (deadline.hasExpired())
            break;
        QThread::msleep(5);
    }
    const int finished = sqlite3_backup_finish(backup);
    return rc == SQLITE_DONE ? finished : rc;
}

// The copy takes the store's pages as they are, the write-ahead-log mark of its header
// included; switching the copy to a rollback journal makes it one file that any reader
// opens without creating files beside it.
int makeSelfContained(const QString &path)
{
    sqlite3 *db = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, "PRAGMA journal_mode = DELETE", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return rc;
}

Error copyError(const QString &path, const QString &why)
{
    return makeError(StoreError::CopyFailed,
        QStringLiteral("The store could not be copied to %1: %2.").arg(native(path), why));
}

Error unsoundCopy(const QString &path, const QString &why)
{
    return makeError(StoreError::NotASoundCopy,
        QStringLiteral("%1 is not a sound copy of the store: %2.").arg(native(path), why));
}

// The first column of a query's first row; the reason when the query fails.
std::optional<QString> readOne(sqlite3 *db, const char *sql, QString &text)
{
    SqliteStatement statement(db, sql);
    const int rc = statement.isValid() ? statement.step() : sqlite3_errcode(db);
    if (rc == SQLITE_ROW)
        text = statement.text(0);
    if (rc == SQLITE_ROW || rc == SQLITE_DONE)
        return std::nullopt;
    if ((rc & 0xff) == SQLITE_NOTADB)
        return QStringLiteral("it is not a store of this program");
    if ((rc & 0xff) == SQLITE_CORRUPT)
        return QStringLiteral("it is damaged (%1)").arg(sqliteText(db, rc));
    return QStringLiteral("it cannot be read (%1)").arg(sqliteText(db, rc));
}

// Why the open database is not a sound store of ours; empty when it is.
QString unsoundReason(sqlite3 *db, qint64 applicationId, qint64 schemaVersion)
{
    QString text;
    if (std::optional<QString> failed = readOne(db, "PRAGMA application_id", text))
        return *failed;
    if (text.toLongLong() != applicationId)
        return QStringLiteral("it is not a store of this program");
    if (std::optional<QString> failed = readOne(db, "PRAGMA user_version", text))
        return *failed;
    if (text.toLongLong() > schemaVersion)
        return QStringLiteral("it was written by a newer version of this program");
    if (text.toLongLong() < schemaVersion)
        return QStringLiteral("it has no version");
    // The full check reads every page: a copy is only worth restoring when all of it reads.
    if (std::optional<QString> failed = readOne(db, "PRAGMA integrity_check", text))
        return *failed;
    if (text != u"ok")
        return QStringLiteral("it is damaged (%1)").arg(text.simplified().left(160));
    return QString();
}

} // namespace

Result<void> RegistryStore::copyTo(const QString &path) const
{
    const QString part = path + u".part";
    const QByteArray partName = QFile::encodeName(part);
    QFile::remove(part);
    const int fd = ::open(partName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return copyError(path, QString::fromLocal8Bit(std::strerror(errno)));
    // Held while the copy is written: a part file nobody holds was left by a copy that was
    // cut off, and StoreBackups clears those away.
    ::flock(fd, LOCK_EX);
    const auto fail = [&](const QString &why) {
        QFile::remove(part);
        ::close(fd);
        return copyError(path, why);
    };

    sqlite3 *copy = nullptr;
    int rc
        = sqlite3_open_v2(partName.constData(), &copy, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc == SQLITE_OK)
        rc = runBackup(copy, m_db, kDefaultBusyTimeoutMs);
    const QString why = sqliteText(copy, rc);
    sqlite3_close(copy);
    if (rc == SQLITE_OK)
        rc = makeSelfContained(part);
    if (rc != SQLITE_OK)
        return fail(why.isEmpty() ? QString::fromUtf8(sqlite3_errstr(rc)) : why);
    if (::rename(partName.constData(), QFile::encodeName(path).constData()) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    ::close(fd);
    return {};
}

Result<void> RegistryStore::replaceWith(const QString &path)
{
    sqlite3 *source = nullptr;
    int rc = sqlite3_open_v2(
        QFile::encodeName(path).constData(), &source, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    // No statement of ours may hold the store open while its pages are replaced; the
    // remembered keys belong to the content that goes.
    m_statements.clear();
    forgetWrittenKeys();
    if (rc == SQLITE_OK)
        rc = runBackup(m_db, source, kDefaultBusyTimeoutMs);
    const QString why = rc == SQLITE_OK ? QString() : sqliteText(m_db, rc);
    sqlite3_close(source);
    if (rc != SQLITE_OK) {
        writeFailure(QStringLiteral("cannot be restored from %1 (%2)").arg(native(path), why));
        return makeError(StoreError::WriteFailed,
            QStringLiteral("The store %1 could not be restored from %2: %3.")
                .arg(native(m_path), native(path), why));
    }
    return {};
}

Result<void> RegistryStore::checkCopy(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return unsoundCopy(path, QStringLiteral("there is no such file"));
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(
        QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    const QString why = rc == SQLITE_OK ? unsoundReason(db, kApplicationId, kSchemaVersion)
                                        : QStringLiteral("it cannot be opened (%1)").arg(sqliteText(db, rc));
    sqlite3_close(db);
    if (!why.isEmpty())
        return unsoundCopy(path, why);
    return {};
}

} // namespace th
