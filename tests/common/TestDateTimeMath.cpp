#include <QTest>

#include "common/DateTimeMath.h"
#include "common/HostPort.h"
#include "common/ItemNumber.h"

using namespace th;

// Day numbers, elapsed-time counting, and the small input checks the program applies to
// item numbers and configured hosts. Runs in America/New_York.
class TestDateTimeMath final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void dayNumbers_data();
    void dayNumbers();
    void dayNumberRoundTripToday();
    void secondsAcrossMidnight();
    void minuteBoundaries_data();
    void minuteBoundaries();
    void countsRealTimeAcrossDaylightChange();
    void itemNumbers_data();
    void itemNumbers();
    void hostPorts();
};

void TestDateTimeMath::dayNumbers_data()
{
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<double>("day");
    QTest::newRow("day zero") << QDateTime(QDate(1899, 12, 30), QTime(0, 0)) << 0.0;
    QTest::newRow("day zero noon") << QDateTime(QDate(1899, 12, 30), QTime(12, 0)) << 0.5;
    QTest::newRow("day one") << QDateTime(QDate(1899, 12, 31), QTime(6, 0)) << 1.25;
    QTest::newRow("day before, counted back") << QDateTime(QDate(1899, 12, 29), QTime(6, 0)) << -1.25;
    QTest::newRow("2003 example") << QDateTime(QDate(2003, 4, 10), QTime(18, 0)) << 37721.75;
}

void TestDateTimeMath::dayNumbers()
{
    QFETCH(QDateTime, when);
    QFETCH(double, day);
    QCOMPARE(toDayNumber(when), day);
    QCOMPARE(fromDayNumber(day), when);
}

void TestDateTimeMath::dayNumberRoundTripToday()
{
    const QDateTime now(QDate(2026, 12, 7), QTime(20, 15, 42));
    QCOMPARE(fromDayNumber(toDayNumber(now)), now);
    // A fraction a hair short of midnight is the next midnight, not 23:59:59.9999.
    QCOMPARE(fromDayNumber(46362.9999999999), QDateTime(QDate(2026, 12, 7), QTime(0, 0)));
}

void TestDateTimeMath::secondsAcrossMidnight()
{
    const QDateTime before(QDate(2026, 3, 1), QTime(23, 59, 58, 900));
    const QDateTime after(QDate(2026, 3, 2), QTime(0, 0, 1, 100));
    QCOMPARE(secondBoundaries(before, after), qint64(3));
    QCOMPARE(secondBoundaries(after, before), qint64(-3));
}

void TestDateTimeMath::minuteBoundaries_data()
{
    QTest::addColumn<QTime>("from");
    QTest::addColumn<QTime>("to");
    QTest::addColumn<qint64>("minutes");
    QTest::newRow("four boundaries") << QTime(12, 0, 45) << QTime(12, 4, 15) << qint64(4);
    QTest::newRow("three boundaries") << QTime(12, 0, 5) << QTime(12, 3, 55) << qint64(3);
    QTest::newRow("same minute") << QTime(12, 0, 0) << QTime(12, 0, 59) << qint64(0);
    QTest::newRow("backwards") << QTime(12, 4, 15) << QTime(12, 0, 45) << qint64(-4);
}

void TestDateTimeMath::minuteBoundaries()
{
    QFETCH(QTime, from);
    QFETCH(QTime, to);
    QFETCH(qint64, minutes);
    const QDate day(2026, 6, 1);
    QCOMPARE(th::minuteBoundaries(QDateTime(day, from), QDateTime(day, to)), minutes);
}

void TestDateTimeMath::countsRealTimeAcrossDaylightChange()
{
    // 8 March 2026: New York clocks jump from 02:00 to 03:00. 01:30 to 03:30 on the wall is
    // one real hour.
    const QDateTime before(QDate(2026, 3, 8), QTime(1, 30));
    const QDateTime after(QDate(2026, 3, 8), QTime(3, 30));
    QCOMPARE(secondBoundaries(before, after), qint64(3600));
    QCOMPARE(th::minuteBoundaries(before, after), qint64(60));
    // 1 November 2026: 01:00-02:00 happens twice; midnight to 03:00 is four real hours.
    const QDateTime night(QDate(2026, 11, 1), QTime(0, 0));
    const QDateTime morning(QDate(2026, 11, 1), QTime(3, 0));
    QCOMPARE(secondBoundaries(night, morning), qint64(4 * 3600));
}

void TestDateTimeMath::itemNumbers_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored"); // empty: refused
    QTest::newRow("blanks trimmed") << " 123456789 "
                                    << "123456789";
    QTest::newRow("minimum") << "500000"
                             << "500000";
    QTest::newRow("below minimum") << "499999"
                                   << "";
    QTest::newRow("exponent") << "1e6"
                              << "";
    QTest::newRow("decimal") << "500000.5"
                             << "";
    QTest::newRow("plus sign") << "+500000"
                               << "";
    QTest::newRow("letters") << "12a"
                             << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("long number") << "12345678901234567890"
                                 << "12345678901234567890";
    QTest::newRow("leading zeros below") << "0000499999"
                                         << "";
    QTest::newRow("leading zeros above") << "0500001"
                                         << "0500001";
}

void TestDateTimeMath::itemNumbers()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    const auto result = normalizeItemNumber(typed);
    QCOMPARE(result.value_or(QString()), stored);
}

void TestDateTimeMath::hostPorts()
{
    QCOMPARE(parseHostPort(u"cgi.example.com", 80),
        (HostPort { QStringLiteral("cgi.example.com"), 80, QStringLiteral("cgi.example.com") }));
    QCOMPARE(parseHostPort(u"127.0.0.1:8080", 80),
        (HostPort { QStringLiteral("127.0.0.1"), 8080, QStringLiteral("127.0.0.1:8080") }));
    QCOMPARE(parseHostPort(u"time.example.gov", 13)->port, quint16(13));
    QVERIFY(!parseHostPort(u"", 80));
    QVERIFY(!parseHostPort(u"host:0", 80));
    QVERIFY(!parseHostPort(u"host:70000", 80));
    QVERIFY(!parseHostPort(u"host:abc", 80));
    QVERIFY(!parseHostPort(u"http://host/", 80));
    QVERIFY(!parseHostPort(u"bad host", 80));
}

QTEST_APPLESS_MAIN(TestDateTimeMath)
#include "TestDateTimeMath.moc"
