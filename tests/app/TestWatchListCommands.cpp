#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QTest>

#include "AppFixture.h"
#include "alerts/ui/frmAlarm.h"
#include "app/ClockCommands.h"
#include "app/WatchListCommands.h"
#include "app/frmWatch.h"
#include "common/Formats.h"
#include "store/RegistryFunctions.h"
#include "store/RegistryStore.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListModel.h"
#include "watchlist/WatchStore.h"
#include "watchlist/ui/WatchListView.h"

using namespace th;
using namespace th::test;

// Adding, removing, opening and copying items, and what a click on a row shows.
class TestWatchListCommands final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void fillShowsStoredItemsInStoreOrder();
    void emptyStoreGivesEmptyList();
    void addAcceptsATrimmedItemNumber();
    void addTakesTheNumberFromAnItemPageAddress_data();
    void addTakesTheNumberFromAnItemPageAddress();
    void addRefusesWhatIsNotAnItemNumber_data();
    void addRefusesWhatIsNotAnItemNumber();
    void addRefusesWhatTheStoreAlreadyHolds();
    void removeAsksUnlessConfirmDelIsTicked();
    void removingTheLastRowSelectsTheNewLast();
    void removingTheOnlyRowLeavesAnEmptyList();
    void enterOpensTheItemPage();
    void deleteKeyRemovesAsRemoveItemDoes();
    void copyNeedsASelectedRow();
    void clickFeedbackFollowsTheStoredNotes();
    void sortKeepsTheSelectedItemSelected();
    void countdownClockOpensForTheSelectedItem();
    void reloadAfterARestoreKeepsEachItemsRecord();

private:
    void store(const QString &item, const QString &name, const QString &value);
    int select(const QString &item);

    std::unique_ptr<AppFixture> f;
    WatchListCommands *commands = nullptr;
    WatchListModel *model = nullptr;
    WatchListView *list = nullptr;
    int passStarts = 0;
};

void TestWatchListCommands::init()
{
    f = std::make_unique<AppFixture>();
    // A store with three items before start-up.
    QVERIFY(storeWatchedItems(f->dataFolder.path(), { "7000003", "7000001", "7000002" }));
    QCOMPARE(f->start(QStringLiteral("/show")), Application::StartResult::Running);
    commands = f->app->parts().listCommands.get();
    model = f->app->parts().listModel.get();
    list = f->app->parts().mainWindow->ui.lstWatching;
    passStarts = 0;
    commands->passStart = [this] { ++passStarts; };
}

void TestWatchListCommands::cleanup()
{
    f.reset();
}

void TestWatchListCommands::store(const QString &item, const QString &name, const QString &value)
{
    SaveRegString(*f->app->parts().store, RegRoot::CurrentUser, itemKeyPath(item), name, value);
}

int TestWatchListCommands::select(const QString &item)
{
    const int row = model->findRow(item);
    list->selectRow(row);
    return row;
}

void TestWatchListCommands::fillShowsStoredItemsInStoreOrder()
{
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(model->rowText(0), QStringLiteral("7000001"));
    QCOMPARE(model->rowText(2), QStringLiteral("7000003"));
    QCOMPARE(f->app->parts().records->count(), 3);
    QCOMPARE(model->columnCount(), 11);
    // Only the price says that the start-up pass is fetching the row.
    for (int i = 1; i < WatchListModel::SubItemCount; ++i) {
        if (i != WatchListModel::Price)
            QVERIFY(model->subItem(0, i).isEmpty());
    }
    QVERIFY(model->subItem(0, WatchListModel::Price).startsWith(u"Updating...("));
    // Filling again after an import empties the list first.
    commands->listReloadFlag = true;
    commands->updateItems();
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(passStarts, 1);
    QVERIFY(model->ownSorting());
    QVERIFY(!commands->listReloadFlag);
}

void TestWatchListCommands::emptyStoreGivesEmptyList()
{
    AppFixture empty;
    QCOMPARE(empty.start(), Application::StartResult::Running);
    QCOMPARE(empty.app->parts().listModel->rowCount(), 0);
    QCOMPARE(empty.app->parts().records->count(), 0);
    QVERIFY(empty.prompter->shown().isEmpty());
}

void TestWatchListCommands::addAcceptsATrimmedItemNumber()
{
    QVERIFY(commands->addItemFromDialog(QStringLiteral(" 1234567 ")));
    QVERIFY(f->prompter->shown().isEmpty());
    const int row = model->findRow(QStringLiteral("1234567"));
    QCOMPARE(row, 3);
    QCOMPARE(model->rowText(row), QStringLiteral("1234567"));
    QCOMPARE(list->selectedRow(), row);
    QCOMPARE(GetRegString(*f->app->parts().store, RegRoot::CurrentUser,
                 itemKeyPath(QStringLiteral("1234567")), QStringLiteral("Item")),
        QStringLiteral("1234567"));
    QVERIFY(commands->reSortPending);
    QVERIFY(f->app->parts().mainWindow->tmrUpdateCurrentItem.isActive());
}

void TestWatchListCommands::addTakesTheNumberFromAnItemPageAddress_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::newRow("item page") << " http://cgi.example.com/aw-cgi/eBayISAPI.dll?ViewItem&item=1234567 ";
    QTest::newRow("https, other pairs") << "https://cgi.example.com:8080/page?a=1&Item=1234567&b=2";
}

void TestWatchListCommands::addTakesTheNumberFromAnItemPageAddress()
{
    QFETCH(QString, pasted);
    QVERIFY(commands->addItemFromDialog(pasted));
    QVERIFY(f->prompter->shown().isEmpty());
    QCOMPARE(model->rowText(model->rowCount() - 1), QStringLiteral("1234567"));
    QVERIFY(f->app->parts().store->keyExists(RegRoot::CurrentUser, itemKeyPath(QStringLiteral("1234567"))));
}

void TestWatchListCommands::addRefusesWhatIsNotAnItemNumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("title");
    const QString incorrect = QStringLiteral("Error: Incorrect Data");
    QTest::newRow("letter") << "12a" << incorrect;
    QTest::newRow("exponent") << "1e6" << incorrect;
    QTest::newRow("decimal") << "500000.5" << incorrect;
    QTest::newRow("below minimum") << "499999" << incorrect;
    QTest::newRow("too small") << " 123456 " << incorrect;
    QTest::newRow("address without item") << "http://cgi.example.com/page?id=1234567" << incorrect;
    QTest::newRow("address, item not a number") << "http://cgi.example.com/page?item=12a" << incorrect;
    QTest::newRow("not a web address") << "ftp://cgi.example.com/page?item=1234567" << incorrect;
    // The dialog stays open after the message, for the number.
    QTest::newRow("empty") << ""
                           << "Error: No information is entered";
}

void TestWatchListCommands::addRefusesWhatIsNotAnItemNumber()
{
    QFETCH(QString, typed);
    QFETCH(QString, title);
    QVERIFY(!commands->addItemFromDialog(typed));
    QCOMPARE(f->prompter->shown().size(), 1);
    const FakePrompter::Shown shown = f->prompter->last();
    QCOMPARE(shown.title, title);
    if (typed.isEmpty()) {
        QCOMPARE(shown.text, QStringLiteral("Please enter eBay's Item number or click Cancel"));
        QCOMPARE(shown.icon, PromptIcon::Information);
    } else {
        QCOMPARE(shown.text, QStringLiteral("Please enter eBay Item# (numeric only)"));
        QCOMPARE(shown.icon, PromptIcon::Critical);
    }
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(ListRegSubKeys(*f->app->parts().store, RegRoot::CurrentUser, QString::fromUtf16(kWatchListKey))
                 .size(),
        3);
}

void TestWatchListCommands::addRefusesWhatTheStoreAlreadyHolds()
{
    // In the store but not in the list (written by another program meanwhile).
    store(QStringLiteral("7000009"), QStringLiteral("Item"), QStringLiteral("7000009"));
    QVERIFY(!commands->addItemFromDialog(QStringLiteral("7000009 ")));
    QCOMPARE(f->prompter->last().title, QStringLiteral("Already have item"));
    QCOMPARE(f->prompter->last().text,
        QStringLiteral("You already have this item in the watch list\nPlease re-enter item or click cancel"));
    QCOMPARE(f->prompter->last().icon, PromptIcon::Information);
    QCOMPARE(model->rowCount(), 3);
}

void TestWatchListCommands::removeAsksUnlessConfirmDelIsTicked()
{
    model->setSubItem(
        model->findRow(QStringLiteral("7000002")), WatchListModel::ItemName, QStringLiteral("Brass lamp"));
    select(QStringLiteral("7000002"));
    f->prompter->queueAnswer(PromptAnswer::No);
    commands->cmdRemove_Click();
    QCOMPARE(f->prompter->last().title, QStringLiteral("Save Watch List"));
    QCOMPARE(f->prompter->last().text,
        QStringLiteral("Do you want to delete selected item from your watch list?\n\n> 'Brass lamp'"));
    QCOMPARE(f->prompter->last().buttons, PromptButtons::YesNo);
    QCOMPARE(f->prompter->last().icon, PromptIcon::Question);
    QCOMPARE(model->rowCount(), 3); // No keeps the item

    f->prompter->queueAnswer(PromptAnswer::Yes);
    commands->cmdRemove_Click();
    QCOMPARE(model->findRow(QStringLiteral("7000002")), -1);
    QVERIFY(!f->app->parts().store->keyExists(RegRoot::CurrentUser, itemKeyPath(QStringLiteral("7000002"))));
    QCOMPARE(list->selectedRow(), 1); // the row now at the same position

    f->prompter->clear();
    f->app->parts().mainWindow->ui.ChkDeleteConfirm->setChecked(true);
    select(QStringLiteral("7000001"));
    commands->cmdRemove_Click();
    QVERIFY(f->prompter->shown().isEmpty());
    QCOMPARE(model->rowCount(), 1);
}

void TestWatchListCommands::removingTheLastRowSelectsTheNewLast()
{
    f->app->parts().mainWindow->ui.ChkDeleteConfirm->setChecked(true);
    select(QStringLiteral("7000003"));
    commands->cmdRemove_Click();
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(list->selectedRow(), 1);
    QCOMPARE(commands->selectedItemText(), QStringLiteral("7000002"));
}

void TestWatchListCommands::removingTheOnlyRowLeavesAnEmptyList()
{
    f->app->parts().mainWindow->ui.ChkDeleteConfirm->setChecked(true);
    for (int i = 0; i < 3; ++i) {
        list->selectRow(0);
        commands->cmdRemove_Click();
    }
    QCOMPARE(model->rowCount(), 0);
    QCOMPARE(list->selectedRow(), -1);
    commands->cmdRemove_Click(); // nothing to do, nothing shown
    QVERIFY(f->prompter->shown().isEmpty());
}

void TestWatchListCommands::deleteKeyRemovesAsRemoveItemDoes()
{
    select(QStringLiteral("7000002"));
    f->prompter->queueAnswer(PromptAnswer::No);
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(f->prompter->shown().size(), 1);
    QCOMPARE(f->prompter->last().title, QStringLiteral("Save Watch List"));
    QCOMPARE(model->rowCount(), 3);
    f->prompter->queueAnswer(PromptAnswer::Yes);
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(model->findRow(QStringLiteral("7000002")), -1);
    QVERIFY(!f->app->parts().store->keyExists(RegRoot::CurrentUser, itemKeyPath(QStringLiteral("7000002"))));
}

void TestWatchListCommands::enterOpensTheItemPage()
{
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(f->shell->opened.isEmpty()); // nothing selected
    select(QStringLiteral("7000002"));
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(f->shell->opened,
        QStringList { QStringLiteral("http://127.0.0.1:1/aw-cgi/eBayISAPI.dll?ViewItem&item=7000002") });
    commands->setItemPageHost(QStringLiteral("127.0.0.1:8080"));
    commands->cmdGoTo_Click();
    QCOMPARE(f->shell->opened.last(),
        QStringLiteral("http://127.0.0.1:8080/aw-cgi/eBayISAPI.dll?ViewItem&item=7000002"));
}

void TestWatchListCommands::copyNeedsASelectedRow()
{
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    commands->mnuCopyItem2Clipboard_Click();
    QVERIFY(f->prompter->shown().isEmpty());
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    select(QStringLiteral("7000001"));
    commands->mnuCopyItem2Clipboard_Click();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("7000001"));
    QCOMPARE(f->prompter->last().title, QStringLiteral("Copy Item# to Clipboard"));
    QCOMPARE(f->prompter->last().text,
        QStringLiteral("Copy Item# to clipboard successfully,\nPlease use Ctrl-V to paste/get the Item#"));
}

void TestWatchListCommands::clickFeedbackFollowsTheStoredNotes()
{
    const QString item = QStringLiteral("7000001");
    const int row = select(item);
    commands->lstWatching_Click();
    QCOMPARE(model->icon(row), int(WatchListModel::IconBlank));
    QCOMPARE(list->toolTip(), QStringLiteral("Right click to see Update Menu and set max.bid note"));

    store(item, QStringLiteral("MaxBid"), QStringLiteral("30"));
    commands->lstWatching_Click();
    QCOMPARE(model->icon(row), int(WatchListModel::IconLightning));
    QCOMPARE(list->toolTip(), QStringLiteral("My max bid for this item is: $30.00"));

    store(item, QStringLiteral("MaxBid"), QStringLiteral("0"));
    store(item, QStringLiteral("MaxAutoBid"), QStringLiteral("25.5"));
    WatchItemRecord &record = f->app->parts().records->at(row + 1);
    record.recItemNumber = 7000001;
    record.recMaxAutoBid = Money::fromText(u"25.5");
    record.recQuantity = 2;
    record.recMaxTimeLeft = 8;
    record.recEndDate = f->clock->now().addSecs(3600);
    commands->lstWatching_Click();
    QCOMPARE(model->icon(row), int(WatchListModel::IconHammer));
    QCOMPARE(list->toolTip(), QStringLiteral("Max bid is: $25.50,    Qty: 2,    Bid @ the last 8 sec."));
    QCOMPARE(commands->gintAutoBidIndex, row + 1);
    // A member of a bid group names its group.
    store(item, QStringLiteral("BidGroup"), QStringLiteral("Lenses"));
    commands->lstWatching_Click();
    QCOMPARE(list->toolTip(),
        QStringLiteral("Max bid is: $25.50,    Qty: 2,    Bid @ the last 8 sec.\nBid group: Lenses"));

    // Marked won but not ended yet: still the hammer. Once ended: the winner's hammer.
    store(item, QStringLiteral("WonItem"), QStringLiteral("True"));
    commands->lstWatching_Click();
    QCOMPARE(model->icon(row), int(WatchListModel::IconHammer));
    record.recEndDate = f->clock->now().addSecs(-60);
    commands->lstWatching_Click();
    QCOMPARE(model->icon(row), int(WatchListModel::IconHammerWin));
}

void TestWatchListCommands::sortKeepsTheSelectedItemSelected()
{
    model->setSubItem(model->findRow(QStringLiteral("7000001")), WatchListModel::EndDate2,
        dateTimeText(QDateTime(QDate(2026, 12, 9), QTime(9, 0))));
    model->setSubItem(model->findRow(QStringLiteral("7000003")), WatchListModel::EndDate2,
        dateTimeText(QDateTime(QDate(2026, 12, 8), QTime(9, 0))));
    select(QStringLiteral("7000001"));
    commands->subReSortItemByDate();
    QCOMPARE(model->rowText(0), QStringLiteral("7000002")); // no end date yet: first
    QCOMPARE(model->rowText(1), QStringLiteral("7000003"));
    QCOMPARE(commands->selectedItemText(), QStringLiteral("7000001"));
    // A click on the "Price" header sorts by end date too.
    model->setSubItem(0, WatchListModel::EndDate2, dateTimeText(QDateTime(QDate(2026, 12, 10), QTime(9, 0))));
    list->header()->sectionClicked(3);
    QCOMPARE(model->rowText(2), QStringLiteral("7000002"));
}

void TestWatchListCommands::countdownClockOpensForTheSelectedItem()
{
    const int row = model->findRow(QStringLiteral("7000001"));
    WatchItemRecord &record = f->app->parts().records->at(row + 1);
    list->selectRow(row);
    f->app->parts().mainWindow->ui.cmdOpenClockDialog->click();
    QVERIFY(!f->app->parts().clockCommands->clockWindow()); // no update has written the item's record yet
    record.recItemNumber = 7000001;
    record.recEndDate = f->clock->now().addSecs(3600);
    Q_EMIT list->itemDoubleClicked();
    QVERIFY(f->app->parts().clockCommands->clockWindow());
    QVERIFY(f->app->parts().clockCommands->clockWindow()->isClockWindowOpen());
    QCOMPARE(f->app->parts().clockCommands->clockWindow()->clockEndTime(), record.recEndDate);
    f->app->parts().clockCommands->clockWindow()->close();
}

void TestWatchListCommands::reloadAfterARestoreKeepsEachItemsRecord()
{
    WatchItems &records = *f->app->parts().records;
    WatchItemRecord &started = records.at(model->findRow(QStringLiteral("7000002")) + 1);
    started.recItemNumber = 7000002;
    started.recAutoBidState = 1; // a real bid was started for it
    QVERIFY(storeWatchedItems(f->dataFolder.path(), { "7000004" })); // the restore added one
    f->app->parts().listCommands->reloadListKeepingRecords();
    QCOMPARE(model->rowCount(), 4);
    QCOMPARE(records.count(), 4);
    QCOMPARE(records.at(model->findRow(QStringLiteral("7000002")) + 1).recAutoBidState, 1);
    QCOMPARE(records.at(model->findRow(QStringLiteral("7000004")) + 1).recItemNumber, 0.0);
}

QTEST_MAIN(TestWatchListCommands)
#include "TestWatchListCommands.moc"
