#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include "common/Result.h"
#include "store/RegValue.h"

struct sqlite3;

namespace th {

class SqliteStatement;

// Error codes of the store, stable per kind of failure.
namespace StoreError {
inline constexpr int CannotCreate = 101;
inline constexpr int CannotRead = 102;
inline constexpr int NotAStore = 103;
inline constexpr int Damaged = 104;
inline constexpr int Locked = 105;
inline constexpr int NewerVersion = 106;
inline constexpr int WriteFailed = 107;
inline constexpr int ReadOnly = 108;
inline constexpr int CopyFailed = 109;
inline constexpr int NotASoundCopy = 110;
// The disk refused to read or write the file (a full disk, above all): nothing is wrong
// with the store itself.
inline constexpr int DiskRefused = 111;
} // namespace StoreError

// Our registry: a hive of keys and values in one SQLite file (`registry.db` in the data
// folder), with the registry's own rules. Key and value names are case-insensitive and
// keep the case they were created with; sub-keys come back in case-insensitive name order,
// values in the order they were created (overwriting a value keeps its place). Every write
// is one committed transaction, written through to the disk, so that a crash or a kill
// loses at most the write in flight; another process may use the same file at the same time.
//
// A key path is a backslash-separated list of key names under a root; a leading, trailing
// or doubled backslash counts as one separator. Only the current-user and local-machine
// roots hold keys: reading another root finds nothing and writing to it fails.
class RegistryStore final {
public:
    static constexpr const char16_t kFileName[] = u"registry.db";
    static constexpr int kDefaultBusyTimeoutMs = 5000;
    // Longest key name the registry allows; a longer one is refused.
    static constexpr int kMaxKeyNameLength = 255;
    // How many values setValues writes with one statement.
    static constexpr qsizetype kMaxValuesAtOnce = 8;

    // Opens the store at `path`, creating it when the file does not exist; the file is made
    // owner-only (mode 0600) whatever mode it had. A file that exists but is not a store of
    // ours, is damaged (an empty file is) or stays locked by another process longer than
    // `busyTimeoutMs` is left exactly as it is and reported in an error naming the file: it
    // is never recreated, truncated or written to.
    static Result<std::unique_ptr<RegistryStore>> open(
        const QString &path, int busyTimeoutMs = kDefaultBusyTimeoutMs);
    // The store of a data folder.
    static Result<std::unique_ptr<RegistryStore>> openInFolder(const QString &dataFolder);

    ~RegistryStore();
    RegistryStore(const RegistryStore &) = delete;
    RegistryStore &operator=(const RegistryStore &) = delete;

    QString path() const { return m_path; }

    // Reading. A missing key reads as a key without values or sub-keys.
    bool keyExists(RegRoot root, const QString &keyPath) const;
    QStringList subKeyNames(RegRoot root, const QString &keyPath) const;
    std::optional<RegValue> value(RegRoot root, const QString &keyPath, const QString &valueName) const;
    QList<RegValue> values(RegRoot root, const QString &keyPath) const;
    // The same two readings for callers that must not take a store they cannot read (a
    // damaged file, a lock held past the time-out) for a missing or shorter key: such a
    // failure gives an error.
    Result<QStringList> checkedSubKeyNames(RegRoot root, const QString &keyPath) const;
    Result<QList<RegValue>> checkedValues(RegRoot root, const QString &keyPath) const;

    // Writing. Each call is its own committed transaction (unless it runs inside
    // `transaction`) and gives an error, naming the store and what it met, when nothing was
    // written. Every failed write is also logged and counted (see `failedWriteCount`).
    // Creates the key and every missing parent.
    Result<void> createKey(RegRoot root, const QString &keyPath);
    // Creates the key if needed and writes the value; an existing value of the same name
    // (in any case) is overwritten in its place and keeps the name it had.
    Result<void> setValue(RegRoot root, const QString &keyPath, const RegValue &value);
    // Writes the values to one key as setValue does each in turn, in one go: quicker when
    // there are many. An error when any of them could not be written.
    Result<void> setValues(RegRoot root, const QString &keyPath, const QList<RegValue> &values);
    // Succeeds also when there was nothing to delete.
    Result<void> deleteValue(RegRoot root, const QString &keyPath, const QString &valueName);
    // Deletes the key with all its sub-keys and values. Succeeds also when it did not exist.
    Result<void> deleteKey(RegRoot root, const QString &keyPath);

    // Runs `work` as one transaction: all of its writes are committed together, or, when
    // `work` or any of its writes fails, none of them.
    Result<void> transaction(const std::function<Result<void>()> &work);

    // Copies the whole store to a new file at `path` (mode 0600) through SQLite's online
    // backup, while other programs may go on using the store. The copy is written under a
    // temporary name beside `path` and renamed only when complete, so a failed copy never
    // leaves half a file under that name; it is one self-contained file, without a
    // write-ahead log beside it.
    Result<void> copyTo(const QString &path) const;
    // Replaces everything in the store with the content of the copy at `path`, through the
    // same backup mechanism and the store's own connection: the write-ahead log beside the
    // store stays consistent with the file. Check the copy with checkCopy first.
    Result<void> replaceWith(const QString &path);
    // Whether `path` is a sound copy of a store of ours: it opens, bears our mark, is of a
    // version this program reads and passes SQLite's full integrity check. Never writes to it.
    static Result<void> checkCopy(const QString &path);

    // How many writes have failed since the store was opened, and what the last of them met:
    // a caller that writes through functions which report nothing (a dialog's save) compares
    // the count before and after, and tells the user the message.
    quint64 failedWriteCount() const { return m_failedWrites; }
    QString lastWriteError() const { return m_lastWriteError; }

    // Marks a SQLite file as a store of this program ("THKR"); any other database is refused.
    static constexpr qint64 kApplicationId = 0x54484B52;
    static constexpr qint64 kSchemaVersion = 1;

private:
    RegistryStore(QString path, sqlite3 *db);

    SqliteStatement &statement(const char *sql) const;

    // Whether a walk along a key path stops at the first missing key or creates it.
    enum class Walk { Find, Create };
    // The key at the end of `names` below the key `from`, one name after the other. Find
    // gives no key when one on the way is missing and a read error when the store cannot be
    // read; Create makes the missing keys (inside a write only) and fails as a write does.
    Result<std::optional<qint64>> walk(qint64 from, const QStringList &names, Walk how) const;
    // The same walk from a root; a root that holds no keys has none to find or make.
    Result<std::optional<qint64>> walkFromRoot(RegRoot root, const QStringList &names, Walk how) const;
    // The key at `keyPath`; a key that cannot be read is missing.
    std::optional<qint64> existingKey(RegRoot root, const QString &keyPath) const;

    // Fill the list with what could be read; an error when the store could not be read.
    Result<void> readSubKeyNames(RegRoot root, const QString &keyPath, QStringList &names) const;
    Result<void> readValues(RegRoot root, const QString &keyPath, QList<RegValue> &values) const;
    Result<void> upsertValues(qint64 key, const RegValue *values, qsizetype count);
    const QString &foldedName(const QString &name);
    // The key `name` below `parent`, created when missing (inside a transaction only).
    Result<qint64> childKey(qint64 parent, const QString &name);
    // The key to write to, created when missing.
    Result<qint64> writableKey(RegRoot root, const QString &keyPath);
    void forgetWrittenKeys();
    Result<void> write(const std::function<Result<void>()> &change);
    Result<void> exec(const char *sql);

    // "The store <file>: <what>".
    QString failureText(const QString &what) const;
    // What the last step met, as a read error: readers stay silent, and the caller of a
    // checked reader reports the failure itself.
    Error readFailure() const;
    // Logs and counts a failed write, keeps its message for `lastWriteError` and gives it
    // as a write error.
    Error failedWrite(const Error &error) const;
    Error writeFailure(const QString &what) const;
    // The same for what SQLite's last step met.
    Error sqliteWriteFailure() const;

    QString m_path;
    sqlite3 *m_db = nullptr;
    int m_transactionDepth = 0;
    bool m_transactionFailed = false;
    // Inside a transaction no other process writes, so the key written last and its parent
    // are remembered by their paths as given: the values a script sets on one key then cost
    // one statement each. Forgotten when any key is deleted and when the transaction ends.
    struct WrittenKey {
        RegRoot root;
        QString path;
        qint64 id = 0;
    };
    std::optional<WrittenKey> m_writtenKey;
    std::optional<WrittenKey> m_writtenParent;
    bool m_lastChildWasNew = false;
    // The folded forms of the value names written last: many values, few names.
    std::array<std::pair<QString, QString>, 16> m_folds;
    std::size_t m_nextFold = 0;
    mutable QString m_lastWriteError;
    mutable quint64 m_failedWrites = 0;
    mutable std::unordered_map<const char *, std::unique_ptr<SqliteStatement>> m_statements;
};

} // namespace th
