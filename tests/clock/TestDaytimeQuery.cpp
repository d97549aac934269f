#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include "FakeClock.h"
#include "FakeSeams.h"
#include "TestSupport.h"
#include "clock/ClockSync.h"
#include "clock/DaytimeQuery.h"
#include "clock/TimeServerTable.h"
#include "platform/SystemTimeZoneSource.h"

using namespace th;

namespace {

// A daytime server of the test's own on 127.0.0.1: answers each connection with `reply`
// and closes, or, when silent, accepts and says nothing.
class DaytimeServer final : public QObject {
public:
    explicit DaytimeServer(QByteArray reply, bool silent = false)
        : m_reply(std::move(reply))
        , m_silent(silent)
    {
        QVERIFY(m_server.listen(QHostAddress::LocalHost, 0));
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *peer = m_server.nextPendingConnection()) {
                connections.append(peer);
                if (m_silent)
                    continue;
                peer->write(m_reply);
                peer->disconnectFromHost();
            }
        });
    }
    HostPort address() const
    {
        return HostPort { QStringLiteral("127.0.0.1"), m_server.serverPort(),
            QStringLiteral("127.0.0.1:%1").arg(m_server.serverPort()) };
    }
    QList<QTcpSocket *> connections;

private:
    QTcpServer m_server;
    QByteArray m_reply;
    bool m_silent;
};

// The line a NIST server sends for the UTC instant `utc`.
QByteArray nistReply(const QDateTime &utc)
{
    const qint64 mjd = QDate(1858, 11, 17).daysTo(utc.date());
    return "\n" + QByteArray::number(mjd) + ' ' + utc.toString(u"yy-MM-dd hh:mm:ss").toLatin1()
        + " 50 0 0 812.4 UTC(NIST) * \n";
}

} // namespace

// The daytime query over real loopback connections, from the configured table to the offset.
class TestDaytimeQuery final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void queryYieldsServerOffset();
    void replyWithoutLineEndIsHandedOnWhenServerCloses();
    void refusedConnectionChangesNothing();
    void silentServerChangesNothing();
    void newQueryDropsThePreviousOne();
    void oversizeReplyIsCut();

private:
    test::FakeClock m_clock;
    SystemTimeZoneSource m_zones;
    test::FakeClockSetter m_setter;
};

void TestDaytimeQuery::init()
{
    test::setTimeZone("America/Los_Angeles");
    m_clock.set(QDateTime(QDate(2026, 7, 15), QTime(12, 0)));
}

void TestDaytimeQuery::queryYieldsServerOffset()
{
    const QByteArray reply = nistReply(m_clock.now().toUTC().addSecs(17));
    DaytimeServer server(reply);
    QStringList configured(TimeServerTable::kCount);
    configured[1] = server.address().text;
    const TimeServerTable table(configured);

    ClockState state;
    ClockSync sync(state, m_clock, m_zones, m_setter);
    DaytimeQuery query;
    QSignalSpy replies(&query, &DaytimeQuery::replyReceived);
    connect(&query, &DaytimeQuery::replyReceived, &sync,
        [&sync](const QString &text) { sync.applyDaytimeReply(text, false); });
    query.query(table.at(1).address);
    QTRY_COMPARE(replies.count(), 1);
    QCOMPARE(replies.first().first().toString().toLatin1(), reply);
    QCOMPARE(state.ClockOffsetSeconds, 17);
    QVERIFY(!query.isActive());
    QVERIFY(m_setter.adjustments.isEmpty());
}

void TestDaytimeQuery::replyWithoutLineEndIsHandedOnWhenServerCloses()
{
    DaytimeServer server("\n61236 26-07-15 19:00:09");
    DaytimeQuery query;
    QSignalSpy replies(&query, &DaytimeQuery::replyReceived);
    query.query(server.address());
    QTRY_COMPARE(replies.count(), 1);
    QCOMPARE(replies.first().first().toString(), u"\n61236 26-07-15 19:00:09");
}

void TestDaytimeQuery::refusedConnectionChangesNothing()
{
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    ClockState state;
    state.ClockOffsetSeconds = 5;
    ClockSync sync(state, m_clock, m_zones, m_setter);
    DaytimeQuery query;
    QSignalSpy replies(&query, &DaytimeQuery::replyReceived);
    connect(&query, &DaytimeQuery::replyReceived, &sync,
        [&sync](const QString &text) { sync.applyDaytimeReply(text, true); });
    query.query(HostPort { QStringLiteral("127.0.0.1"), closedPort, {} });
    QVERIFY(query.isActive());
    QTRY_VERIFY(!query.isActive());
    QCoreApplication::processEvents();
    QCOMPARE(replies.count(), 0);
    QCOMPARE(state.ClockOffsetSeconds, 5);
    QVERIFY(m_setter.adjustments.isEmpty());
}

void TestDaytimeQuery::silentServerChangesNothing()
{
    DaytimeServer server({}, true);
    ClockState state;
    state.ClockOffsetSeconds = 5;
    ClockSync sync(state, m_clock, m_zones, m_setter);
    DaytimeQuery query;
    QSignalSpy replies(&query, &DaytimeQuery::replyReceived);
    connect(&query, &DaytimeQuery::replyReceived, &sync,
        [&sync](const QString &text) { sync.applyDaytimeReply(text, true); });
    query.query(server.address());
    QTRY_COMPARE(server.connections.size(), 1);
    QCoreApplication::processEvents();
    QVERIFY(query.isActive());
    QCOMPARE(replies.count(), 0);
    // Closing without a word is no reply either.
    server.connections.first()->disconnectFromHost();
    QTRY_VERIFY(!query.isActive());
    QCoreApplication::processEvents();
    QCOMPARE(replies.count(), 0);
    QCOMPARE(state.ClockOffsetSeconds, 5);
    QVERIFY(m_setter.adjustments.isEmpty());
}

void TestDaytimeQuery::newQueryDropsThePreviousOne()
{
    DaytimeServer silent({}, true);
    DaytimeServer answering(nistReply(m_clock.now().toUTC()));
    DaytimeQuery query;
    QSignalSpy replies(&query, &DaytimeQuery::replyReceived);
    query.query(silent.address());
    QTRY_COMPARE(silent.connections.size(), 1);
    query.query(answering.address());
    QTRY_COMPARE(replies.count(), 1);
    QTRY_COMPARE(silent.connections.first()->state(), QAbstractSocket::UnconnectedState);
    QVERIFY(replies.first().first().toString().contains(u"UTC(NIST)"));
}

void TestDaytimeQuery::oversizeReplyIsCut()
{
    DaytimeServer server(QByteArray(100000, 'x'));
    DaytimeQuery query;
    QSignalSpy replies(&query, &DaytimeQuery::replyReceived);
    query.query(server.address());
    QTRY_COMPARE(replies.count(), 1);
    QCOMPARE(replies.first().first().toString(), QString(4096, u'x'));
}

QTEST_GUILESS_MAIN(TestDaytimeQuery)
#include "TestDaytimeQuery.moc"
