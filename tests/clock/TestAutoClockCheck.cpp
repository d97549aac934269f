#include <QSignalSpy>
#include <QTest>

#include "FakeClock.h"
#include "FakeSeams.h"
#include "clock/AutoClockCheck.h"
#include "clock/ClockSync.h"
#include "platform/SystemTimeZoneSource.h"
#include "sim/DaytimeServer.h"

using namespace th;

// The automatic clock check against the simulator's daytime server, correcting through the
// fake clock setter.
class TestAutoClockCheck final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void firstQueryAtTheSixtiethTickThenAtEveryTick();
    void switchingOffResetsTheCount();
    void correctionMovesTheWholeDateTimeWithoutAsking_data();
    void correctionMovesTheWholeDateTimeWithoutAsking();
    void refusedCorrectionIsReportedOnceAndOffsetKept();

private:
    // Runs `ticks` ticks; true when none of them started a query.
    bool tickQuietly(int ticks);
    // One tick that must query; waits for the correction to be asked.
    void tickAndAwaitCorrection();

    test::FakeClock m_clock;
    SystemTimeZoneSource m_zones;
    test::FakeClockSetter m_setter;
    ClockState m_state;
    bool m_on = true;
    std::unique_ptr<sim::DaytimeServer> m_server;
    std::unique_ptr<ClockSync> m_sync;
    std::unique_ptr<AutoClockCheck> m_check;
};

void TestAutoClockCheck::init()
{
    m_clock.set(QDateTime(QDate(2026, 3, 2), QTime(12, 0)));
    m_setter = {};
    m_state = {};
    m_on = true;
    m_server = std::make_unique<sim::DaytimeServer>([this] { return m_clock.now().toUTC(); }, 1);
    QVERIFY(m_server->listen(QHostAddress::LocalHost, 0));
    m_server->setOffsetSeconds(-7);
    m_sync = std::make_unique<ClockSync>(m_state, m_clock, m_zones, m_setter);
    m_check = std::make_unique<AutoClockCheck>();
    m_check->attach(*m_sync, [this] { return m_on; });
    m_check->setServer(HostPort { QStringLiteral("127.0.0.1"), m_server->port(), {} });
}

void TestAutoClockCheck::cleanup()
{
    m_check.reset();
    m_sync.reset();
    m_server.reset();
}

bool TestAutoClockCheck::tickQuietly(int ticks)
{
    for (int i = 0; i < ticks; ++i) {
        m_check->RunAutoClockCheck();
        if (m_check->wskAtom.isActive())
            return false;
    }
    return true;
}

void TestAutoClockCheck::tickAndAwaitCorrection()
{
    const qsizetype before = m_setter.adjustments.size();
    m_check->RunAutoClockCheck();
    QVERIFY(m_check->wskAtom.isActive());
    QVERIFY(m_check->tmrAutoChkTimeSync.isActive());
    QTRY_COMPARE(m_setter.adjustments.size(), before + 1);
}

void TestAutoClockCheck::firstQueryAtTheSixtiethTickThenAtEveryTick()
{
    QVERIFY(m_check->tmrAutoChkTimeSync.isActive());
    QCOMPARE(m_check->tmrAutoChkTimeSync.interval(), 10000);
    QVERIFY(tickQuietly(59));
    tickAndAwaitCorrection();
    tickAndAwaitCorrection();
    QCOMPARE(m_server->connectionsServed(), 2);
}

void TestAutoClockCheck::switchingOffResetsTheCount()
{
    QVERIFY(tickQuietly(50));
    m_on = false;
    QVERIFY(tickQuietly(1));
    QCOMPARE(m_check->lngAutoChkTimeSyncCnt, 0);
    m_on = true;
    QVERIFY(tickQuietly(59));
    tickAndAwaitCorrection();
}

void TestAutoClockCheck::correctionMovesTheWholeDateTimeWithoutAsking_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<qint64>("serverAhead");
    QTest::newRow("PC 7 s fast") << QDateTime(QDate(2026, 3, 2), QTime(12, 0)) << qint64(-7);
    QTest::newRow("PC 3 s slow, daylight time") << QDateTime(QDate(2026, 7, 15), QTime(8, 30)) << qint64(3);
    QTest::newRow("across midnight") << QDateTime(QDate(2026, 3, 2), QTime(23, 59, 58)) << qint64(5);
}

void TestAutoClockCheck::correctionMovesTheWholeDateTimeWithoutAsking()
{
    QFETCH(QDateTime, now);
    QFETCH(qint64, serverAhead);
    m_clock.set(now);
    m_server->setOffsetSeconds(serverAhead);
    m_check->lngAutoChkTimeSyncCnt = AutoClockCheck::kTicksBeforeFirstQuery - 1;
    tickAndAwaitCorrection();
    QCOMPARE(m_setter.adjustments, QList<qint64> { serverAhead * 1000 });
    QCOMPARE(m_setter.interactive, QList<bool> { false });
    QCOMPARE(m_state.ClockOffsetSeconds, 0);
}

void TestAutoClockCheck::refusedCorrectionIsReportedOnceAndOffsetKept()
{
    const QString cause
        = QStringLiteral("The clock cannot be set: the system clock is kept by network time synchronisation");
    m_setter.result = makeError(IClockSetter::kKeptByNetworkTime, cause);
    QSignalSpy reports(m_check.get(), &AutoClockCheck::correctionFailureToReport);
    m_check->lngAutoChkTimeSyncCnt = AutoClockCheck::kTicksBeforeFirstQuery - 1;
    tickAndAwaitCorrection();
    m_server->setOffsetSeconds(-8);
    tickAndAwaitCorrection();
    // The offset goes on being measured; the cause is told once.
    QCOMPARE(m_state.ClockOffsetSeconds, -8);
    QCOMPARE(reports.count(), 1);
    QCOMPARE(reports.first().first().toString(), cause);
    // Another cause is told as well.
    m_setter.result = makeError(2, QStringLiteral("The clock cannot be set: not authorised"));
    tickAndAwaitCorrection();
    QCOMPARE(reports.count(), 2);
}

QTEST_GUILESS_MAIN(TestAutoClockCheck)
#include "TestAutoClockCheck.moc"
