#include <QTest>

#include "alerts/CountdownClock.h"
#include "watchlist/WatchItems.h"

using namespace th;

// The countdown clock's face for a time left, and which record a row opens it for.
class TestCountdownClock final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void showsTimeLeftAndWarnsInTheLastFiveMinutes_data();
    void showsTimeLeftAndWarnsInTheLastFiveMinutes();
    void rowOpensTheFirstRecordWithItsNumber_data();
    void rowOpensTheFirstRecordWithItsNumber();
};

void TestCountdownClock::showsTimeLeftAndWarnsInTheLastFiveMinutes_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("face"); // days and hours, minutes, seconds
    QTest::addColumn<bool>("warning");

    QTest::newRow("five minutes") << qint64(300) << "0dy,00 05 00" << true;
    QTest::newRow("five minutes and a second") << qint64(301) << "0dy,00 05 01" << false;
    QTest::newRow("one hour") << qint64(3600) << "0dy,01 00 00" << false;
    QTest::newRow("1 day 5 h 3 min 9 s") << qint64(86400 + 5 * 3600 + 3 * 60 + 9) << "1dy,05 03 09" << false;
    QTest::newRow("twelve days") << qint64(12 * 86400 + 23 * 3600) << "12dy,23 00 00" << false;
    QTest::newRow("under a second: digits stay") << qint64(0) << "  " << false;
}

void TestCountdownClock::showsTimeLeftAndWarnsInTheLastFiveMinutes()
{
    QFETCH(qint64, seconds);
    const QDateTime now(QDate(2026, 3, 2), QTime(12, 0));
    // Half a second more never adds a whole second.
    const CountdownDisplay display = countdownDisplay(now, now.addMSecs(seconds * 1000 + 500));
    QVERIFY(!display.ended);
    QTEST(QStringList({ display.daysHours, display.minutes, display.seconds }).join(u' '), "face");
    QTEST(display.warning, "warning");
}

void TestCountdownClock::rowOpensTheFirstRecordWithItsNumber_data()
{
    QTest::addColumn<QString>("rowText");
    QTest::addColumn<QString>("tip"); // empty: no clock
    QTest::addColumn<int>("endDay");

    QTest::newRow("ten digits") << "2407604973"
                                << "Item#: 2407604973, \r\nBrass lamp" << 2;
    QTest::newRow("blanks around") << " 2407604973 "
                                   << "Item#: 2407604973, \r\nBrass lamp" << 2;
    QTest::newRow("first of two") << "1234567"
                                  << "Item#: 1234567, \r\nFirst" << 3;
    QTest::newRow("no record") << "7654321"
                               << "" << 0;
    QTest::newRow("no text") << ""
                             << "" << 0;
}

void TestCountdownClock::rowOpensTheFirstRecordWithItsNumber()
{
    QFETCH(QString, rowText);
    QFETCH(QString, tip);
    QFETCH(int, endDay);
    const auto record = [](double item, const QString &title, int day) {
        WatchItemRecord written;
        written.recItemNumber = item;
        written.recTitle = title;
        written.recEndDate = QDateTime(QDate(2026, 3, day), QTime(18, 0));
        return written;
    };
    WatchItems records;
    records.append({}); // a row no update has written yet
    records.append(record(2407604973.0, QStringLiteral("  Brass lamp \t"), 2));
    records.append(record(1234567, QStringLiteral("First"), 3));
    records.append(record(1234567, QStringLiteral("Second"), 4));

    const std::optional<ClockTarget> target = clockTargetFor(rowText, records);
    QCOMPARE(target.has_value(), !tip.isEmpty());
    if (target) {
        QCOMPARE(target->tip, tip);
        QCOMPARE(target->endTime.date().day(), endDay);
    }
}

QTEST_APPLESS_MAIN(TestCountdownClock)
#include "TestCountdownClock.moc"
