#include "store/SqliteStatement.h"

#include <algorithm>

#include <sqlite3.h>

namespace th {

SqliteStatement::SqliteStatement(sqlite3 *db, const char *sql)
{
    if (sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr) != SQLITE_OK)
        m_stmt = nullptr;
    // One more than the parameters: an index out of range (which SQLite refuses) uses it.
    const std::size_t slots = std::size_t(m_stmt ? sqlite3_bind_parameter_count(m_stmt) : 0) + 1;
    m_texts.resize(slots);
    m_blobs.resize(slots);
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_stmt);
}

void SqliteStatement::reset()
{
    if (!m_stmt)
        return;
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    // The texts' buffers are used again; the blobs belong to the callers.
    for (QByteArray &blob : m_blobs)
        blob.clear();
}

std::size_t SqliteStatement::slot(int index) const
{
    return index >= 1 && std::size_t(index) < m_texts.size() ? std::size_t(index) : 0;
}

void SqliteStatement::bind(int index, qint64 number)
{
    sqlite3_bind_int64(m_stmt, index, number);
}

void SqliteStatement::bind(int index, const QString &text)
{
    QByteArray &utf8 = m_texts[slot(index)];
    const bool ascii = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
    if (ascii) {
        utf8.resize(text.size());
        char *out = utf8.data();
        for (const QChar c : text)
            *out++ = char(c.unicode());
    } else {
        utf8 = text.toUtf8();
    }
    sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_STATIC);
}

void SqliteStatement::bind(int index, const QByteArray &blob)
{
    QByteArray &held = m_blobs[slot(index)];
    held = blob;
    // A zero-length blob is still a blob, never NULL, so the NOT NULL column accepts it.
    sqlite3_bind_blob(m_stmt, index, held.isEmpty() ? "" : held.constData(), int(held.size()), SQLITE_STATIC);
}

void SqliteStatement::bindNull(int index)
{
    sqlite3_bind_null(m_stmt, index);
}

int SqliteStatement::step()
{
    return m_stmt ? sqlite3_step(m_stmt) : SQLITE_MISUSE;
}

qint64 SqliteStatement::int64(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

QString SqliteStatement::text(int column) const
{
    const auto *utf8 = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return QString::fromUtf8(utf8, sqlite3_column_bytes(m_stmt, column));
}

QByteArray SqliteStatement::blob(int column) const
{
    const void *bytes = sqlite3_column_blob(m_stmt, column);
    const int size = sqlite3_column_bytes(m_stmt, column);
    return bytes ? QByteArray(static_cast<const char *>(bytes), size) : QByteArray();
}

} // namespace th
