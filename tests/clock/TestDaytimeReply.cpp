#include <QFile>
#include <QTest>

#include "TestSupport.h"
#include "clock/DaytimeReply.h"
#include "clock/TimeServerTable.h"

using namespace th;

Q_DECLARE_METATYPE(th::DaytimeRecord)
Q_DECLARE_METATYPE(std::optional<th::DaytimeRecord>)

// Reading the daytime servers' replies, their date-times, and the table of servers.
class TestDaytimeReply final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsFieldsAroundFirstColon_data();
    void readsFieldsAroundFirstColon();
    void readsEveryGenuineServerLine();
    void recordsBecomeUtcDateTimes_data();
    void recordsBecomeUtcDateTimes();
    void tableTakesConfiguredHostsAndFallsBack();
};

void TestDaytimeReply::readsFieldsAroundFirstColon_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<std::optional<DaytimeRecord>>("record");
    const std::optional<DaytimeRecord> none;
    QTest::newRow("server line") << QStringLiteral("\n49010 93-01-23 22:01:22 00 0 0  50.0 UTC(NIST) * \n")
                                 << std::optional(DaytimeRecord { 93, 1, 23, 22, 1, 22 });
    QTest::newRow("no colon") << QStringLiteral("\n49010 93-01-23 22.01.22\n") << none;
    QTest::newRow("empty") << QString() << none;
    // The year would lie before the start of the text.
    QTest::newRow("first colon at 11") << QStringLiteral("3-01-23 22:01:22") << none;
    QTest::newRow("first colon at 12")
        << QStringLiteral("93-01-23 22:01:22") << std::optional(DaytimeRecord { 93, 1, 23, 22, 1, 22 });
    QTest::newRow("only the first colon counts") << QStringLiteral("x: 93-01-23 22:01:22") << none;
    QTest::newRow("letter in a field") << QStringLiteral("\n49010 93-0x-23 22:01:22") << none;
    QTest::newRow("negative field") << QStringLiteral("\n49010 93-01--1 22:01:22") << none;
    QTest::newRow("cut short after the minutes") << QStringLiteral("\n49010 93-01-23 22:01") << none;
    QTest::newRow("blank-padded hour") << QStringLiteral("\n49010 93-01-23  7:01:22")
                                       << std::optional(DaytimeRecord { 93, 1, 23, 7, 1, 22 });
    QTest::newRow("single digit at the end")
        << QStringLiteral("\n49010 93-01-23 22:01:2") << std::optional(DaytimeRecord { 93, 1, 23, 22, 1, 2 });
}

void TestDaytimeReply::readsFieldsAroundFirstColon()
{
    QFETCH(QString, reply);
    QFETCH(std::optional<DaytimeRecord>, record);
    QCOMPARE(ParseDaytimeReply(reply), record);
}

// Each line as a live server sends it: a line feed, the line (with its own trailing
// blanks), a line feed.
void TestDaytimeReply::readsEveryGenuineServerLine()
{
    QFile replies(test::testDataFolder() + u"/clock/replies.txt");
    QFile expected(test::testDataFolder() + u"/clock/replies-expected.tsv");
    QVERIFY(replies.open(QIODevice::ReadOnly));
    QVERIFY(expected.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = replies.readAll().split('\n');
    QList<QByteArray> rows = expected.readAll().trimmed().split('\n');
    rows.removeFirst(); // header
    QCOMPARE(rows.size(), 22);
    for (const QByteArray &row : std::as_const(rows)) {
        const QList<QByteArray> cells = row.split('\t');
        const int lineNumber = cells.at(0).toInt();
        const QString line = QString::fromLatin1(lines.at(lineNumber - 1));
        const QDateTime utc = QDateTime::fromString(QString::fromLatin1(cells.at(2)), Qt::ISODate);
        const QString sent = u'\n' + line + u'\n';
        const std::optional<DaytimeRecord> record = ParseDaytimeReply(sent);
        QVERIFY2(record, qPrintable(line));
        const DaytimeRecord want { quint8(utc.date().year() % 100), quint8(utc.date().month()),
            quint8(utc.date().day()), quint8(utc.time().hour()), quint8(utc.time().minute()),
            quint8(utc.time().second()) };
        QCOMPARE(*record, want);
        QCOMPARE(daytimeRecordToUtc(*record).toSecsSinceEpoch(), cells.at(3).toLongLong());
    }
}

void TestDaytimeReply::recordsBecomeUtcDateTimes_data()
{
    QTest::addColumn<DaytimeRecord>("record");
    QTest::addColumn<QDateTime>("utc");
    const auto utc = [](int y, int mo, int d, int h, int mi, int s) {
        return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
    };
    QTest::newRow("29 is 2029") << DaytimeRecord { 29, 12, 31, 23, 59, 59 } << utc(2029, 12, 31, 23, 59, 59);
    QTest::newRow("30 is 1930") << DaytimeRecord { 30, 1, 1, 0, 0, 0 } << utc(1930, 1, 1, 0, 0, 0);
    QTest::newRow("leap second is the next minute")
        << DaytimeRecord { 16, 12, 31, 23, 59, 60 } << utc(2017, 1, 1, 0, 0, 0);
    QTest::newRow("month 13 carries into the year")
        << DaytimeRecord { 3, 13, 1, 12, 0, 0 } << utc(2004, 1, 1, 12, 0, 0);
}

void TestDaytimeReply::recordsBecomeUtcDateTimes()
{
    QFETCH(DaytimeRecord, record);
    QFETCH(QDateTime, utc);
    QCOMPARE(daytimeRecordToUtc(record), utc);
}

void TestDaytimeReply::tableTakesConfiguredHostsAndFallsBack()
{
    QStringList configured(TimeServerTable::kCount);
    configured[0] = QStringLiteral("127.0.0.1:4013");
    configured[1] = QStringLiteral(" daytime.example.org ");
    configured[2] = QStringLiteral("bad host!");
    configured[3] = QStringLiteral("127.0.0.1:0");
    const TimeServerTable table(configured.mid(0, 11)); // Server11 missing altogether
    QCOMPARE(table.size(), 12);
    QCOMPARE(table.at(0).address.host, u"127.0.0.1");
    QCOMPARE(table.at(0).address.port, quint16(4013));
    QCOMPARE(table.at(1).address.host, u"daytime.example.org");
    QCOMPARE(table.at(1).address.port, quint16(13));
    for (const int fallsBack : { 2, 3, 4, 11 }) {
        QCOMPARE(table.hostName(fallsBack), TimeServerTable::defaultHost(fallsBack));
        QCOMPARE(table.at(fallsBack).address.port, quint16(13));
    }
    QCOMPARE(TimeServerTable::configKey(11), u"Server11");

    const char *const locations[] = {
        "NIST, Gaithersburg, Maryland",
        "NIST, Gaithersburg, Maryland",
        "NIST, Boulder, Colorado",
        "NIST, Boulder, Colorado",
        "NIST, Boulder, Colorado",
        "University of Colorado, Boulder",
        "NCAR, Boulder, Colorado",
        "Microsoft, Redmond, Washington",
        "Datum, San Jose, California",
        "Abovnet, Virginia",
        "Abovnet, New York City",
        "Abovenet, San Jose, California",
    };
    for (int i = 0; i < TimeServerTable::kCount; ++i)
        QCOMPARE(table.location(i), QString::fromLatin1(locations[i]));
}

QTEST_APPLESS_MAIN(TestDaytimeReply)
#include "TestDaytimeReply.moc"
