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
    void endNotLaterThanNowHasEnded();
    void rowOpensTheFirstRecordWithItsNumber_data();
    void rowOpensTheFirstRecordWithItsNumber();
    void storedSizeChoice_data();
    void storedSizeChoice();
};

void TestCountdownClock::showsTimeLeftAndWarnsInTheLastFiveMinutes_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("daysHours");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("secondsText");
    QTest::addColumn<bool>("warning");

    QTest::newRow("one second") << qint64(1) << "0dy,00"
                                << "00"
                                << "01" << true;
    QTest::newRow("five minutes") << qint64(300) << "0dy,00"
                                  << "05"
                                  << "00" << true;
    QTest::newRow("five minutes and a second") << qint64(301) << "0dy,00"
                                               << "05"
                                               << "01" << false;
    QTest::newRow("one hour") << qint64(3600) << "0dy,01"
                              << "00"
                              << "00" << false;
    QTest::newRow("1 day 5 h 3 min 9 s") << qint64(86400 + 5 * 3600 + 3 * 60 + 9) << "1dy,05"
                                         << "03"
                                         << "09" << false;
    QTest::newRow("many days") << qint64(12 * 86400 + 23 * 3600 + 59 * 60 + 59) << "12dy,23"
                               << "59"
                               << "59" << false;
    QTest::newRow("under a second") << qint64(0) << ""
                                    << ""
                                    << "" << false;
}

void TestCountdownClock::showsTimeLeftAndWarnsInTheLastFiveMinutes()
{
    QFETCH(qint64, seconds);
    const QDateTime now(QDate(2026, 3, 2), QTime(12, 0));
    // Half a second more never adds a whole second.
    const CountdownDisplay display = countdownDisplay(now, now.addMSecs(seconds * 1000 + 500));
    QVERIFY(!display.ended);
    QTEST(display.daysHours, "daysHours");
    QTEST(display.minutes, "minutes");
    QTEST(display.seconds, "secondsText");
    QTEST(display.warning, "warning");
}

void TestCountdownClock::endNotLaterThanNowHasEnded()
{
    const QDateTime now(QDate(2026, 3, 2), QTime(12, 0));
    QVERIFY(countdownDisplay(now, now).ended);
    QVERIFY(countdownDisplay(now, now.addSecs(-1)).ended);
    QVERIFY(countdownDisplay(now, QDateTime()).ended);
    QVERIFY(!countdownDisplay(now, now.addMSecs(1)).ended);
}

void TestCountdownClock::rowOpensTheFirstRecordWithItsNumber_data()
{
    QTest::addColumn<QString>("rowText");
    QTest::addColumn<QString>("tip"); // empty: no clock

    QTest::newRow("ten digits") << "2407604973"
                                << "Item#: 2407604973, \r\nBrass lamp";
    QTest::newRow("blanks around") << " 2407604973 "
                                   << "Item#: 2407604973, \r\nBrass lamp";
    QTest::newRow("first of two") << "1234567"
                                  << "Item#: 1234567, \r\nFirst";
    QTest::newRow("no record") << "7654321"
                               << "";
    QTest::newRow("no text") << ""
                             << "";
    QTest::newRow("not a number") << "abc"
                                  << "";
}

void TestCountdownClock::rowOpensTheFirstRecordWithItsNumber()
{
    QFETCH(QString, rowText);
    QFETCH(QString, tip);
    const QDateTime end(QDate(2026, 3, 2), QTime(18, 30));
    WatchItems records;
    records.append({});
    WatchItemRecord lamp;
    lamp.recItemNumber = 2407604973.0;
    lamp.recTitle = QStringLiteral("  Brass lamp \t");
    lamp.recEndDate = end;
    records.append(lamp);
    for (const char *title : { "First", "Second" }) {
        WatchItemRecord record;
        record.recItemNumber = 1234567;
        record.recTitle = QString::fromLatin1(title);
        record.recEndDate = end.addDays(1);
        records.append(record);
    }

    const std::optional<ClockTarget> target = clockTargetFor(rowText, records);
    QCOMPARE(target.has_value(), !tip.isEmpty());
    if (target) {
        QCOMPARE(target->tip, tip);
        QCOMPARE(target->endTime, tip.contains(u"lamp") ? end : end.addDays(1));
    }
}

void TestCountdownClock::storedSizeChoice_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("size"); // -1: none

    QTest::newRow("missing or empty") << "" << 0;
    QTest::newRow("big") << "0" << 0;
    QTest::newRow("medium") << "1" << 1;
    QTest::newRow("small") << "2" << 2;
    QTest::newRow("no such size") << "7" << -1;
    QTest::newRow("not a number") << "big" << -1;
}

void TestCountdownClock::storedSizeChoice()
{
    QFETCH(QString, stored);
    QTEST(clockSizeFromText(stored).value_or(-1), "size");
}

QTEST_APPLESS_MAIN(TestCountdownClock)
#include "TestCountdownClock.moc"
