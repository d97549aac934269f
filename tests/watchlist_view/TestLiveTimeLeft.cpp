#include <QSignalSpy>
#include <QTest>

#include "FakeClock.h"
#include "sim/PageChrome.h"
#include "watchlist/LiveTimeLeft.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListModel.h"

using namespace th;
using namespace th::test;

// The "t-Remaining" column counted down between updates, on the fake clock.
class TestLiveTimeLeft final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void wordingOfThePage_data();
    void wordingOfThePage();
    void wordingMatchesTheSimulatedSite();
    void offByDefaultAndThePageTextStays();
    void countsDownEverySecondUntilEnded();
    void aTextWrittenOverTheCountIsReplacedAtTheNextSecond();
    void rowsWithoutAnEndOrBeingUpdatedKeepTheirText();
    void neverMovesRows();
    void switchedOffTheColumnKeepsItsText();
};

namespace {

const QDateTime kNow(QDate(2026, 3, 2), QTime(12, 0));

struct Fixture {
    WatchListModel model;
    WatchItems records;
    FakeClock clock { kNow };
    LiveTimeLeft live { model, records, clock };

    Fixture() { keepRecordsWithRows(model, records, &model); }

    // A row as an update leaves it: the page's time-left text and the record's end.
    int addItem(const QString &item, const QString &pageText, const QDateTime &end)
    {
        const int row = model.addRow(item);
        model.setSubItem(row, WatchListModel::TimeRemaining, pageText);
        model.setSubItem(row, WatchListModel::Price, QStringLiteral("US $12.50"));
        WatchItemRecord &record = records.at(row + 1);
        record.recItemNumber = item.toDouble();
        record.recEndDate = end;
        record.recTimeLeftText = pageText;
        return row;
    }
    QString column(int row) const { return model.subItem(row, WatchListModel::TimeRemaining); }
};

} // namespace

void TestLiveTimeLeft::wordingOfThePage_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("days") << qint64(2 * 86400 + 3 * 3600 + 59) << "2 days, 3 hours +";
    QTest::newRow("one day") << qint64(86400) << "1 day, 0 hours +";
    QTest::newRow("one day one hour") << qint64(86400 + 3600) << "1 day, 1 hour +";
    QTest::newRow("hours") << qint64(5 * 3600 + 12 * 60 + 7) << "5 hours, 12 mins +";
    QTest::newRow("one hour one min") << qint64(3600 + 60) << "1 hour, 1 min +";
    QTest::newRow("minutes") << qint64(4 * 60 + 30) << "4 mins 30 secs";
    QTest::newRow("one min") << qint64(60) << "1 min 0 secs";
    QTest::newRow("one min one sec") << qint64(61) << "1 min 1 sec";
    QTest::newRow("seconds") << qint64(45) << "45 secs";
    QTest::newRow("last second") << qint64(1) << "1 sec";
    QTest::newRow("at the end") << qint64(0) << "Ended";
    QTest::newRow("after the end") << qint64(-3600) << "Ended";
}

void TestLiveTimeLeft::wordingOfThePage()
{
    QFETCH(qint64, seconds);
    QTEST(liveTimeLeftText(seconds), "text");
}

void TestLiveTimeLeft::wordingMatchesTheSimulatedSite()
{
    // Between updates the column reads as the page would read at that second.
    for (qint64 seconds = 1; seconds < 3 * 86400; seconds += seconds < 7200 ? 1 : 37)
        QCOMPARE(liveTimeLeftText(seconds), sim::timeLeftText(seconds));
}

void TestLiveTimeLeft::offByDefaultAndThePageTextStays()
{
    Fixture f;
    const int row = f.addItem(QStringLiteral("7000001"), QStringLiteral("3 mins 27 secs"), kNow.addSecs(207));
    QVERIFY(!f.live.isEnabled());
    QVERIFY(!f.live.tmrLiveTimeLeft.isActive());
    QCOMPARE(f.live.tmrLiveTimeLeft.interval(), 1000);
    // Time passes beyond the end: the column still shows the page's text, as it always has.
    f.clock.advanceSeconds(600);
    QCoreApplication::processEvents();
    QCOMPARE(f.column(row), QStringLiteral("3 mins 27 secs"));
    QVERIFY(!f.model.ended(row));
}

void TestLiveTimeLeft::countsDownEverySecondUntilEnded()
{
    Fixture f;
    const int soon
        = f.addItem(QStringLiteral("7000001"), QStringLiteral("3 mins 27 secs"), kNow.addSecs(207));
    const int later = f.addItem(
        QStringLiteral("7000002"), QStringLiteral("1 day, 2 hours +"), kNow.addSecs(86400 + 2 * 3600 + 5));
    f.live.setEnabled(true);
    QVERIFY(f.live.tmrLiveTimeLeft.isActive());
    // Switching on writes at once.
    QCOMPARE(f.column(soon), QStringLiteral("3 mins 27 secs"));
    QCOMPARE(f.column(later), QStringLiteral("1 day, 2 hours +"));

    f.clock.advanceSeconds(1);
    f.live.tmrLiveTimeLeft_Timer();
    QCOMPARE(f.column(soon), QStringLiteral("3 mins 26 secs"));
    f.clock.advanceSeconds(146);
    f.live.tmrLiveTimeLeft_Timer();
    QCOMPARE(f.column(soon), QStringLiteral("1 min 0 secs"));
    f.clock.advanceSeconds(59);
    f.live.tmrLiveTimeLeft_Timer();
    QCOMPARE(f.column(soon), QStringLiteral("1 sec"));
    QVERIFY(!f.model.ended(soon));
    f.clock.advanceSeconds(1);
    f.live.tmrLiveTimeLeft_Timer();
    QCOMPARE(f.column(soon), QStringLiteral("Ended"));
    // The row reads as ended at once.
    QVERIFY(f.model.ended(soon));
    QCOMPARE(f.column(later), QStringLiteral("1 day, 1 hour +"));
    QVERIFY(!f.model.ended(later));
    f.clock.advanceSeconds(3600);
    f.live.tmrLiveTimeLeft_Timer();
    QCOMPARE(f.column(soon), QStringLiteral("Ended"));
}

void TestLiveTimeLeft::aTextWrittenOverTheCountIsReplacedAtTheNextSecond()
{
    Fixture f;
    const int row = f.addItem(
        QStringLiteral("7000001"), QStringLiteral("2 days, 0 hours +"), kNow.addSecs(2 * 86400 + 7));
    f.live.setEnabled(true);
    QCOMPARE(f.column(row), QStringLiteral("2 days, 0 hours +"));
    // An update writes the page's text; the wording of the count has not changed since.
    f.model.setSubItem(row, WatchListModel::TimeRemaining, QStringLiteral("2 days 0 hours"));
    f.clock.advanceSeconds(1);
    f.live.tmrLiveTimeLeft_Timer();
    QCOMPARE(f.column(row), QStringLiteral("2 days, 0 hours +"));
}

void TestLiveTimeLeft::rowsWithoutAnEndOrBeingUpdatedKeepTheirText()
{
    Fixture f;
    const int noEnd = f.addItem(QStringLiteral("7000001"), QStringLiteral("Item has ended"),
        QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
    const int updating
        = f.addItem(QStringLiteral("7000002"), QStringLiteral("10 mins 0 secs"), kNow.addSecs(30));
    f.model.setSubItem(updating, WatchListModel::Price, QStringLiteral("Updating...(2)"));
    const int fresh = f.model.addRow(QStringLiteral("7000003")); // no page fetched yet
    const int counted
        = f.addItem(QStringLiteral("7000004"), QStringLiteral("10 mins 0 secs"), kNow.addSecs(30));
    QSignalSpy changed(&f.model, &QAbstractItemModel::dataChanged);

    f.live.setEnabled(true);
    QCOMPARE(f.column(noEnd), QStringLiteral("Item has ended"));
    QCOMPARE(f.column(updating), QStringLiteral("10 mins 0 secs"));
    QCOMPARE(f.column(fresh), QString());
    QCOMPARE(f.column(counted), QStringLiteral("30 secs"));
    // Only the counted row's cell was written.
    QCOMPARE(changed.count(), 1);
    const QModelIndex cell = changed.first().at(0).value<QModelIndex>();
    QCOMPARE(cell.row(), counted);
    QCOMPARE(cell.column(), f.model.columnOfKey(QStringLiteral("t-Remaining")));
    QVERIFY(!f.model.ended(noEnd));

    // Its page arrived: the row is counted from then on.
    f.model.setSubItem(updating, WatchListModel::Price, QStringLiteral("US $14.00"));
    f.clock.advanceSeconds(1);
    f.live.tmrLiveTimeLeft_Timer();
    QCOMPARE(f.column(updating), QStringLiteral("29 secs"));
    // A record that is not the row's own item's is not used.
    f.records.at(counted + 1).recItemNumber = 7000009;
    f.clock.advanceSeconds(1);
    f.live.tmrLiveTimeLeft_Timer();
    QCOMPARE(f.column(counted), QStringLiteral("29 secs"));
}

void TestLiveTimeLeft::neverMovesRows()
{
    Fixture f;
    f.model.ensureRuntimeColumns();
    // Listed out of end order: the countdown must not sort them.
    f.addItem(QStringLiteral("7000001"), QStringLiteral("2 hours, 0 mins +"), kNow.addSecs(7200));
    f.addItem(QStringLiteral("7000002"), QStringLiteral("10 mins 0 secs"), kNow.addSecs(600));
    f.addItem(QStringLiteral("7000003"), QStringLiteral("5 secs"), kNow.addSecs(-5));
    QSignalSpy moved(&f.model, &WatchListModel::rowsReordered);
    QSignalSpy layout(&f.model, &QAbstractItemModel::layoutChanged);
    f.live.setEnabled(true);
    for (int i = 0; i < 5; ++i) {
        f.clock.advanceSeconds(1);
        f.live.tmrLiveTimeLeft_Timer();
    }
    QCOMPARE(moved.count(), 0);
    QCOMPARE(layout.count(), 0);
    QCOMPARE(f.model.rowText(0), QStringLiteral("7000001"));
    QCOMPARE(f.model.rowText(2), QStringLiteral("7000003"));
    QCOMPARE(f.column(0), QStringLiteral("1 hour, 59 mins +"));
    QCOMPARE(f.column(1), QStringLiteral("9 mins 55 secs"));
    QCOMPARE(f.column(2), QStringLiteral("Ended"));
}

void TestLiveTimeLeft::switchedOffTheColumnKeepsItsText()
{
    Fixture f;
    const int row = f.addItem(QStringLiteral("7000001"), QStringLiteral("3 mins 27 secs"), kNow.addSecs(207));
    f.live.setEnabled(true);
    f.clock.advanceSeconds(7);
    f.live.tmrLiveTimeLeft_Timer();
    QCOMPARE(f.column(row), QStringLiteral("3 mins 20 secs"));
    f.live.setEnabled(false);
    QVERIFY(!f.live.tmrLiveTimeLeft.isActive());
    // The next update writes the page's text; until then nothing changes it.
    f.clock.advanceSeconds(60);
    QCoreApplication::processEvents();
    QCOMPARE(f.column(row), QStringLiteral("3 mins 20 secs"));
    f.model.setSubItem(row, WatchListModel::TimeRemaining, QStringLiteral("2 mins 19 secs"));
    QCOMPARE(f.column(row), QStringLiteral("2 mins 19 secs"));
}

QTEST_GUILESS_MAIN(TestLiveTimeLeft)
#include "TestLiveTimeLeft.moc"
