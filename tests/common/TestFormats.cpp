#include <QLocale>
#include <QTest>

#include "common/Formats.h"

using namespace th;

// Every display format, under a German default locale so that nothing leans on the
// user's language or separators.
class TestFormats final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void money_data();
    void money();
    void twoDigitsAndClock();
    void dates_data();
    void dates();
    void ownDateTimeTextRoundTripsAndSortsAsTime();
};

void TestFormats::money_data()
{
    QTest::addColumn<qint64>("units");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("text");
    const int dollar = int(MoneyFormat::Dollar);
    const int spaced = int(MoneyFormat::DollarSpaced);
    const int plain = int(MoneyFormat::Plain);
    QTest::newRow("grouping") << qint64(12345000) << dollar << "$1,234.50";
    QTest::newRow("millions") << qint64(12345678900) << dollar << "$1,234,567.89";
    QTest::newRow("zero") << qint64(0) << dollar << "$0.00";
    QTest::newRow("spaced") << qint64(250000) << spaced << "$ 25.00";
    QTest::newRow("plain") << qint64(9999999) << plain << "1,000.00";
    QTest::newRow("half cent to even down") << qint64(1250) << dollar << "$0.12";
    QTest::newRow("half cent to even up") << qint64(1350) << dollar << "$0.14";
    QTest::newRow("negative") << qint64(-15000) << dollar << "-$1.50";
    QTest::newRow("three digits no group") << qint64(9990000) << dollar << "$999.00";
}

void TestFormats::money()
{
    QFETCH(qint64, units);
    QFETCH(int, format);
    QFETCH(QString, text);
    QCOMPARE(formatMoney(Money::fromUnits(units), MoneyFormat(format)), text);
}

void TestFormats::twoDigitsAndClock()
{
    QCOMPARE(formatTwoDigits(4), QStringLiteral("04"));
    QCOMPARE(formatTwoDigits(59), QStringLiteral("59"));
    QCOMPARE(formatTwoDigits(123), QStringLiteral("123"));
    QCOMPARE(formatClock(QTime(7, 5, 9)), QStringLiteral("07:05:09"));
    QCOMPARE(formatClock(QTime(23, 59, 59)), QStringLiteral("23:59:59"));
}

void TestFormats::dates_data()
{
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("text");
    const QDateTime evening(QDate(2003, 4, 10), QTime(18, 30));
    const QDateTime midnight(QDate(2026, 12, 7), QTime(0, 5));
    const QDateTime noon(QDate(2009, 1, 4), QTime(12, 0));
    QTest::newRow("short year") << evening << int(DateFormat::ShortYear) << "Thu, Apr 10, 03 - 06:30 PM";
    QTest::newRow("slashed") << evening << int(DateFormat::Slashed) << "Thu, Apr/10/03 06:30 PM";
    QTest::newRow("long year") << evening << int(DateFormat::LongYear) << "Thu, Apr 10, 2003 - 06:30 PM";
    QTest::newRow("just after midnight")
        << midnight << int(DateFormat::ShortYear) << "Mon, Dec 07, 26 - 12:05 AM";
    QTest::newRow("noon") << noon << int(DateFormat::LongYear) << "Sun, Jan 04, 2009 - 12:00 PM";
}

void TestFormats::dates()
{
    QFETCH(QDateTime, when);
    QFETCH(int, format);
    QFETCH(QString, text);
    QCOMPARE(formatDate(when, DateFormat(format)), text);
}

void TestFormats::ownDateTimeTextRoundTripsAndSortsAsTime()
{
    const QDateTime a(QDate(2026, 9, 30), QTime(23, 59, 58));
    const QDateTime b(QDate(2026, 10, 1), QTime(0, 0, 1));
    QCOMPARE(parseDateTimeText(dateTimeText(a)), a);
    QVERIFY(dateTimeText(a) < dateTimeText(b));
    QVERIFY(!parseDateTimeText(QStringLiteral("10/1/2026 12:00:01 AM")).isValid());
    QVERIFY(dateTimeText(QDateTime()).isEmpty());
}

QTEST_APPLESS_MAIN(TestFormats)
#include "TestFormats.moc"
