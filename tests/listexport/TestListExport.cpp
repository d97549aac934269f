// The watch list written for other programs: a calendar file read back by a real iCalendar
// library, a CSV table read back by a real CSV reader, and the files they may replace.

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include "PythonReader.h"
#include "TestSupport.h"
#include "listexport/CalendarFeed.h"
#include "listexport/CsvTable.h"
#include "listexport/ExportTarget.h"
#include "listexport/ListEntries.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListModel.h"

using namespace th;
using namespace th::test;

namespace {

QDateTime local(int month, int day, int hour, int minute)
{
    return QDateTime(QDate(2026, month, day), QTime(hour, minute));
}

ListEntry entry(const QString &item, const QString &title, const QDateTime &end)
{
    ListEntry e;
    e.item = item;
    e.title = title;
    e.bids = QStringLiteral("3");
    e.price = QStringLiteral("$12.50");
    e.end = end;
    return e;
}

ListEntry withAutoBid(ListEntry e)
{
    e.maxAutoBid = Money::fromText(u"30.25");
    e.maxQuantity = 1;
    e.maxTimeLeft = 20;
    return e;
}

} // namespace

class TestListExport final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void calendarLinesFoldAtOctetsWithoutSplittingCharacters_data();
    void calendarLinesFoldAtOctetsWithoutSplittingCharacters();
    void calendarTextIsEscaped_data();
    void calendarTextIsEscaped();
    void calendarIsReadByAnICalendarLibrary();
    void entriesTakeEachRowsOwnRecord();
    void csvRoundTripsThroughACsvReader();
    void dataFolderFilesAreRefused_data();
    void dataFolderFilesAreRefused();
    void failedWriteIsToldAndLeavesNoPartialFile_data();
    void failedWriteIsToldAndLeavesNoPartialFile();
};

void TestListExport::calendarLinesFoldAtOctetsWithoutSplittingCharacters_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("short") << "SUMMARY:Lamp";
    QTest::newRow("exactly 75 octets") << QString(u"SUMMARY:" + QString(67, u'x'));
    QTest::newRow("76 octets") << QString(u"SUMMARY:" + QString(68, u'x'));
    QTest::newRow("long ASCII") << QString(u"SUMMARY:" + QString(400, u'a'));
    QTest::newRow("two-octet characters") << QString(u"SUMMARY:" + QString(120, u'é'));
    QTest::newRow("three-octet characters") << QString(u"SUMMARY:x" + QString(90, QChar(0x6F22)));
    QTest::newRow("four-octet characters") << QString(u"SUMMARY:xy" + QString::fromUtf8("🦅").repeated(60));
}

void TestListExport::calendarLinesFoldAtOctetsWithoutSplittingCharacters()
{
    QFETCH(QString, line);
    const QByteArray folded = foldedCalendarLine(line);
    QVERIFY(folded.endsWith("\r\n"));
    QByteArray unfolded;
    const QList<QByteArray> parts = folded.chopped(2).split('\n');
    for (int i = 0; i < parts.size(); ++i) {
        QByteArray part = parts[i];
        if (i + 1 < parts.size()) {
            QVERIFY(part.endsWith('\r'));
            part.chop(1);
        }
        QVERIFY2(part.size() <= 75, part.constData());
        // Each physical line is whole UTF-8 on its own.
        QCOMPARE(QString::fromUtf8(part).toUtf8(), part);
        QVERIFY(!QString::fromUtf8(part).contains(QChar::ReplacementCharacter));
        if (i > 0) {
            QVERIFY(part.startsWith(' '));
            part.remove(0, 1);
        }
        unfolded += part;
    }
    QCOMPARE(QString::fromUtf8(unfolded), line);
}

void TestListExport::calendarTextIsEscaped_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("escaped");
    QTest::newRow("plain") << "Brass lamp"
                           << "Brass lamp";
    QTest::newRow("separators") << "a;b,c\\d"
                                << "a\\;b\\,c\\\\d";
    QTest::newRow("line breaks") << "one\ntwo\r\nthree\rfour"
                                 << "one\\ntwo\\nthree\\nfour";
    QTest::newRow("control characters") << QString(u"a\tb" + QString(QChar(7)) + u"c") << "a\tb c";
}

void TestListExport::calendarTextIsEscaped()
{
    QFETCH(QString, text);
    QFETCH(QString, escaped);
    QCOMPARE(calendarText(text), escaped);
}

void TestListExport::calendarIsReadByAnICalendarLibrary()
{
    QTemporaryDir dir;
    const QString title = QStringLiteral("Sèvres vase; \"blue\", 19th c. \\ boxed\nwith papers — ")
        + QString(60, QChar(0x6F22));
    const QList<ListEntry> entries {
        entry(QStringLiteral("2407604973"), title, local(12, 8, 10, 0)),
        withAutoBid(
            entry(QStringLiteral("2407604981"), QStringLiteral("Steam locomotive"), local(7, 1, 18, 30))),
        [] {
            ListEntry over = entry(QStringLiteral("2407605000"), QStringLiteral("Over"), local(12, 9, 0, 0));
            over.ended = true;
            return over;
        }(),
        entry(QStringLiteral("2407605001"), QStringLiteral("No page yet"), QDateTime()),
        entry(QStringLiteral("2407605002"), QStringLiteral("Ended before now"), local(1, 2, 0, 0)),
    };
    CalendarOptions options { QStringLiteral("127.0.0.1:8080"), local(1, 5, 12, 0), 2, 10 };
    const QString path = dir.filePath("list.ics");
    writeFile(path, calendarFile(entries, options));
    const QJsonObject read = readWithPython("read_calendar.py", path).object();
    QCOMPARE(read.value("version").toString(), "2.0");
    const QJsonArray events = read.value("events").toArray();
    QCOMPARE(events.size(), 2);

    const QJsonObject plain = events[0].toObject();
    QCOMPARE(plain.value("uid").toString(), "2407604973@items.tallyhawk.invalid");
    QCOMPARE(plain.value("summary").toString(), title.trimmed());
    // New York in winter is five hours behind UTC, in summer four.
    QCOMPARE(plain.value("start").toString(), "2026-12-08T15:00:00Z");
    QCOMPARE(plain.value("duration").toInt(-1), 0);
    QCOMPARE(plain.value("stamp").toString(), "2026-01-05T17:00:00Z");
    QCOMPARE(
        plain.value("url").toString(), "http://127.0.0.1:8080/aw-cgi/eBayISAPI.dll?ViewItem&item=2407604973");
    QCOMPARE(plain.value("description").toString(), "Price: $12.50\nBids: 3");
    QVERIFY(plain.value("alarms").toArray().isEmpty());

    const QJsonObject armed = events[1].toObject();
    QCOMPARE(armed.value("uid").toString(), "2407604981@items.tallyhawk.invalid");
    QCOMPARE(armed.value("start").toString(), "2026-07-01T22:30:00Z");
    QCOMPARE(armed.value("description").toString(),
        "Price: $12.50\nBids: 3\nAutomatic bid: maximum $30.25, quantity 1, placed 20 seconds before the "
        "end");
    const QJsonArray alarms = armed.value("alarms").toArray();
    QCOMPARE(alarms.size(), 2);
    QCOMPARE(alarms[0].toObject().value("related").toString(), "END");
    QCOMPARE(alarms[0].toObject().value("seconds").toInt(), -2 * 3600);
    QCOMPARE(alarms[0].toObject().value("description").toString(), "Ends in 2 hours: Steam locomotive");
    QCOMPARE(alarms[1].toObject().value("related").toString(), "END");
    QCOMPARE(alarms[1].toObject().value("seconds").toInt(), -10 * 60);

    // An alert that is off gives no alarm.
    options.firstAlertHours = 0;
    writeFile(path, calendarFile(entries, options));
    const QJsonArray fewer = readWithPython("read_calendar.py", path).object().value("events").toArray();
    QCOMPARE(fewer.size(), 2);
    QCOMPARE(fewer[1].toObject().value("alarms").toArray().size(), 1);
    QCOMPARE(fewer[1].toObject().value("alarms").toArray()[0].toObject().value("seconds").toInt(), -600);
}

void TestListExport::entriesTakeEachRowsOwnRecord()
{
    WatchListModel model;
    model.ensureRuntimeColumns();
    WatchItems records;
    model.addRow(QStringLiteral(" 2407604973 "));
    model.addRow(QStringLiteral("2407604981"));
    model.addRow(QStringLiteral("2407604990"));
    model.setSubItem(1, WatchListModel::ItemName, QStringLiteral("Locomotive"));
    model.setEnded(1, true);
    // The records in the other order: each row must still get its own.
    WatchItemRecord second;
    second.recItemNumber = 2407604981;
    second.recEndDate = local(12, 9, 8, 0);
    WatchItemRecord first;
    first.recItemNumber = 2407604973;
    first.recEndDate = local(12, 8, 8, 0);
    first.recMaxAutoBid = Money::fromText(u"5");
    // A page read without an end leaves the record's zero date: no end to export.
    WatchItemRecord unread;
    unread.recItemNumber = 2407604990;
    unread.recEndDate = QDateTime(QDate(1899, 12, 30), QTime(0, 0));
    records.append(second);
    records.append(first);
    records.append(unread);

    const QList<ListEntry> entries = listEntries(model, records);
    QCOMPARE(entries.size(), 3);
    QVERIFY(!entries[2].end.isValid());
    QCOMPARE(entries[0].item, "2407604973");
    QCOMPARE(entries[0].end, local(12, 8, 8, 0));
    QVERIFY(entries[0].hasAutoBid());
    QCOMPARE(entries[1].title, "Locomotive");
    QCOMPARE(entries[1].end, local(12, 9, 8, 0));
    QVERIFY(entries[1].ended);
    QVERIFY(!entries[1].hasAutoBid());
}

void TestListExport::csvRoundTripsThroughACsvReader()
{
    QTemporaryDir dir;
    const QStringList titles { QStringLiteral("Lamp, brass, \"Art Deco\""), QStringLiteral("Two\nlines"),
        QStringLiteral("CR LF\r\nbreak"), QStringLiteral("Ölgemälde — 油画 🦅"),
        QStringLiteral(" blanks around "), QStringLiteral("\"") };
    QList<ListEntry> entries;
    for (int i = 0; i < titles.size(); ++i)
        entries.append(entry(QString::number(2407604973 + i), titles[i], local(12, 8 + i, 10, 0)));
    entries[1] = withAutoBid(entries[1]);
    entries[1].end = local(7, 1, 18, 30);
    entries[2].end = QDateTime();
    entries[3].buyItNow = QStringLiteral("$1,200.00");
    const QString path = dir.filePath("list.csv");
    writeFile(path, csvTable(entries));
    QVERIFY(!fileBytes(path).startsWith("\xEF\xBB\xBF"));

    const QJsonArray rows = readWithPython("read_csv.py", path).array();
    QCOMPARE(rows.size(), entries.size() + 1);
    QCOMPARE(rows[0].toArray().toVariantList(), QVariant(csvHeader()).toList());
    for (int i = 0; i < entries.size(); ++i) {
        const QJsonArray row = rows[i + 1].toArray();
        QCOMPARE(row.size(), csvHeader().size());
        QCOMPARE(row[0].toString(), entries[i].item);
        QCOMPARE(row[1].toString(), titles[i]);
        QCOMPARE(row[2].toString(), "3");
        QCOMPARE(row[3].toString(), "$12.50");
        QCOMPARE(row[8].toString(), entries[i].buyItNow);
    }
    QCOMPARE(rows[1].toArray()[6].toString(), "2026-12-08T10:00:00-05:00");
    QCOMPARE(rows[2].toArray()[6].toString(), "2026-07-01T18:30:00-04:00");
    QCOMPARE(rows[3].toArray()[6].toString(), "");
    const QJsonArray armed = rows[2].toArray();
    QCOMPARE(armed[10].toString(), "30.25");
    QCOMPARE(armed[11].toString(), "1");
    QCOMPARE(armed[12].toString(), "20");
    QCOMPARE(rows[1].toArray()[10].toString(), "");
}

void TestListExport::dataFolderFilesAreRefused_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("refused");
    QTest::newRow("the store") << "registry.db" << true;
    QTest::newRow("the store's journal") << "registry.db-wal" << true;
    QTest::newRow("the store, by a detour") << "IntelliSense/../registry.db" << true;
    QTest::newRow("the store, through a link") << "link-to-store" << true;
    QTest::newRow("the store, through a linked folder") << "linked-home/registry.db" << true;
    QTest::newRow("config.ini") << "config.ini" << true;
    QTest::newRow("the search history") << "IntelliSense/iSense.dat" << true;
    QTest::newRow("a store copy") << "backups/registry-daily-2026-12-08.db" << true;
    QTest::newRow("the lock") << "tallyhawk.lock" << true;
    QTest::newRow("a calendar in the data folder") << "calendar.ics" << false;
    QTest::newRow("a file elsewhere") << "elsewhere/list.csv" << false;
}

void TestListExport::dataFolderFilesAreRefused()
{
    QFETCH(QString, target);
    QFETCH(bool, refused);
    QTemporaryDir dir;
    const QString home = dir.filePath("home");
    QVERIFY(QDir().mkpath(home + "/IntelliSense") && QDir().mkpath(home + "/backups")
        && QDir().mkpath(dir.filePath("elsewhere")));
    writeFile(home + "/registry.db", "store");
    writeFile(home + "/config.ini", "[Hosts]\r\n");
    QVERIFY(QFile::link(home + "/registry.db", dir.filePath("link-to-store")));
    QVERIFY(QFile::link(home, dir.filePath("linked-home")));
    const QString path = target.startsWith(u"elsewhere") || target.startsWith(u"link") ? dir.filePath(target)
                                                                                       : home + u'/' + target;
    const QByteArray before = fileBytes(path);

    const Result<void> written = writeExportFile(path, "BEGIN:VCALENDAR\r\n", home);
    QCOMPARE(!written.ok(), refused);
    if (refused) {
        QCOMPARE(written.error().code, kExportTargetRefused);
        QVERIFY(written.errorMessage().contains(QDir::toNativeSeparators(path)));
        QCOMPARE(fileBytes(path), before);
    } else {
        QCOMPARE(fileBytes(path), QByteArray("BEGIN:VCALENDAR\r\n"));
    }
}

void TestListExport::failedWriteIsToldAndLeavesNoPartialFile_data()
{
    QTest::addColumn<QString>("failure");
    QTest::newRow("the target is a folder") << "folder";
    QTest::newRow("the folder is missing") << "missing";
    QTest::newRow("the disk fills") << "full";
}

void TestListExport::failedWriteIsToldAndLeavesNoPartialFile()
{
    QFETCH(QString, failure);
    QTemporaryDir dir;
    QString path = dir.filePath("list.csv");
    if (failure == u"folder")
        QVERIFY(QDir().mkpath(path));
    if (failure == u"missing")
        path = dir.filePath("gone/list.csv");
    if (failure == u"full")
        writeFile(path, "old table\r\n");
    const QByteArray big(64 * 1024, 'x');
    Result<void> written;
    {
        std::unique_ptr<FileSizeLimit> limit;
        if (failure == u"full")
            limit = std::make_unique<FileSizeLimit>(16);
        written = writeExportFile(path, big, dir.filePath("home"));
    }
    QVERIFY(!written.ok());
    QVERIFY(written.errorMessage().contains(QDir::toNativeSeparators(path)));
    const QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    QCOMPARE(left, failure == u"full" ? QStringList { "list.csv" } : QStringList {});
    if (failure == u"full")
        QCOMPARE(fileBytes(path), QByteArray("old table\r\n"));
}

QTEST_APPLESS_MAIN(TestListExport)
#include "TestListExport.moc"
