#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>

namespace th::sim {

// Every connection made to the site, with every byte the client sent on it, exactly as
// received: what a test or a benchmark checks the program's requests against.
struct LoggedRequest {
    qint64 id = 0;
    // Simulator time of the connection.
    QDateTime connectedAt;
    quint16 peerPort = 0;
    QByteArray raw;
    // Parsed from the request line when one arrived; empty otherwise.
    QByteArray method;
    QByteArray target;
    // The connection was dropped without answering (a refusal fault).
    bool refused = false;
};

class RequestLog final {
public:
    // Opens an entry for a new connection and returns its id.
    qint64 open(const QDateTime &connectedAt, quint16 peerPort);
    void appendBytes(qint64 id, const QByteArray &bytes);
    void setRequestLine(qint64 id, const QByteArray &method, const QByteArray &target);
    void markRefused(qint64 id);
    // Forgets an entry (a connection that turned out to belong to the control interface).
    void discard(qint64 id);

    const QList<LoggedRequest> &entries() const { return m_entries; }
    // Entries whose request target contains the text.
    QList<LoggedRequest> entriesFor(const QByteArray &targetPart) const;
    void clear() { m_entries.clear(); }

private:
    LoggedRequest *find(qint64 id);

    QList<LoggedRequest> m_entries;
    qint64 m_nextId = 1;
};

} // namespace th::sim
