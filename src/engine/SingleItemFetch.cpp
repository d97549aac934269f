#include "engine/SingleItemFetch.h"

#include <QDeadlineTimer>
#include <QTcpSocket>

#include "engine/EngineRequest.h"

namespace th {

namespace {

constexpr int kTimedOut = 311;
constexpr int kConnectFailed = 312;
constexpr int kNotHttp = 313;

QByteArray joinChunks(const QByteArray &body)
{
    QByteArray joined;
    qsizetype at = 0;
    while (at < body.size()) {
        const qsizetype lineEnd = body.indexOf("\r\n", at);
        if (lineEnd < 0)
            break;
        bool ok = false;
        QByteArray sizeText = body.mid(at, lineEnd - at);
        if (const qsizetype semicolon = sizeText.indexOf(';'); semicolon >= 0)
            sizeText.truncate(semicolon);
        const qsizetype size = sizeText.trimmed().toLongLong(&ok, 16);
        if (!ok || size <= 0)
            break;
        joined += body.mid(lineEnd + 2, size);
        at = lineEnd + 2 + size + 2;
    }
    return joined;
}

} // namespace

Result<QByteArray> SingleItemFetch::bodyOf(const QByteArray &response)
{
    if (!response.startsWith("HTTP/"))
        return makeError(kNotHttp, QStringLiteral("The server's answer is not a web page"));
    qsizetype headerEnd = response.indexOf("\r\n\r\n");
    qsizetype bodyStart = headerEnd + 4;
    if (headerEnd < 0) {
        headerEnd = response.indexOf("\n\n");
        bodyStart = headerEnd + 2;
    }
    if (headerEnd < 0)
        return QByteArray();
    const QByteArray headers = response.left(headerEnd).toLower();
    const QByteArray body = response.mid(bodyStart);
    if (headers.contains("\ntransfer-encoding: chunked"))
        return joinChunks(body);
    return body;
}

Result<QByteArray> SingleItemFetch::get(
    const QString &host, quint16 port, const QString &hostHeader, const QString &path, int deadlineMsecs)
{
    m_busy = true;
    const QDeadlineTimer deadline(deadlineMsecs);
    QTcpSocket socket;
    socket.connectToHost(host, port);
    auto done = [this](Result<QByteArray> result) {
        m_busy = false;
        return result;
    };
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return done(
            makeError(socket.error() == QAbstractSocket::SocketTimeoutError ? kTimedOut : kConnectFailed,
                QStringLiteral("Cannot reach %1: %2").arg(host, socket.errorString())));
    const QByteArray request = "GET " + path.toLatin1() + " HTTP/1.0\r\nHost: " + hostHeader.toLatin1()
        + "\r\nAccept: */*\r\nConnection: close\r\n\r\n";
    socket.write(request);
    QByteArray response;
    while (true) {
        if (deadline.hasExpired())
            return done(makeError(kTimedOut, QStringLiteral("%1 did not answer in time").arg(host)));
        if (socket.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())))) {
            appendCapped(response, socket.readAll());
            continue;
        }
        if (socket.state() != QAbstractSocket::ConnectedState) {
            appendCapped(response, socket.readAll());
            break;
        }
    }
    return done(bodyOf(response));
}

} // namespace th
