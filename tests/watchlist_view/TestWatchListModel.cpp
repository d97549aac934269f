#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include "common/Formats.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListModel.h"

using namespace th;

// The rows behind the watch list: columns, cells, and the two sorts.
class TestWatchListModel final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void columnsAndRuntimeColumns();
    void cellsAreNotEditable();
    void writingCellsNeverMovesRows();
    void endDateSortPutsEmptyFirstAndKeepsEveryRow();
    void endDateSortIsStableForEqualDates();
    void ownSortingSortsByTheHiddenText();
    void persistentSelectionFollowsItsRow();
    void findRowTrims();
    void recordsFollowTheirRows();
};

namespace {

QStringList rowTexts(const WatchListModel &model)
{
    QStringList texts;
    for (int i = 0; i < model.rowCount(); ++i)
        texts.append(model.rowText(i));
    return texts;
}

} // namespace

void TestWatchListModel::columnsAndRuntimeColumns()
{
    WatchListModel model;
    QAbstractItemModelTester tester(&model);
    QCOMPARE(model.columnCount(), 8);
    QCOMPARE(model.headerData(6, Qt::Horizontal, Qt::DisplayRole).toString(),
        QStringLiteral("End Date (Local Time)"));
    QCOMPARE(model.columns()[6].key, QStringLiteral("End Date"));
    QCOMPARE(model.columns()[2].widthTwips, 1236);
    model.ensureRuntimeColumns();
    model.ensureRuntimeColumns(); // only once
    QCOMPARE(model.columnCount(), 11);
    QCOMPARE(model.columnOfKey(QStringLiteral("End Date2")), 8);
    QCOMPARE(model.columns()[8].widthTwips, 0);
    QCOMPARE(model.columns()[8].caption, QString());
    QCOMPARE(model.columns()[9].caption, QStringLiteral("Buy It Now"));
    QCOMPARE(model.columns()[9].widthTwips, 1800);
    QCOMPARE(model.columns()[10].caption, QStringLiteral("Quantity"));
    QCOMPARE(model.columns()[10].widthTwips, 900);
}

void TestWatchListModel::cellsAreNotEditable()
{
    WatchListModel model;
    model.addRow(QStringLiteral("123456"));
    QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));
    QVERIFY(!model.setData(model.index(0, 0), QStringLiteral("999999")));
    QCOMPARE(model.rowText(0), QStringLiteral("123456"));
}

void TestWatchListModel::writingCellsNeverMovesRows()
{
    WatchListModel model;
    model.ensureRuntimeColumns();
    for (const char *n : { "700001", "700002", "700003" })
        model.addRow(QString::fromLatin1(n));
    model.switchOwnSortingOn();
    QSignalSpy layout(&model, &QAbstractItemModel::layoutChanged);
    model.setSubItem(2, WatchListModel::EndDate2, QStringLiteral("2000-01-01 00:00:00"));
    model.setSubItem(0, WatchListModel::EndDate2, QStringLiteral("2030-01-01 00:00:00"));
    model.setSubItem(1, WatchListModel::Price, QStringLiteral("$5.00"));
    QCOMPARE(rowTexts(model), (QStringList { "700001", "700002", "700003" }));
    QCOMPARE(layout.size(), 0);
    QCOMPARE(model.data(model.index(1, 3), Qt::DisplayRole).toString(), QStringLiteral("$5.00"));
}

void TestWatchListModel::endDateSortPutsEmptyFirstAndKeepsEveryRow()
{
    WatchListModel model;
    QAbstractItemModelTester tester(&model);
    model.ensureRuntimeColumns();
    QRandomGenerator random(20261207);
    const QDateTime base(QDate(2026, 12, 1), QTime(0, 0));
    QStringList all;
    for (int i = 0; i < 300; ++i) {
        const QString item = QString::number(600000 + i);
        all.append(item);
        const int row = model.addRow(item);
        const int pick = random.bounded(10);
        if (pick == 0)
            continue; // not fetched yet
        if (pick == 1) {
            model.setSubItem(row, WatchListModel::EndDate2, QStringLiteral("garbage"));
            continue;
        }
        model.setSubItem(
            row, WatchListModel::EndDate2, dateTimeText(base.addSecs(random.bounded(20 * 86400))));
    }
    model.sortByEndDate();
    QStringList sorted = rowTexts(model);
    QCOMPARE(sorted.size(), all.size());
    QStringList check = sorted;
    check.sort();
    QCOMPARE(check, all); // nothing lost, nothing doubled
    bool seenDate = false;
    QDateTime previous;
    for (int i = 0; i < model.rowCount(); ++i) {
        const QDateTime when = parseDateTimeText(model.subItem(i, WatchListModel::EndDate2));
        if (!when.isValid()) {
            QVERIFY2(!seenDate, "a row without an end date sorted after a dated row");
            continue;
        }
        if (seenDate)
            QVERIFY(previous <= when);
        seenDate = true;
        previous = when;
    }
    QVERIFY(!model.ownSorting());
}

void TestWatchListModel::endDateSortIsStableForEqualDates()
{
    WatchListModel model;
    model.ensureRuntimeColumns();
    const QString same = dateTimeText(QDateTime(QDate(2026, 12, 9), QTime(10, 0)));
    for (const char *n : { "700003", "700001", "700002" }) {
        const int row = model.addRow(QString::fromLatin1(n));
        model.setSubItem(row, WatchListModel::EndDate2, same);
    }
    model.sortByEndDate();
    QCOMPARE(rowTexts(model), (QStringList { "700003", "700001", "700002" }));
}

void TestWatchListModel::ownSortingSortsByTheHiddenText()
{
    WatchListModel model;
    model.ensureRuntimeColumns();
    const int a = model.addRow(QStringLiteral("700001"));
    const int b = model.addRow(QStringLiteral("700002"));
    model.addRow(QStringLiteral("700003"));
    model.setSubItem(a, WatchListModel::EndDate2, QStringLiteral("2026-12-09 10:00:00"));
    model.setSubItem(b, WatchListModel::EndDate2, QStringLiteral("2026-12-08 10:00:00"));
    model.switchOwnSortingOn();
    QVERIFY(model.ownSorting());
    QCOMPARE(rowTexts(model), (QStringList { "700003", "700002", "700001" }));
}

void TestWatchListModel::persistentSelectionFollowsItsRow()
{
    WatchListModel model;
    model.ensureRuntimeColumns();
    const int a = model.addRow(QStringLiteral("700001"));
    const int b = model.addRow(QStringLiteral("700002"));
    model.setSubItem(a, WatchListModel::EndDate2, QStringLiteral("2026-12-09 10:00:00"));
    model.setSubItem(b, WatchListModel::EndDate2, QStringLiteral("2026-12-08 10:00:00"));
    model.setIcon(a, WatchListModel::IconHammer);
    model.setTag(a, QStringLiteral("3"));
    const QPersistentModelIndex selected(model.index(a, 1));
    model.sortByEndDate();
    QCOMPARE(selected.row(), 1);
    QCOMPARE(model.rowText(selected.row()), QStringLiteral("700001"));
    QCOMPARE(model.icon(1), int(WatchListModel::IconHammer));
    QCOMPARE(model.tag(1), QStringLiteral("3"));
}

void TestWatchListModel::findRowTrims()
{
    WatchListModel model;
    model.addRow(QStringLiteral("700001"));
    model.addRow(QStringLiteral("700002"));
    QCOMPARE(model.findRow(QStringLiteral(" 700002 ")), 1);
    QCOMPARE(model.findRow(QStringLiteral("700003")), -1);
    model.removeRowAt(0);
    QCOMPARE(model.findRow(QStringLiteral("700002")), 0);
}

void TestWatchListModel::recordsFollowTheirRows()
{
    WatchListModel model;
    WatchItems records;
    keepRecordsWithRows(model, records, &model);
    auto numbers = [&] {
        QList<double> list;
        for (int i = 1; i <= records.count(); ++i)
            list.append(records.at(i).recItemNumber);
        return list;
    };
    for (int i = 1; i <= 4; ++i) {
        model.addRow(QString::number(600000 + i));
        records.at(i).recItemNumber = 600000 + i;
        model.setSubItem(i - 1, WatchListModel::EndDate2, dateTimeText(QDateTime({ 2026, 1, 5 - i }, {})));
    }
    model.removeRowAt(1);
    QCOMPARE(numbers(), (QList<double> { 600001, 600003, 600004 }));
    model.sortByEndDate();
    QCOMPARE(numbers(), (QList<double> { 600004, 600003, 600001 }));
    model.addRow(QStringLiteral("600009")); // a blank record until its first update
    QCOMPARE(numbers(), (QList<double> { 600004, 600003, 600001, 0 }));
    QCOMPARE(records.find(0), 0); // nothing selected finds nothing
    QCOMPARE(records.find(600001), 3);
    model.clear();
    QCOMPARE(records.count(), 0);
}

QTEST_GUILESS_MAIN(TestWatchListModel)
#include "TestWatchListModel.moc"
