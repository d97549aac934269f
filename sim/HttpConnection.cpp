#include "sim/HttpConnection.h"

#include "sim/RequestLog.h"
#include "sim/SitePages.h"

#include <QTcpSocket>
#include <QTimer>

namespace th::sim {

namespace {

// Filler that lengthens an answer without adding a word a page reader would look for.
QByteArray paddingTo(qint64 currentSize, qint64 targetSize)
{
    static const QByteArray line
        = "<!-- ................................................................................. -->\r\n";
    QByteArray padding;
    if (targetSize <= currentSize)
        return padding;
    const qint64 missing = targetSize - currentSize;
    padding.reserve(missing);
    while (padding.size() + line.size() <= missing)
        padding.append(line);
    padding.append(QByteArray(missing - padding.size(), ' '));
    return padding;
}

// The chunked answer `bytes` with its second chunk's size line replaced by `line`, and the
// rest of the body after it unframed.
QByteArray withBadChunkLine(const QByteArray &bytes, const QByteArray &body, const QByteArray &line)
{
    const qsizetype bodyStart = bytes.indexOf("\r\n\r\n") + 4;
    const qsizetype lineEnd = bytes.indexOf("\r\n", bodyStart);
    bool ok = false;
    const qsizetype first = bytes.mid(bodyStart, lineEnd - bodyStart).toLongLong(&ok, 16);
    if (!ok || first >= body.size())
        return bytes.left(bodyStart) + line + "\r\n" + body;
    return bytes.left(lineEnd + 2 + first + 2) + line + "\r\n" + body.mid(first);
}

HttpResponse serverErrorPage(int status)
{
    const QByteArray reason = status == 503 ? "Service Unavailable" : "Server Error";
    return HttpResponse::html(QStringLiteral("<html><head><title>%1 %2</title></head><body><h1>%2</h1>"
                                             "<p>The server cannot answer now. Please try again later.</p>"
                                             "</body></html>\r\n")
                                  .arg(status)
                                  .arg(QString::fromLatin1(reason)),
        status, reason);
}

// How much filler an endless answer sends at a time, and how much it lets wait unsent.
constexpr qsizetype kEndlessPieceBytes = 16 * 1024;
constexpr qint64 kEndlessBacklogBytes = 256 * 1024;

} // namespace

HttpConnection::HttpConnection(QTcpSocket *socket, const HttpService &service, QObject *parent)
    : QObject(parent)
    , m_socket(socket)
    , m_service(service)
{
    m_socket->setParent(this);
    if (m_service.log)
        m_logId = m_service.log->open(m_service.now(), m_socket->peerPort());
    connect(m_socket, &QTcpSocket::readyRead, this, &HttpConnection::readAvailable);
    connect(m_socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    if (m_service.faults && m_service.faults->refusesEveryone()) {
        // Refused before a byte is read: the client sees its connection dropped at once.
        m_service.faults->take(0);
        refuse();
        return;
    }
    if (m_socket->bytesAvailable() > 0)
        QTimer::singleShot(0, this, &HttpConnection::readAvailable);
}

void HttpConnection::abort()
{
    // The connection whose request is being answered (a control request that resets the
    // simulator, say) is left to finish its answer.
    if (m_handling)
        return;
    m_socket->abort();
    deleteLater();
}

bool HttpConnection::isOpen() const
{
    return m_socket->state() == QAbstractSocket::ConnectedState;
}

void HttpConnection::readAvailable()
{
    const QByteArray bytes = m_socket->readAll();
    if (bytes.isEmpty())
        return;
    // The log keeps every byte the client sent, even after the request was complete.
    if (m_service.log && !m_exempt)
        m_service.log->appendBytes(m_logId, bytes);
    if (m_answered || m_reader.state() != HttpRequestReader::State::Incomplete)
        return;
    m_reader.append(bytes);
    if (!m_requestLineSeen && !m_reader.requestLine().isEmpty()) {
        m_requestLineSeen = true;
        onRequestLine();
        if (m_answered)
            return;
    }
    if (m_reader.state() != HttpRequestReader::State::Incomplete)
        onRequestComplete();
}

void HttpConnection::onRequestLine()
{
    const QList<QByteArray> parts = m_reader.requestLine().split(' ');
    const QByteArray target = parts.value(1);
    const QByteArray path = target.left(target.indexOf('?') < 0 ? target.size() : target.indexOf('?'));
    m_exempt = m_service.isExempt && m_service.isExempt(path);
    if (m_service.log) {
        if (m_exempt)
            m_service.log->discard(m_logId);
        else
            m_service.log->setRequestLine(m_logId, parts.value(0), target);
    }
    if (m_exempt || !m_service.faults)
        return;
    const qint64 item = m_service.itemOf ? m_service.itemOf(target, QByteArray()) : 0;
    if (item > 0 && m_service.faults->refuses(item)) {
        m_service.faults->take(item);
        refuse();
    }
}

void HttpConnection::onRequestComplete()
{
    m_answered = true;
    if (m_reader.state() == HttpRequestReader::State::Invalid) {
        m_response = HttpResponse::html(
            QStringLiteral("<html><body><h1>Bad Request</h1></body></html>"), 400, "Bad Request");
        m_fault = Fault();
        respond();
        return;
    }
    const HttpRequest &request = m_reader.request();
    Q_EMIT requestRead(request.target);
    if (!m_exempt && m_service.faults) {
        const qint64 item = m_service.itemOf ? m_service.itemOf(request.target, request.body) : 0;
        if (std::optional<Fault> fault = m_service.faults->take(item))
            m_fault = *fault;
    }
    if (m_fault.mode == Fault::Mode::Refuse) {
        refuse();
        return;
    }
    m_handling = true;
    m_response = m_service.handle(request);
    m_handling = false;
    if (m_fault.mode == Fault::Mode::ServerError) {
        m_response = serverErrorPage(m_fault.status);
    } else if (m_fault.mode == Fault::Mode::MotorsLoop) {
        const qint64 item = m_service.itemOf ? m_service.itemOf(request.target, request.body) : 0;
        m_response = HttpResponse::html(motorsPointerPage(item), 302, "Object moved");
        m_response.extraHeaders.append({ "Location", motorsItemPath(item).toLatin1() });
    }
    if (m_fault.latencyMs > 0)
        QTimer::singleShot(m_fault.latencyMs, Qt::PreciseTimer, this, &HttpConnection::respond);
    else
        respond();
}

QByteArray HttpConnection::answerBytes() const
{
    HttpResponse response = m_response;
    const Fault::Mode mode = m_fault.mode;
    if (keepsOpen(mode)) {
        response.keepAlive = true;
        response.withContentLength = mode == Fault::Mode::KeepAlive;
        response.chunked = mode == Fault::Mode::Chunked || mode == Fault::Mode::BadChunk;
        response.chunkBytes = m_fault.chunkBytes;
    }
    if (mode == Fault::Mode::ShortBody)
        response.extraHeaders.append({ "Content-Length", QByteArray::number(response.body.size() + 1000) });
    QByteArray bytes = response.serialize(m_service.now());
    if (mode == Fault::Mode::Oversize)
        bytes.append(paddingTo(bytes.size(), m_fault.oversizeBytes));
    if (mode == Fault::Mode::BadChunk)
        bytes = withBadChunkLine(bytes, response.body, m_fault.badChunkLine.toLatin1());
    return bytes;
}

void HttpConnection::respond()
{
    switch (m_fault.mode) {
    case Fault::Mode::Empty:
        m_socket->disconnectFromHost();
        return;
    case Fault::Mode::Silent:
        return;
    case Fault::Mode::NeverClose:
    case Fault::Mode::KeepAlive:
    case Fault::Mode::Chunked:
    case Fault::Mode::BadChunk:
    case Fault::Mode::ShortBody:
    case Fault::Mode::KeepAliveNoLength:
        m_socket->write(answerBytes());
        return;
    case Fault::Mode::Endless:
        m_socket->write(answerBytes());
        m_dripTimer = new QTimer(this);
        connect(m_dripTimer, &QTimer::timeout, this, &HttpConnection::sendFiller);
        m_dripTimer->start(m_fault.dripIntervalMs);
        return;
    case Fault::Mode::Drip:
        m_pending = answerBytes();
        m_dripTimer = new QTimer(this);
        connect(m_dripTimer, &QTimer::timeout, this, &HttpConnection::sendNextDrop);
        m_dripTimer->start(m_fault.dripIntervalMs);
        sendNextDrop();
        return;
    case Fault::Mode::Refuse:
        refuse();
        return;
    case Fault::Mode::None:
    case Fault::Mode::Oversize:
    case Fault::Mode::ServerError:
    case Fault::Mode::MotorsLoop:
        m_socket->write(answerBytes());
        m_socket->disconnectFromHost();
        return;
    }
}

void HttpConnection::sendNextDrop()
{
    if (m_pending.isEmpty()) {
        m_dripTimer->stop();
        m_socket->disconnectFromHost();
        return;
    }
    m_socket->write(m_pending.left(m_fault.dripBytes));
    m_socket->flush();
    m_pending.remove(0, qMin<qsizetype>(m_fault.dripBytes, m_pending.size()));
}

void HttpConnection::sendFiller()
{
    // Never faster than the client reads.
    if (m_socket->bytesToWrite() < kEndlessBacklogBytes)
        m_socket->write(paddingTo(0, kEndlessPieceBytes));
}

bool HttpConnection::keepsOpen(Fault::Mode mode)
{
    return mode == Fault::Mode::KeepAlive || mode == Fault::Mode::Chunked || mode == Fault::Mode::BadChunk
        || mode == Fault::Mode::ShortBody || mode == Fault::Mode::KeepAliveNoLength
        || mode == Fault::Mode::Endless;
}

void HttpConnection::refuse()
{
    m_answered = true;
    if (m_service.log)
        m_service.log->markRefused(m_logId);
    m_socket->abort();
    deleteLater();
}

} // namespace th::sim
