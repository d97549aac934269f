#include "engine/SingleItemFetch.h"

#include <future>
#include <memory>
#include <thread>

#include <QDeadlineTimer>
#include <QHostInfo>
#include <QTcpSocket>

#include "engine/EngineRequest.h"
#include "engine/HttpAnswer.h"

namespace th {

namespace {

constexpr int kTimedOut = 311;
constexpr int kConnectFailed = 312;

QList<QHostAddress> systemLookUp(const QString &host)
{
    return QHostInfo::fromName(host).addresses();
}

// The addresses of `host`, or nothing when the look-up has not ended by `deadline`. The
// look-up runs on a thread of its own that is left to finish by itself: the system's
// resolver cannot be interrupted.
std::optional<QList<QHostAddress>> lookUpWithin(
    const SingleItemFetch::Resolver &resolver, const QString &host, const QDeadlineTimer &deadline)
{
    if (QHostAddress literal; literal.setAddress(host))
        return QList<QHostAddress> { literal };
    auto promise = std::make_shared<std::promise<QList<QHostAddress>>>();
    std::future<QList<QHostAddress>> addresses = promise->get_future();
    std::thread([promise, resolver, host] { promise->set_value(resolver(host)); }).detach();
    if (addresses.wait_for(std::chrono::milliseconds(deadline.remainingTime())) != std::future_status::ready)
        return std::nullopt;
    return addresses.get();
}

} // namespace

SingleItemFetch::SingleItemFetch()
    : m_resolver(systemLookUp)
{
}

Result<QByteArray> SingleItemFetch::get(
    const QString &host, quint16 port, const QString &hostHeader, const QString &path, int deadlineMsecs)
{
    m_busy = true;
    const QByteArray request = "GET " + path.toLatin1() + " HTTP/1.0\r\nHost: " + hostHeader.toLatin1()
        + "\r\nAccept: */*\r\nConnection: close\r\n\r\n";
    Result<QByteArray> body = exchange(host, port, request, deadlineMsecs);
    m_busy = false;
    return body;
}

Result<QByteArray> SingleItemFetch::exchange(
    const QString &host, quint16 port, const QByteArray &request, int deadlineMsecs)
{
    const QDeadlineTimer deadline(deadlineMsecs);
    const std::optional<QList<QHostAddress>> addresses = lookUpWithin(m_resolver, host, deadline);
    if (!addresses)
        return makeError(kTimedOut, QStringLiteral("%1 did not answer in time").arg(host));
    if (addresses->isEmpty())
        return makeError(kConnectFailed, QStringLiteral("Cannot reach %1: the host is unknown").arg(host));

    // Every address of the host in turn, as long as the deadline allows.
    QTcpSocket socket;
    for (const QHostAddress &address : *addresses) {
        socket.abort();
        socket.connectToHost(address, port);
        if (socket.waitForConnected(int(std::max<qint64>(1, deadline.remainingTime())))
            || deadline.hasExpired())
            break;
    }
    if (socket.state() != QAbstractSocket::ConnectedState)
        return makeError(socket.error() == QAbstractSocket::SocketTimeoutError ? kTimedOut : kConnectFailed,
            QStringLiteral("Cannot reach %1: %2").arg(host, socket.errorString()));
    socket.write(request);
    QByteArray answer;
    // The answer ends when the server closes, or when all it announced has arrived.
    while (!httpAnswerComplete(answer)) {
        if (deadline.hasExpired())
            return makeError(kTimedOut, QStringLiteral("%1 did not answer in time").arg(host));
        if (socket.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())))) {
            appendCapped(answer, socket.readAll());
            continue;
        }
        if (socket.state() != QAbstractSocket::ConnectedState) {
            appendCapped(answer, socket.readAll());
            break;
        }
    }
    return httpAnswerBody(answer);
}

} // namespace th
