#include <QSignalSpy>
#include <QTest>

#include "FakeClock.h"
#include "FakeSeams.h"
#include "TestSupport.h"
#include "clock/ClockSync.h"
#include "platform/SystemTimeZoneSource.h"

using namespace th;

namespace {

DaytimeRecord recordOf(const QDateTime &utc)
{
    const QDate d = utc.toUTC().date();
    const QTime t = utc.toUTC().time();
    return DaytimeRecord { quint8(d.year() % 100), quint8(d.month()), quint8(d.day()), quint8(t.hour()),
        quint8(t.minute()), quint8(t.second()) };
}

QDateTime utc(int y, int mo, int d, int h, int mi, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

} // namespace

// The clock offset measured against a time server, and the correction of the PC clock.
class TestClockSync final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void offsetIsServerTimeMinusPcTime_data();
    void offsetIsServerTimeMinusPcTime();
    void unreadableZoneKeepsOffset();
    void correctionAcrossMidnightMovesTheDate();
    void failedCorrectionKeepsOffset();
    void noCorrectionWhenNotAskedOrNothingToMove();
    void oneCorrectionAtATime();
    void daylightNameIsCutToStandardNameLength();

private:
    SystemTimeZoneSource m_zones;
    test::FakeClock m_clock;
    test::FakeClockSetter m_setter;
};

void TestClockSync::offsetIsServerTimeMinusPcTime_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QDateTime>("trueTime");
    QTest::addColumn<int>("pcAheadSeconds");
    QTest::newRow("Pacific daylight, PC 3 s slow")
        << QByteArray("America/Los_Angeles") << utc(2026, 7, 15, 19, 0) << -3;
    QTest::newRow("Pacific standard, PC 2 s fast")
        << QByteArray("America/Los_Angeles") << utc(2026, 1, 15, 20, 0) << 2;
    // Zones without daylight-saving rules are on standard time all year.
    QTest::newRow("UTC, PC 42 s fast") << QByteArray("UTC") << utc(2026, 7, 15, 12, 0) << 42;
    QTest::newRow("India, PC 10 s slow") << QByteArray("Asia/Kolkata") << utc(2026, 7, 15, 6, 30) << -10;
    QTest::newRow("Japan, PC 1 h slow") << QByteArray("Asia/Tokyo") << utc(2026, 7, 15, 3, 0) << -3600;
    QTest::newRow("Arizona, PC 5 s fast") << QByteArray("America/Phoenix") << utc(2026, 7, 15, 19, 0) << 5;
    // The repeated hour: both 01:30 of New York's first of November, each with its own offset.
    QTest::newRow("New York, 01:30 EDT") << QByteArray("America/New_York") << utc(2026, 11, 1, 5, 30) << -5;
    QTest::newRow("New York, 01:30 EST") << QByteArray("America/New_York") << utc(2026, 11, 1, 6, 30) << -5;
    QTest::newRow("PC a day behind") << QByteArray("Europe/Berlin") << utc(2026, 3, 2, 0, 0, 1) << -86400;
}

void TestClockSync::offsetIsServerTimeMinusPcTime()
{
    QFETCH(QByteArray, zone);
    QFETCH(QDateTime, trueTime);
    QFETCH(int, pcAheadSeconds);
    test::setTimeZone(zone.constData());
    m_clock.set(trueTime.addSecs(pcAheadSeconds).toLocalTime());
    ClockState state;
    state.ClockOffsetSeconds = 777;
    ClockSync sync(state, m_clock, m_zones, m_setter);
    QVERIFY(sync.ComputeClockOffset(recordOf(trueTime), false));
    QCOMPARE(state.ClockOffsetSeconds, -pcAheadSeconds);
}

void TestClockSync::unreadableZoneKeepsOffset()
{
    test::FakeTimeZoneSource unreadable; // mode Unknown
    ClockState state;
    state.ClockOffsetSeconds = 7;
    ClockSync sync(state, m_clock, unreadable, m_setter);
    QVERIFY(!sync.ComputeClockOffset(recordOf(m_clock.now().addSecs(3)), true));
    QCOMPARE(state.ClockOffsetSeconds, 7);
    QVERIFY(m_setter.adjustments.isEmpty());
}

void TestClockSync::correctionAcrossMidnightMovesTheDate()
{
    test::setTimeZone("Europe/Berlin");
    m_clock.set(QDateTime(QDate(2026, 3, 1), QTime(23, 59, 58)));
    test::FakeClockSetter setter;
    ClockState state;
    ClockSync sync(state, m_clock, m_zones, setter);
    QSignalSpy corrected(&sync, &ClockSync::clockCorrected);
    QVERIFY(sync.applyDaytimeReply(u"\n61100 26-03-01 23:00:01 00 0 0 50.0 UTC(NIST) *\n", true));
    QCOMPARE(setter.adjustments, QList<qint64> { 3000 });
    QCOMPARE(
        m_clock.now().addMSecs(setter.adjustments.first()), QDateTime(QDate(2026, 3, 2), QTime(0, 0, 1)));
    QCOMPARE(state.ClockOffsetSeconds, 0);
    QCOMPARE(corrected.count(), 1);
    QCOMPARE(corrected.first().first().toInt(), 3);
}

void TestClockSync::failedCorrectionKeepsOffset()
{
    test::setTimeZone("America/Los_Angeles");
    test::FakeClockSetter setter;
    setter.result = makeError(2, QStringLiteral("The clock cannot be set: not authorised"));
    ClockState state;
    ClockSync sync(state, m_clock, m_zones, setter);
    QSignalSpy failed(&sync, &ClockSync::clockCorrectionFailed);
    QSignalSpy corrected(&sync, &ClockSync::clockCorrected);
    QVERIFY(sync.ComputeClockOffset(recordOf(m_clock.now().addSecs(-4)), true));
    QCOMPARE(setter.adjustments, QList<qint64> { -4000 });
    QCOMPARE(state.ClockOffsetSeconds, -4);
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.first().first().toString(), u"The clock cannot be set: not authorised");
    QCOMPARE(corrected.count(), 0);
    QVERIFY(!sync.isCorrecting());
}

void TestClockSync::noCorrectionWhenNotAskedOrNothingToMove()
{
    test::setTimeZone("America/New_York");
    test::FakeClockSetter setter;
    ClockState state;
    ClockSync sync(state, m_clock, m_zones, setter);
    QVERIFY(sync.ComputeClockOffset(recordOf(m_clock.now().addSecs(9)), false));
    QCOMPARE(state.ClockOffsetSeconds, 9);
    QVERIFY(sync.ComputeClockOffset(recordOf(m_clock.now()), true));
    QCOMPARE(state.ClockOffsetSeconds, 0);
    QVERIFY(setter.adjustments.isEmpty());
    QVERIFY(!sync.applyDaytimeReply(u"no time here", true));
}

// The desktop may take its time asking for authorisation; the automatic check queries again
// meanwhile. Relative moves would add up, so only one is asked for at a time.
void TestClockSync::oneCorrectionAtATime()
{
    test::setTimeZone("America/New_York");
    test::FakeClockSetter setter;
    setter.hold = true;
    ClockState state;
    ClockSync sync(state, m_clock, m_zones, setter);
    QVERIFY(sync.ComputeClockOffset(recordOf(m_clock.now().addSecs(2)), true));
    QVERIFY(sync.isCorrecting());
    QVERIFY(sync.ComputeClockOffset(recordOf(m_clock.now().addSecs(2)), true));
    QCOMPARE(setter.adjustments, QList<qint64> { 2000 });
    setter.finishPending();
    QVERIFY(!sync.isCorrecting());
    QCOMPARE(state.ClockOffsetSeconds, 0);
    QVERIFY(sync.ComputeClockOffset(recordOf(m_clock.now().addSecs(1)), true));
    QCOMPARE(setter.adjustments, (QList<qint64> { 2000, 1000 }));
}

void TestClockSync::daylightNameIsCutToStandardNameLength()
{
    test::FakeTimeZoneSource zones;
    zones.info.mode = ZoneMode::Daylight;
    zones.info.standardName = QStringLiteral("Pacific Standard Time");
    zones.info.daylightName = QStringLiteral("Pacific Daylight Saving Time");
    ClockState state;
    ClockSync sync(state, m_clock, zones, m_setter);
    sync.GetPacificOffsetHours();
    QCOMPARE(state.TimeZoneName, u"Pacific Daylight Savi");
    QCOMPARE(state.TimeZoneAbbrev, u"PDS");

    zones.info.mode = ZoneMode::Standard;
    zones.info.standardName = QStringLiteral("Central Standard Time (Mexico) {x} \u00e9 and more words");
    sync.GetPacificOffsetHours();
    QCOMPARE(state.TimeZoneName, u"Central Standard Time (Mexico) {");
    QCOMPARE(state.TimeZoneAbbrev, u"CST(M)");

    zones.info.mode = ZoneMode::Unknown;
    sync.GetPacificOffsetHours();
    QVERIFY(state.TimeZoneName.isEmpty());
    QVERIFY(state.TimeZoneAbbrev.isEmpty());
}

QTEST_GUILESS_MAIN(TestClockSync)
#include "TestClockSync.moc"
