// The daytime server: the exact line of the national time service, the chosen offset from
// the simulator clock, and its silent and refusing modes.
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>
#include <QTimeZone>

#include "SimClient.h"
#include "sim/DaytimeServer.h"
#include "sim/Simulator.h"

using namespace th::sim;
using th::test::exchange;

namespace {

const QDateTime kNow(QDate(2026, 3, 2), QTime(17, 0), QTimeZone::utc());

QDateTime utc(int year, int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), QTimeZone::utc());
}

} // namespace

class TestSimDaytime final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void replyIsTheServiceLine_data();
    void replyIsTheServiceLine();
    void daylightCodeCountsDownToTheChange_data();
    void daylightCodeCountsDownToTheChange();
    void servesTheClockWithTheChosenOffset_data();
    void servesTheClockWithTheChosenOffset();
    void silentServerAcceptsAndNeverAnswers();
    void closingServerSendsNothing();
    void stoppedServerRefusesUntilResumed();
};

void TestSimDaytime::replyIsTheServiceLine_data()
{
    QTest::addColumn<QDateTime>("instant");
    QTest::addColumn<double>("advance");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("late winter") << kNow << 50.0
                                 << QByteArray("\n61101 26-03-02 17:00:00 57 0 0  50.0 UTC(NIST) * \n");
    QTest::newRow("autumn run-up") << utc(2018, 11, 2, 6, 4, 48) << 885.9
                                   << QByteArray("\n58424 18-11-02 06:04:48 03 0 0 885.9 UTC(NIST) * \n");
    QTest::newRow("summer, small advance") << utc(
        2023, 7, 1, 0, 0, 7) << 9.2 << QByteArray("\n60126 23-07-01 00:00:07 50 0 0   9.2 UTC(NIST) * \n");
    QTest::newRow("midwinter") << utc(2024, 1, 15, 23, 59, 59) << 0.0
                               << QByteArray("\n60324 24-01-15 23:59:59 00 0 0   0.0 UTC(NIST) * \n");
}

void TestSimDaytime::replyIsTheServiceLine()
{
    QFETCH(QDateTime, instant);
    QFETCH(double, advance);
    QFETCH(QByteArray, reply);
    QCOMPARE(daytimeReply(instant, advance), reply);
}

void TestSimDaytime::daylightCodeCountsDownToTheChange_data()
{
    QTest::addColumn<QDateTime>("instant");
    QTest::addColumn<int>("code");
    QTest::newRow("standard time, change far off") << utc(2024, 1, 15, 12, 0, 0) << 0;
    QTest::newRow("49 days before daylight time") << utc(2024, 1, 22, 12, 0, 0) << 99;
    QTest::newRow("six days before daylight time") << kNow << 57;
    QTest::newRow("day of the change, before 2 a.m.") << utc(2024, 3, 10, 5, 0, 0) << 51;
    QTest::newRow("day of the change, after 2 a.m.") << utc(2024, 3, 10, 8, 0, 0) << 50;
    QTest::newRow("daylight time") << utc(2023, 7, 1, 12, 0, 0) << 50;
    QTest::newRow("16 days before standard time") << utc(2025, 10, 18, 6, 49, 19) << 16;
    QTest::newRow("day of the change to standard time") << utc(2025, 11, 2, 5, 0, 0) << 1;
    QTest::newRow("after the change to standard time") << utc(2025, 11, 2, 7, 0, 0) << 0;
}

void TestSimDaytime::daylightCodeCountsDownToTheChange()
{
    QFETCH(QDateTime, instant);
    QFETCH(int, code);
    QCOMPARE(daylightCode(instant), code);
}

void TestSimDaytime::servesTheClockWithTheChosenOffset_data()
{
    QTest::addColumn<qint64>("offset");
    QTest::addColumn<QByteArray>("stamp");
    QTest::newRow("on time") << 0LL << QByteArray("61101 26-03-02 17:00:00 57");
    QTest::newRow("ninety seconds ahead") << 90LL << QByteArray("61101 26-03-02 17:01:30 57");
    QTest::newRow("a day behind") << -86400LL << QByteArray("61100 26-03-01 17:00:00 58");
}

void TestSimDaytime::servesTheClockWithTheChosenOffset()
{
    QFETCH(qint64, offset);
    QFETCH(QByteArray, stamp);
    Simulator sim;
    sim.clock().setNow(kNow);
    QVERIFY(sim.start());
    sim.daytime().setOffsetSeconds(offset);
    // A daytime client sends nothing; it only listens.
    const th::test::Exchange answer = exchange(sim.daytimePort(), QByteArray());
    QVERIFY(answer.closedByServer);
    static const QRegularExpression line(
        QStringLiteral("^\\n(\\d{5} \\d\\d-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d \\d\\d) 0 0 [ \\d]{2}\\d\\.\\d "
                       "UTC\\(NIST\\) \\* \\n$"));
    const QRegularExpressionMatch match = line.match(QString::fromLatin1(answer.response));
    QVERIFY2(match.hasMatch(), answer.response.constData());
    QCOMPARE(match.captured(1).toLatin1(), stamp);
    QCOMPARE(sim.daytime().connectionsServed(), 1);
}

void TestSimDaytime::silentServerAcceptsAndNeverAnswers()
{
    Simulator sim;
    QVERIFY(sim.start());
    sim.daytime().setMode(DaytimeServer::Mode::Silent);
    QTcpSocket socket;
    QSignalSpy closed(&socket, &QTcpSocket::disconnected);
    socket.connectToHost(QStringLiteral("127.0.0.1"), sim.daytimePort());
    QVERIFY(socket.waitForConnected(5000));
    QTRY_COMPARE(sim.daytime().connectionsServed(), 1);
    QCOMPARE(socket.bytesAvailable(), 0);
    QCOMPARE(closed.count(), 0);
    sim.daytime().abortConnections();
    QTRY_COMPARE(closed.count(), 1);
    QCOMPARE(socket.readAll(), QByteArray());
}

void TestSimDaytime::closingServerSendsNothing()
{
    Simulator sim;
    QVERIFY(sim.start());
    sim.daytime().setMode(DaytimeServer::Mode::CloseAtOnce);
    const th::test::Exchange answer = exchange(sim.daytimePort(), QByteArray());
    QVERIFY(answer.connected);
    QVERIFY(answer.closedByServer);
    QVERIFY(answer.response.isEmpty());
}

void TestSimDaytime::stoppedServerRefusesUntilResumed()
{
    Simulator sim;
    QVERIFY(sim.start());
    const quint16 port = sim.daytimePort();
    sim.daytime().stop();
    QVERIFY(exchange(port, QByteArray()).refused);
    QVERIFY(sim.daytime().resume());
    QCOMPARE(sim.daytimePort(), port);
    QVERIFY(exchange(port, QByteArray()).response.contains("UTC(NIST)"));
}

QTEST_GUILESS_MAIN(TestSimDaytime)
#include "TestSimDaytime.moc"
