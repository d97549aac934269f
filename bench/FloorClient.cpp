#include "FloorClient.h"

#include <algorithm>

#include <QTcpSocket>

namespace th::bench {

FloorClient::FloorClient(
    const QString &host, quint16 port, const QList<QList<QByteArray>> &queues, QObject *parent)
    : QObject(parent)
    , m_host(host)
    , m_port(port)
    , m_scratch(64 * 1024, Qt::Uninitialized)
{
    for (const QList<QByteArray> &queue : queues) {
        const int index = int(m_connections.size());
        Connection connection;
        connection.socket = new QTcpSocket(this);
        connection.queue = queue;
        m_connections.append(connection);
        QTcpSocket *socket = connection.socket;
        connect(socket, &QTcpSocket::connected, this, [this, index] {
            const Connection &current = m_connections[index];
            current.socket->write(current.queue[current.next]);
        });
        connect(socket, &QTcpSocket::readyRead, this, [this, index] { drain(index); });
        connect(socket, &QTcpSocket::disconnected, this, [this, index] { endAnswer(index, false); });
        connect(socket, &QTcpSocket::errorOccurred, this, [this, index](QAbstractSocket::SocketError error) {
            // The server's close is reported as an error as well; the close itself ends the answer.
            if (error != QAbstractSocket::RemoteHostClosedError)
                endAnswer(index, true);
        });
    }
}

FloorClient::~FloorClient()
{
    for (Connection &connection : m_connections) {
        connection.socket->blockSignals(true);
        connection.socket->abort();
    }
}

void FloorClient::start()
{
    m_running = 0;
    m_totals = {};
    for (int i = 0; i < m_connections.size(); ++i) {
        m_connections[i].next = 0;
        if (m_connections[i].queue.isEmpty())
            continue;
        ++m_running;
        connectNext(i);
    }
    if (m_running == 0)
        Q_EMIT finished();
}

void FloorClient::connectNext(int index)
{
    Connection &connection = m_connections[index];
    connection.received = 0;
    connection.socket->connectToHost(m_host, m_port);
}

void FloorClient::drain(int index)
{
    Connection &connection = m_connections[index];
    for (;;) {
        const qint64 got = connection.socket->read(m_scratch.data(), m_scratch.size());
        if (got <= 0)
            return;
        connection.received += got;
    }
}

void FloorClient::endAnswer(int index, bool failed)
{
    Connection &connection = m_connections[index];
    drain(index);
    const bool blocked = connection.socket->blockSignals(true);
    connection.socket->abort();
    connection.socket->blockSignals(blocked);
    if (failed || connection.received == 0) {
        ++m_totals.failures;
    } else {
        ++m_totals.answers;
        m_totals.bytes += connection.received;
        if (m_totals.smallest < 0 || connection.received < m_totals.smallest)
            m_totals.smallest = connection.received;
        m_totals.largest = std::max(m_totals.largest, connection.received);
    }
    if (++connection.next < connection.queue.size()) {
        // As the engine does: the next connection starts from the event loop, never inside
        // the socket's own close notification.
        QMetaObject::invokeMethod(
            this, [this, index] { connectNext(index); }, Qt::QueuedConnection);
        return;
    }
    if (--m_running == 0)
        Q_EMIT finished();
}

} // namespace th::bench
