#include "sim/DaytimeServer.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimeZone>

namespace th::sim {

namespace {

// The line's Modified Julian Date: days since 17 November 1858.
qint64 modifiedJulianDay(const QDate &date)
{
    return date.toJulianDay() - 2400001;
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

int daylightCode(const QDateTime &instant)
{
    // The code follows the US rules, which change at 2 a.m. local time; the eastern zone
    // stands for them all.
    const QTimeZone zone(QByteArrayLiteral("America/New_York"));
    const QDateTime utc = instant.toUTC();
    const bool daylight = zone.isDaylightTime(utc);
    const QTimeZone::OffsetData next = zone.nextTransition(utc);
    if (next.atUtc.isValid()) {
        const qint64 daysLeft = utc.date().daysTo(next.atUtc.date()) + 1;
        if (daysLeft <= 49)
            return int(daylight ? daysLeft : 50 + daysLeft);
    }
    return daylight ? 50 : 0;
}

QByteArray daytimeReply(const QDateTime &instant, double msAdvance)
{
    const QDateTime utc = instant.toUTC();
    const QDate date = utc.date();
    const QTime time = utc.time();
    const QString line = QStringLiteral("%1 %2-%3-%4 %5:%6:%7 %8 0 0 %9 UTC(NIST) *")
                             .arg(modifiedJulianDay(date), 5, 10, QLatin1Char('0'))
                             .arg(twoDigits(date.year() % 100), twoDigits(date.month()),
                                 twoDigits(date.day()), twoDigits(time.hour()), twoDigits(time.minute()),
                                 twoDigits(time.second()), twoDigits(daylightCode(utc)))
                             .arg(msAdvance, 5, 'f', 1);
    return "\n" + line.toLatin1() + " \n";
}

DaytimeServer::DaytimeServer(std::function<QDateTime()> now, quint64 seed, QObject *parent)
    : QObject(parent)
    , m_now(std::move(now))
    , m_seed(seed)
{
}

DaytimeServer::~DaytimeServer()
{
    abortConnections();
}

bool DaytimeServer::listen(const QHostAddress &address, quint16 port)
{
    stop();
    m_server = new QTcpServer(this);
    connect(m_server, &QTcpServer::newConnection, this, &DaytimeServer::acceptPending);
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

void DaytimeServer::stop()
{
    delete m_server;
    m_server = nullptr;
}

bool DaytimeServer::resume()
{
    return m_server ? true : listen(m_address, m_port);
}

bool DaytimeServer::isListening() const
{
    return m_server && m_server->isListening();
}

void DaytimeServer::abortConnections()
{
    const QList<QTcpSocket *> sockets = findChildren<QTcpSocket *>(Qt::FindDirectChildrenOnly);
    for (QTcpSocket *socket : sockets) {
        socket->abort();
        socket->deleteLater();
    }
}

void DaytimeServer::acceptPending()
{
    while (m_server && m_server->hasPendingConnections()) {
        QTcpSocket *socket = m_server->nextPendingConnection();
        socket->setParent(this);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        ++m_served;
        switch (m_mode) {
        case Mode::Answer: {
            // The advance the servers report varies from reply to reply; here it is drawn
            // from the seed and the reply's number, so runs repeat.
            const double advance = double((m_seed * 7919u + quint64(m_served) * 104729u) % 9000u) / 10.0;
            socket->write(daytimeReply(m_now().addSecs(m_offsetSeconds), advance));
            socket->disconnectFromHost();
            break;
        }
        case Mode::Silent:
            break;
        case Mode::CloseAtOnce:
            socket->disconnectFromHost();
            break;
        }
        Q_EMIT served();
    }
}

} // namespace th::sim
