#pragma once

#include "sim/Faults.h"
#include "sim/HttpListener.h"
#include "sim/HttpMessage.h"

#include <QObject>

class QTcpSocket;
class QTimer;

namespace th::sim {

// One client connection: reads the request, then answers it in the way the fault in force
// (if any) says. It deletes itself once the connection is gone.
class HttpConnection final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HttpConnection)

public:
    HttpConnection(QTcpSocket *socket, const HttpService &service, QObject *parent);

    void abort();
    bool isOpen() const;

Q_SIGNALS:
    void requestRead(const QByteArray &target);

private:
    void readAvailable();
    void onRequestLine();
    void onRequestComplete();
    void respond();
    void sendNextDrop();
    void sendFiller();
    // Whether the fault's answer says keep-alive and leaves the connection open.
    static bool keepsOpen(Fault::Mode mode);
    void refuse();
    QByteArray answerBytes() const;

    QTcpSocket *m_socket;
    const HttpService &m_service;
    HttpRequestReader m_reader;
    qint64 m_logId = 0;
    bool m_requestLineSeen = false;
    bool m_answered = false;
    bool m_exempt = false;
    bool m_handling = false;
    Fault m_fault;
    HttpResponse m_response;
    QByteArray m_pending;
    QTimer *m_dripTimer = nullptr;
};

} // namespace th::sim
