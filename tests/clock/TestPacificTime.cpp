#include <QTest>

#include "FakeClock.h"
#include "FakeSeams.h"
#include "TestSupport.h"
#include "clock/ClockSync.h"
#include "clock/PacificTime.h"
#include "common/Formats.h"
#include "platform/SystemTimeZoneSource.h"

using namespace th;

Q_DECLARE_METATYPE(th::ZoneMode)

// Local time against the auction site's US Pacific time, in zones all over the world, and
// the zone information the desktop reports.
class TestPacificTime final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void offsetNamesAndSiteClock_data();
    void offsetNamesAndSiteClock();
    void pageEndTimeBecomesLocal_data();
    void pageEndTimeBecomesLocal();
    void pacificWallTimeAroundChanges_data();
    void pacificWallTimeAroundChanges();
    void zoneInformation_data();
    void zoneInformation();
};

void TestPacificTime::offsetNamesAndSiteClock_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<int>("hours");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("abbrev");
    QTest::addColumn<QDateTime>("siteClock"); // Pacific wall time, as the "Ebay:" clock shows it
    const QDate july(2026, 7, 15);
    const QDate january(2026, 1, 15);
    const QTime noon(12, 0);
    const auto pacific = [](QDate d, int h, int m) { return QDateTime(d, QTime(h, m), Qt::UTC); };
    // Where the daylight rules agree with Pacific time, the hours stay the same all year.
    QTest::newRow("New York, July") << QByteArray("America/New_York") << july << noon << 3
                                    << "Eastern Daylight Time"
                                    << "EDT" << pacific(july, 9, 0);
    QTest::newRow("New York, January")
        << QByteArray("America/New_York") << january << noon << 3 << "Eastern Standard Time"
        << "EST" << pacific(january, 9, 0);
    QTest::newRow("Chicago, July") << QByteArray("America/Chicago") << july << noon << 2
                                   << "Central Daylight Time"
                                   << "CDT" << pacific(july, 10, 0);
    QTest::newRow("Los Angeles, January")
        << QByteArray("America/Los_Angeles") << january << noon << 0 << "Pacific Standard Time"
        << "PST" << pacific(january, 12, 0);
    QTest::newRow("Halifax, July") << QByteArray("America/Halifax") << july << noon << 4
                                   << "Atlantic Daylight Time"
                                   << "ADT" << pacific(july, 8, 0);
    QTest::newRow("Anchorage, January")
        << QByteArray("America/Anchorage") << january << noon << -1 << "Alaskan Standard Time"
        << "AST" << pacific(january, 13, 0);
    // Elsewhere the real difference, which changes with either side's daylight saving.
    QTest::newRow("Berlin, July") << QByteArray("Europe/Berlin") << july << noon << 9
                                  << "W. Europe Daylight Time"
                                  << "W.EDT" << pacific(july, 3, 0);
    QTest::newRow("Berlin, January") << QByteArray("Europe/Berlin") << january << noon << 9
                                     << "W. Europe Standard Time"
                                     << "W.EST" << pacific(january, 3, 0);
    QTest::newRow("Berlin, between the March changes")
        << QByteArray("Europe/Berlin") << QDate(2026, 3, 20) << noon << 8 << "W. Europe Standard Time"
        << "W.EST" << pacific(QDate(2026, 3, 20), 4, 0);
    QTest::newRow("Honolulu, July") << QByteArray("Pacific/Honolulu") << july << noon << -3
                                    << "Hawaiian Standard Time"
                                    << "HST" << pacific(july, 15, 0);
    QTest::newRow("Honolulu, January")
        << QByteArray("Pacific/Honolulu") << january << noon << -2 << "Hawaiian Standard Time"
        << "HST" << pacific(january, 14, 0);
    QTest::newRow("Phoenix, July") << QByteArray("America/Phoenix") << july << noon << 0
                                   << "US Mountain Standard Time"
                                   << "USMST" << pacific(july, 12, 0);
    QTest::newRow("Mexico City, July")
        << QByteArray("America/Mexico_City") << july << noon << 1 << "Central Standard Time (Mexico)"
        << "CST(M)" << pacific(july, 11, 0);
    // 12.5 hours ahead: the hours are truncated, the site clock is exact.
    QTest::newRow("Kolkata, July") << QByteArray("Asia/Kolkata") << july << noon << 12
                                   << "India Standard Time"
                                   << "IST" << pacific(july.addDays(-1), 23, 30);
    QTest::newRow("Kolkata, January")
        << QByteArray("Asia/Kolkata") << january << noon << 13 << "India Standard Time"
        << "IST" << pacific(january.addDays(-1), 22, 30);
    QTest::newRow("UTC, July") << QByteArray("UTC") << july << noon << 7 << "UTC"
                               << "UTC" << pacific(july, 5, 0);
}

void TestPacificTime::offsetNamesAndSiteClock()
{
    QFETCH(QByteArray, zone);
    QFETCH(QDate, date);
    QFETCH(QTime, time);
    QFETCH(int, hours);
    QFETCH(QString, name);
    QFETCH(QString, abbrev);
    QFETCH(QDateTime, siteClock);
    test::setTimeZone(zone.constData());
    test::FakeClock clock(QDateTime(date, time));
    SystemTimeZoneSource zones;
    test::FakeClockSetter setter;
    ClockState state;
    ClockSync sync(state, clock, zones, setter);
    QCOMPARE(sync.GetPacificOffsetHours(), qint16(hours));
    QCOMPARE(state.PacificOffsetHours, qint16(hours));
    QCOMPARE(state.TimeZoneName, name);
    QCOMPARE(state.TimeZoneAbbrev, abbrev);
    const QDateTime site = sync.auctionSiteNow();
    QCOMPARE(site.toMSecsSinceEpoch(), clock.now().toMSecsSinceEpoch());
    QCOMPARE(site.date(), siteClock.date());
    QCOMPARE(site.time(), siteClock.time());
}

void TestPacificTime::pageEndTimeBecomesLocal_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QDate>("pacificDate");
    QTest::addColumn<QTime>("pacificTime");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QDate>("localDate");
    QTest::addColumn<QTime>("localTime");
    QTest::newRow("New York, 10 April 2003") << QByteArray("America/New_York") << QDate(2003, 4, 10)
                                             << QTime(18, 30) << "PDT" << QDate(2003, 4, 10) << QTime(21, 30);
    QTest::newRow("Berlin, July") << QByteArray("Europe/Berlin") << QDate(2026, 7, 15) << QTime(12, 0)
                                  << "PDT" << QDate(2026, 7, 15) << QTime(21, 0);
    QTest::newRow("Berlin, January") << QByteArray("Europe/Berlin") << QDate(2026, 1, 15) << QTime(12, 0)
                                     << "PST" << QDate(2026, 1, 15) << QTime(21, 0);
    QTest::newRow("Honolulu, July") << QByteArray("Pacific/Honolulu") << QDate(2026, 7, 15) << QTime(12, 0)
                                    << "PDT" << QDate(2026, 7, 15) << QTime(9, 0);
    QTest::newRow("Honolulu, January") << QByteArray("Pacific/Honolulu") << QDate(2026, 1, 15) << QTime(12, 0)
                                       << "PST" << QDate(2026, 1, 15) << QTime(10, 0);
    QTest::newRow("Phoenix, July") << QByteArray("America/Phoenix") << QDate(2026, 7, 15) << QTime(12, 0)
                                   << "PDT" << QDate(2026, 7, 15) << QTime(12, 0);
    QTest::newRow("Kolkata, July, next day") << QByteArray("Asia/Kolkata") << QDate(2026, 7, 15)
                                             << QTime(12, 0) << "PDT" << QDate(2026, 7, 16) << QTime(0, 30);
}

void TestPacificTime::pageEndTimeBecomesLocal()
{
    QFETCH(QByteArray, zone);
    QFETCH(QDate, pacificDate);
    QFETCH(QTime, pacificTime);
    QFETCH(QString, label);
    QFETCH(QDate, localDate);
    QFETCH(QTime, localTime);
    test::setTimeZone(zone.constData());
    const QDateTime local = pacificToLocal(pacificDate, pacificTime, label);
    QCOMPARE(local.timeSpec(), Qt::LocalTime);
    QCOMPARE(local.date(), localDate);
    QCOMPARE(local.time(), localTime);
    if (zone == "America/New_York")
        QCOMPARE(formatDate(local, DateFormat::ShortYear), u"Thu, Apr 10, 03 - 09:30 PM");
}

void TestPacificTime::pacificWallTimeAroundChanges_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QDateTime>("utc");
    const QDate fallBack(2026, 11, 1);
    const QDate springForward(2026, 3, 8);
    const QTime half(1, 30);
    const QTime inGap(2, 30);
    const auto utc = [](QDate d, int h, int m) { return QDateTime(d, QTime(h, m), Qt::UTC); };
    QTest::newRow("label against the database")
        << QDate(2026, 7, 15) << QTime(12, 0) << "PST" << utc(QDate(2026, 7, 15), 19, 0);
    QTest::newRow("repeated hour, PDT") << fallBack << half << "PDT" << utc(fallBack, 8, 30);
    QTest::newRow("repeated hour, PST") << fallBack << half << "PST" << utc(fallBack, 9, 30);
    QTest::newRow("repeated hour, pst") << fallBack << half << "pst" << utc(fallBack, 9, 30);
    QTest::newRow("repeated hour, no label") << fallBack << half << "" << utc(fallBack, 8, 30);
    QTest::newRow("skipped hour, PST") << springForward << inGap << "PST" << utc(springForward, 10, 30);
    QTest::newRow("skipped hour, PDT") << springForward << inGap << "PDT" << utc(springForward, 9, 30);
    QTest::newRow("skipped hour, no label") << springForward << inGap << "XYZ" << utc(springForward, 9, 30);
    // The rules of the year in question: until 2006 daylight time began in April.
    QTest::newRow("March 2003 still standard")
        << QDate(2003, 3, 9) << inGap << "PST" << utc(QDate(2003, 3, 9), 10, 30);
    QTest::newRow("April 2003 skipped hour")
        << QDate(2003, 4, 6) << inGap << "" << utc(QDate(2003, 4, 6), 9, 30);
    QTest::newRow("invalid time") << springForward << QTime(25, 0) << "PST" << QDateTime();
}

void TestPacificTime::pacificWallTimeAroundChanges()
{
    QFETCH(QDate, date);
    QFETCH(QTime, time);
    QFETCH(QString, label);
    QFETCH(QDateTime, utc);
    test::setTimeZone("Europe/London");
    const QDateTime local = pacificToLocal(date, time, label);
    QCOMPARE(local.isValid(), utc.isValid());
    if (utc.isValid())
        QCOMPARE(local.toUTC(), utc);
}

void TestPacificTime::zoneInformation_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<ZoneMode>("mode");
    QTest::addColumn<int>("bias");
    QTest::addColumn<int>("daylightBias");
    QTest::addColumn<QString>("standardName");
    QTest::addColumn<QString>("daylightName");
    const QDate july(2026, 7, 15);
    const QDate january(2026, 1, 15);
    QTest::newRow("Pacific, July") << QByteArray("America/Los_Angeles") << july << ZoneMode::Daylight << 480
                                   << -60 << "Pacific Standard Time"
                                   << "Pacific Daylight Time";
    QTest::newRow("Pacific, January") << QByteArray("America/Los_Angeles") << january << ZoneMode::Standard
                                      << 480 << -60 << "Pacific Standard Time"
                                      << "Pacific Daylight Time";
    QTest::newRow("Sydney, January") << QByteArray("Australia/Sydney") << january << ZoneMode::Daylight
                                     << -600 << -60 << "AUS Eastern Standard Time"
                                     << "AUS Eastern Daylight Time";
    QTest::newRow("Kolkata, renamed zone")
        << QByteArray("Asia/Kolkata") << july << ZoneMode::Standard << -330 << 0 << "India Standard Time"
        << "India Daylight Time";
    QTest::newRow("Kyiv, renamed zone")
        << QByteArray("Europe/Kyiv") << january << ZoneMode::Standard << -120 << -60 << "FLE Standard Time"
        << "FLE Daylight Time";
    QTest::newRow("UTC") << QByteArray("UTC") << july << ZoneMode::Standard << 0 << 0 << "UTC"
                         << "UTC";
    QTest::newRow("Phoenix, July") << QByteArray("America/Phoenix") << july << ZoneMode::Standard << 420 << 0
                                   << "US Mountain Standard Time"
                                   << "US Mountain Daylight Time";
    // The database calls Irish winter time daylight time, with a negative saving.
    QTest::newRow("Dublin, January") << QByteArray("Europe/Dublin") << january << ZoneMode::Standard << 0
                                     << -60 << "GMT Standard Time"
                                     << "GMT Daylight Time";
    QTest::newRow("Dublin, July") << QByteArray("Europe/Dublin") << july << ZoneMode::Daylight << 0 << -60
                                  << "GMT Standard Time"
                                  << "GMT Daylight Time";
    QTest::newRow("unreadable") << QByteArray("No/Such_Zone") << july << ZoneMode::Unknown << 0 << 0 << ""
                                << "";
}

void TestPacificTime::zoneInformation()
{
    QFETCH(QByteArray, zone);
    QFETCH(QDate, date);
    QFETCH(ZoneMode, mode);
    QFETCH(int, bias);
    QFETCH(int, daylightBias);
    QFETCH(QString, standardName);
    QFETCH(QString, daylightName);
    const TimeZoneInformation info
        = SystemTimeZoneSource::informationFor(QTimeZone(zone), QDateTime(date, QTime(12, 0), Qt::UTC));
    QCOMPARE(info.mode, mode);
    QCOMPARE(info.biasMinutes, bias);
    QCOMPARE(info.daylightBiasMinutes, daylightBias);
    QCOMPARE(info.standardName, standardName);
    QCOMPARE(info.daylightName, daylightName);
}

QTEST_APPLESS_MAIN(TestPacificTime)
#include "TestPacificTime.moc"
