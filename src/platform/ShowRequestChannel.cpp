#include "platform/ShowRequestChannel.h"

#include <memory>

#include <QLocalServer>
#include <QLocalSocket>

#include "platform/PlatformLog.h"

namespace th {

namespace {

const QByteArray kShowRequest = QByteArrayLiteral("show\n");
// A request is one short line; anything longer is not ours.
constexpr qint64 kMaxRequestBytes = 64;

} // namespace

ShowRequestChannel::ShowRequestChannel(QString socketPath, QObject *parent)
    : QObject(parent)
    , m_socketPath(std::move(socketPath))
{
}

ShowRequestChannel::~ShowRequestChannel() = default;

bool ShowRequestChannel::listen()
{
    if (isListening())
        return true;
    if (!m_server) {
        m_server = new QLocalServer(this);
        // Only the user who runs the program may ask it for its window.
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &ShowRequestChannel::acceptConnections);
    }
    // The caller holds the lock: a socket file still there was left by a program that died.
    QLocalServer::removeServer(m_socketPath);
    if (!m_server->listen(m_socketPath)) {
        qCWarning(
            lcPlatform, "A later start cannot reach this program: %s", qPrintable(m_server->errorString()));
        return false;
    }
    return true;
}

bool ShowRequestChannel::isListening() const
{
    return m_server && m_server->isListening();
}

void ShowRequestChannel::acceptConnections()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        socket->setParent(this);
        // The request may arrive with the connection or after it, and the sender may have
        // gone already: every way ends in reading what is there.
        auto answered = std::make_shared<bool>(false);
        const auto read = [this, socket, answered] {
            if (*answered)
                return;
            if (socket->bytesAvailable() > kMaxRequestBytes) {
                *answered = true;
                socket->abort();
                return;
            }
            if (!socket->canReadLine())
                return;
            *answered = true;
            const QByteArray line = socket->readLine(kMaxRequestBytes);
            socket->disconnectFromServer();
            if (line == kShowRequest)
                Q_EMIT showRequested();
        };
        connect(socket, &QLocalSocket::readyRead, this, read);
        connect(socket, &QLocalSocket::disconnected, this, [socket, read] {
            read();
            socket->deleteLater();
        });
        read();
    }
}

bool ShowRequestChannel::sendShowRequest(const QString &socketPath, int timeoutMsecs)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath, QIODevice::WriteOnly);
    if (!socket.waitForConnected(timeoutMsecs))
        return false;
    socket.write(kShowRequest);
    const bool sent = socket.waitForBytesWritten(timeoutMsecs) || socket.bytesToWrite() == 0;
    socket.disconnectFromServer();
    return sent;
}

} // namespace th
