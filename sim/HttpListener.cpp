#include "sim/HttpListener.h"

#include "sim/HttpConnection.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>

namespace th::sim {

HttpListener::HttpListener(HttpService service, QObject *parent)
    : QObject(parent)
    , m_service(std::move(service))
{
}

HttpListener::~HttpListener()
{
    // Connections refer to the service this listener holds: they go first.
    abortConnections();
    qDeleteAll(findChildren<HttpConnection *>(Qt::FindDirectChildrenOnly));
}

bool HttpListener::listen(const QHostAddress &address, quint16 port)
{
    stop();
    m_server = new QTcpServer(this);
    connect(m_server, &QTcpServer::newConnection, this, &HttpListener::acceptPending);
    if (!m_server->listen(address, port)) {
        m_error = m_server->errorString();
        delete m_server;
        m_server = nullptr;
        return false;
    }
    m_address = address;
    m_port = m_server->serverPort();
    return true;
}

void HttpListener::stop()
{
    if (!m_server)
        return;
    m_server->close();
    delete m_server;
    m_server = nullptr;
}

bool HttpListener::resume()
{
    if (m_server)
        return true;
    return listen(m_address, m_port);
}

bool HttpListener::isListening() const
{
    return m_server && m_server->isListening();
}

void HttpListener::abortConnections()
{
    const QList<HttpConnection *> connections = findChildren<HttpConnection *>(Qt::FindDirectChildrenOnly);
    for (HttpConnection *connection : connections)
        connection->abort();
}

int HttpListener::openConnections() const
{
    const QList<HttpConnection *> connections = findChildren<HttpConnection *>(Qt::FindDirectChildrenOnly);
    return int(std::count_if(connections.begin(), connections.end(),
        [](const HttpConnection *connection) { return connection->isOpen(); }));
}

void HttpListener::acceptPending()
{
    while (m_server && m_server->hasPendingConnections()) {
        QTcpSocket *socket = m_server->nextPendingConnection();
        auto *connection = new HttpConnection(socket, m_service, this);
        connect(connection, &HttpConnection::requestRead, this, &HttpListener::requestRead);
    }
}

} // namespace th::sim
