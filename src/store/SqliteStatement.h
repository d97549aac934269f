#pragma once

#include <vector>

#include <QByteArray>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

namespace th {

// One prepared statement of the store, reset and stripped of its bindings each time it is
// handed out again. Used only inside the store.
class SqliteStatement final {
public:
    SqliteStatement(sqlite3 *db, const char *sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    bool isValid() const { return m_stmt != nullptr; }
    void reset();

    void bind(int index, qint64 number);
    void bind(int index, const QString &text);
    void bind(int index, const QByteArray &blob);
    void bindNull(int index);

    // The result code of one step: SQLITE_ROW, SQLITE_DONE or an error.
    int step();

    qint64 int64(int column) const;
    QString text(int column) const;
    QByteArray blob(int column) const;

private:
    std::size_t slot(int index) const;

    sqlite3_stmt *m_stmt = nullptr;
    // The bytes of the bound texts and blobs, by parameter index, kept here until the next
    // binding or reset so that SQLite reads them in place instead of copying each one.
    std::vector<QByteArray> m_texts;
    std::vector<QByteArray> m_blobs;
};

// A cached statement in use: reset before and after, so that no statement keeps a read
// transaction open between two calls (another process could not checkpoint meanwhile).
class StatementUse final {
public:
    explicit StatementUse(SqliteStatement &statement)
        : m_statement(statement)
    {
        m_statement.reset();
    }
    ~StatementUse() { m_statement.reset(); }
    StatementUse(const StatementUse &) = delete;
    StatementUse &operator=(const StatementUse &) = delete;
    SqliteStatement *operator->() { return &m_statement; }

private:
    SqliteStatement &m_statement;
};

} // namespace th
