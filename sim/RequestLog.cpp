#include "sim/RequestLog.h"

namespace th::sim {

qint64 RequestLog::open(const QDateTime &connectedAt, quint16 peerPort)
{
    LoggedRequest entry;
    entry.id = m_nextId++;
    entry.connectedAt = connectedAt;
    entry.peerPort = peerPort;
    m_entries.append(entry);
    return entry.id;
}

void RequestLog::appendBytes(qint64 id, const QByteArray &bytes)
{
    if (LoggedRequest *entry = find(id))
        entry->raw.append(bytes);
}

void RequestLog::setRequestLine(qint64 id, const QByteArray &method, const QByteArray &target)
{
    if (LoggedRequest *entry = find(id)) {
        entry->method = method;
        entry->target = target;
    }
}

void RequestLog::markRefused(qint64 id)
{
    if (LoggedRequest *entry = find(id))
        entry->refused = true;
}

void RequestLog::discard(qint64 id)
{
    m_entries.removeIf([id](const LoggedRequest &entry) { return entry.id == id; });
}

QList<LoggedRequest> RequestLog::entriesFor(const QByteArray &targetPart) const
{
    QList<LoggedRequest> result;
    for (const LoggedRequest &entry : m_entries) {
        if (entry.target.contains(targetPart))
            result.append(entry);
    }
    return result;
}

LoggedRequest *RequestLog::find(qint64 id)
{
    // Connections still open are the newest, at the end.
    for (qsizetype i = m_entries.size() - 1; i >= 0; --i) {
        if (m_entries[i].id == id)
            return &m_entries[i];
    }
    return nullptr;
}

} // namespace th::sim
