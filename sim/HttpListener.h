#pragma once

#include "sim/HttpMessage.h"

#include <QHostAddress>
#include <QObject>

#include <functional>

class QTcpServer;

namespace th::sim {

class FaultPlan;
class RequestLog;

// What a listener needs from the simulator to serve one kind of traffic.
struct HttpService {
    // Builds the answer to a complete request.
    std::function<HttpResponse(const HttpRequest &)> handle;
    // The item a request is about (0: none), from its target and, for a form post, its body.
    std::function<qint64(const QByteArray &target, const QByteArray &body)> itemOf;
    // Paths that faults never touch and the log never records (the control interface).
    std::function<bool(const QByteArray &path)> isExempt;
    std::function<QDateTime()> now;
    // Both optional: a listener without them neither logs nor misbehaves.
    RequestLog *log = nullptr;
    FaultPlan *faults = nullptr;
};

// A TCP listener that speaks just enough HTTP: it reads each request whole (headers and
// Content-Length body), answers it once and closes, applying the faults in force.
class HttpListener final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HttpListener)

public:
    explicit HttpListener(HttpService service, QObject *parent = nullptr);
    ~HttpListener() override;

    // Port 0 takes a free port. Listening again after stop() reuses the port it had.
    bool listen(const QHostAddress &address, quint16 port);
    // Stops accepting: new connections are refused by the system. Open ones go on.
    void stop();
    bool resume();
    bool isListening() const;
    QHostAddress address() const { return m_address; }
    quint16 port() const { return m_port; }
    QString errorString() const { return m_error; }

    // Drops every open connection (those kept open by a fault included).
    void abortConnections();
    int openConnections() const;

Q_SIGNALS:
    // A request was read whole (the control interface's included).
    void requestRead(const QByteArray &target);

private:
    void acceptPending();

    HttpService m_service;
    QTcpServer *m_server = nullptr;
    QHostAddress m_address;
    quint16 m_port = 0;
    QString m_error;
};

} // namespace th::sim
