#pragma once

#include <QAbstractSocket>
#include <QByteArray>
#include <QObject>
#include <QString>

#include "common/HostPort.h"

class QTcpSocket;

namespace th {

// One daytime query over TCP (the clock's socket `wskAtom`): connect, send nothing, read
// the one line the server answers and hand it on as text; never interprets it. The server
// usually sends a line feed, the line and a line feed, then closes. The reply is handed on
// once a line feed follows its first colon, or when the server closes after sending
// anything at all; then the connection is closed. A refused connection, a failed look-up
// or a server that closes without a word hands on nothing. There is no time-out here: the
// caller closes or queries again when it has waited long enough.
class DaytimeQuery final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DaytimeQuery)

public:
    explicit DaytimeQuery(QObject *parent = nullptr);

    // Closes any previous connection, dropping its reply, and connects to `server`.
    void query(const HostPort &server);
    // Closes the connection; a reply not yet handed on is dropped.
    void close();
    // True from query() until the connection has ended.
    bool isActive() const;

Q_SIGNALS:
    // The server's answer, one byte one character. Delivered through the event loop, so a
    // receiver may query again at once.
    void replyReceived(const QString &text);

private:
    void collect();
    bool replyComplete() const;
    void deliver();
    void onDisconnected();
    void onErrorOccurred(QAbstractSocket::SocketError error);
    void closeQuietly();

    QTcpSocket *wskAtom;
    QByteArray m_reply;
    // Counts queries and closes, so that a reply queued for an older query is dropped.
    quint64 m_generation = 0;
};

} // namespace th
