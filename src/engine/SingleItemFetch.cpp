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
constexpr int kServerFailed = 315;
constexpr int kUnreadable = 316;
constexpr QLatin1StringView kMotorsPrefix("/ebaymotors");

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
    const QDeadlineTimer deadline(deadlineMsecs);
    Result<QByteArray> body = fetch(host, port, hostHeader, path, deadline);
    // A short answer pointing to the motors section is followed once, within the same
    // deadline; a second such answer would only point there again.
    if (body.ok() && isMotorsAnswer(body.value()) && !path.startsWith(kMotorsPrefix)) {
        body = fetch(host, port, hostHeader, kMotorsPrefix + path, deadline);
        if (body.ok() && isMotorsAnswer(body.value()))
            body
                = makeError(kUnreadable, QStringLiteral("%1 keeps pointing to the motors section").arg(host));
    }
    m_busy = false;
    return body;
}

Result<QByteArray> SingleItemFetch::fetch(const QString &host, quint16 port, const QString &hostHeader,
    const QString &path, const QDeadlineTimer &deadline)
{
    const QByteArray request = "GET " + path.toLatin1() + " HTTP/1.0\r\nHost: " + hostHeader.toLatin1()
        + "\r\nAccept: */*\r\nConnection: close\r\n\r\n";
    const Result<QByteArray> answer = exchange(host, port, request, deadline);
    if (!answer.ok())
        return answer;
    if (httpServerFailed(answer.value()))
        return makeError(
            kServerFailed, QStringLiteral("%1 answered %2").arg(host).arg(httpStatus(answer.value())));
    if (httpAnswerState(answer.value()) == AnswerState::Malformed)
        return makeError(kUnreadable, QStringLiteral("The answer of %1 cannot be read").arg(host));
    return httpAnswerBody(answer.value());
}

Result<QByteArray> SingleItemFetch::exchange(
    const QString &host, quint16 port, const QByteArray &request, const QDeadlineTimer &deadline)
{
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
    // The answer ends when the server closes, or when all it announced has arrived (or its
    // framing has broken).
    while (httpAnswerState(answer) == AnswerState::Incomplete) {
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
    return answer;
}

} // namespace th
