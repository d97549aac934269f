#include "clock/DaytimeQuery.h"

#include <QSignalBlocker>
#include <QTcpSocket>

#include "clock/ClockLog.h"

namespace th {

namespace {
// A daytime line is about fifty characters; anything much longer is not a daytime reply,
// and a server that keeps sending is not allowed to fill the memory.
constexpr qsizetype kMaxReply = 4096;
} // namespace

DaytimeQuery::DaytimeQuery(QObject *parent)
    : QObject(parent)
    , wskAtom(new QTcpSocket(this))
{
    connect(wskAtom, &QTcpSocket::readyRead, this, [this] {
        collect();
        if (replyComplete())
            deliver();
    });
    connect(wskAtom, &QTcpSocket::disconnected, this, &DaytimeQuery::onDisconnected);
    connect(wskAtom, &QTcpSocket::errorOccurred, this, &DaytimeQuery::onErrorOccurred);
}

void DaytimeQuery::query(const HostPort &server)
{
    close();
    wskAtom->connectToHost(server.host, server.port);
}

void DaytimeQuery::close()
{
    ++m_generation;
    closeQuietly();
    m_reply.clear();
}

bool DaytimeQuery::isActive() const
{
    return wskAtom->state() != QAbstractSocket::UnconnectedState;
}

void DaytimeQuery::collect()
{
    const QByteArray arrived = wskAtom->readAll();
    m_reply.append(arrived.left(kMaxReply - m_reply.size()));
}

bool DaytimeQuery::replyComplete() const
{
    const qsizetype colon = m_reply.indexOf(':');
    return m_reply.size() >= kMaxReply || (colon >= 0 && m_reply.indexOf('\n', colon) >= 0);
}

void DaytimeQuery::deliver()
{
    const QString text = QString::fromLatin1(m_reply);
    m_reply.clear();
    closeQuietly();
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, text, generation] {
            if (generation == m_generation)
                Q_EMIT replyReceived(text);
        },
        Qt::QueuedConnection);
}

void DaytimeQuery::onDisconnected()
{
    // Only the server's close gets here (ours blocks the socket's signals).
    collect();
    if (!m_reply.isEmpty())
        deliver();
}

void DaytimeQuery::onErrorOccurred(QAbstractSocket::SocketError error)
{
    // The server's close after its reply also reports itself as an error; the close
    // handler deals with it.
    if (error == QAbstractSocket::RemoteHostClosedError)
        return;
    qCInfo(lcClock) << "Time-server query failed:" << wskAtom->errorString();
    m_reply.clear();
    closeQuietly();
}

void DaytimeQuery::closeQuietly()
{
    const QSignalBlocker blocker(wskAtom);
    wskAtom->abort();
}

} // namespace th
