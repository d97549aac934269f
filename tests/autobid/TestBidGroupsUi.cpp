// Bid groups in the user's hands: the group and limit chosen in the automatic-bid dialog, the
// warning about members ending too close together, and the "Bid Groups" window.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include "AppFixture.h"
#include "TestSupport.h"
#include "app/BidSettingsCommands.h"
#include "app/frmWatch.h"
#include "autobid/BidGroupBook.h"
#include "autobid/BidGroupStore.h"
#include "autobid/BidSettings.h"
#include "autobid/ui/frmAutoBid.h"
#include "autobid/ui/frmBidGroups.h"
#include "config/AppSettings.h"
#include "store/RegistryFunctions.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListModel.h"
#include "watchlist/WatchStore.h"
#include "watchlist/ui/WatchListView.h"

using namespace th;
using namespace th::test;

namespace {
const QString kFirst = QStringLiteral("7000001");
const QString kSecond = QStringLiteral("7000002");
const QString kThird = QStringLiteral("7000003");
const QString kLenses = QStringLiteral("Lenses");
} // namespace

class TestBidGroupsUi final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void dialogStoresTheGroupAndItsLimit_data();
    void dialogStoresTheGroupAndItsLimit();
    void dialogOpensWithTheItemsGroupAndLimit();
    void closeEndsAreWarnedWhenTheBidIsSet_data();
    void closeEndsAreWarnedWhenTheBidIsSet();
    void groupsWindowFollowsTheBookAndChangesReachTheStore();
    void bidThatCannotBeStoredIsTold_data();
    void bidThatCannotBeStoredIsTold();
    void groupChangesThatCannotBeStoredAreTold();

private:
    // Item `item` has been updated and ends `secondsLeft` from now; with `group`, it is an
    // armed member of it, firing 20 seconds before its end.
    WatchItemRecord &item(const QString &number, qint64 secondsLeft, const QString &group = {});
    // Sets the automatic bid of `number` through the list menu's command and the real dialog;
    // `inDialog` plays the user's part before OK.
    void setThroughDialog(const QString &number, const std::function<void(frmAutoBid &)> &inDialog);
    BidGroupBook &book() { return *f->app->parts().bidGroups; }
    RegistryStore &store() { return *f->app->parts().store; }

    std::unique_ptr<AppFixture> f;
    std::unique_ptr<BidSettingsCommands> commands;
    std::function<void(frmAutoBid &)> userInDialog;
};

void TestBidGroupsUi::init()
{
    f = std::make_unique<AppFixture>();
    QVERIFY(storeWatchedItems(f->dataFolder.path(), { "7000001", "7000002", "7000003" }));
    QCOMPARE(f->start(QStringLiteral("/show")), Application::StartResult::Running);
    const AppParts &p = f->app->parts();
    p.settings->EBayID = QStringLiteral("buyer");
    commands = std::make_unique<BidSettingsCommands>(BidSettingsCommands::Context { *p.mainWindow,
        *p.listModel, *p.records, *p.store, *p.settings, *f->prompter, *f->clock, *p.bidGroups, {},
        [this](const AutoBidDialogValues &values) -> std::optional<AutoBidEntry> {
            FakePrompter dialogPrompter;
            frmAutoBid dialog(values, dialogPrompter);
            dialog.txtMaxBidPrice->setText(QStringLiteral("20"));
            if (userInDialog)
                userInDialog(dialog);
            dialog.cmdOk_Click();
            return dialog.entry();
        } });
}

void TestBidGroupsUi::cleanup()
{
    commands.reset();
    f.reset();
    userInDialog = {};
}

WatchItemRecord &TestBidGroupsUi::item(const QString &number, qint64 secondsLeft, const QString &group)
{
    const int row = f->app->parts().listModel->findRow(number);
    WatchItemRecord &record = f->app->parts().records->at(row + 1);
    record.recItemNumber = number.toDouble();
    record.recTitle = u"Lens " + number.right(1);
    record.recCurrentPrice = Money::fromText(u"10");
    record.recBidIncrement = Money::fromText(u"0.5");
    record.recQuantity = 1;
    record.recEndDate = f->clock->now().addSecs(secondsLeft);
    if (!group.isEmpty()) {
        record.recMaxAutoBid = Money::fromText(u"30");
        record.recMaxQuantity = 1;
        record.recMaxTimeLeft = 20;
        storeAutoBid(store(), number, record);
        storeBidGroup(store(), number, group);
        book().reload();
    }
    return record;
}

void TestBidGroupsUi::setThroughDialog(
    const QString &number, const std::function<void(frmAutoBid &)> &inDialog)
{
    userInDialog = inDialog;
    f->app->parts().mainWindow->ui.lstWatching->selectRow(f->app->parts().listModel->findRow(number));
    commands->mnuSetAutoBid_Click();
}

void TestBidGroupsUi::dialogStoresTheGroupAndItsLimit_data()
{
    QTest::addColumn<QString>("groupBefore");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("storedGroup"); // "" for none
    QTest::newRow("a new name") << QString() << kLenses << 2 << kLenses;
    QTest::newRow("another group") << QStringLiteral("Cameras") << kLenses << 1 << kLenses;
    QTest::newRow("(none) takes it out") << kLenses << QStringLiteral("(none)") << 1 << QString();
    QTest::newRow("blanks take it out") << kLenses << QStringLiteral("  ") << 1 << QString();
}

void TestBidGroupsUi::dialogStoresTheGroupAndItsLimit()
{
    QFETCH(QString, groupBefore);
    QFETCH(QString, typed);
    QFETCH(int, limit);
    QFETCH(QString, storedGroup);
    item(kFirst, 3600, groupBefore);
    setThroughDialog(kFirst, [&](frmAutoBid &dialog) {
        dialog.cboBidGroup->setEditText(typed);
        dialog.spnWinUpTo->setValue(limit);
    });
    QCOMPARE(GetRegString(store(), RegRoot::CurrentUser, itemKeyPath(kFirst),
                 QString::fromUtf16(ItemValue::MaxAutoBid), QString()),
        QStringLiteral("20"));
    QCOMPARE(storedBidGroup(store(), kFirst), storedGroup);
    QCOMPARE(book().groupOf(kFirst), storedGroup);
    const QString tip = f->app->parts().mainWindow->ui.lstWatching->toolTip();
    if (storedGroup.isEmpty()) {
        QVERIFY2(!tip.contains(u"group"), qPrintable(tip));
    } else {
        QCOMPARE(storedGroupLimits(store()).value(storedGroup), limit);
        QVERIFY2(tip.endsWith(u"sec.\nBid group: " + storedGroup), qPrintable(tip));
    }
}

void TestBidGroupsUi::dialogOpensWithTheItemsGroupAndLimit()
{
    item(kFirst, 3600, kLenses);
    item(kSecond, 7200, QStringLiteral("Cameras"));
    book().setLimit(kLenses, 3);
    bool opened = false;
    setThroughDialog(kFirst, [&](frmAutoBid &dialog) {
        opened = true;
        QCOMPARE(dialog.cboBidGroup->currentText(), kLenses);
        QCOMPARE(dialog.spnWinUpTo->value(), 3);
        QCOMPARE(dialog.cboBidGroup->count(), 3);
        QCOMPARE(dialog.cboBidGroup->itemText(0), QStringLiteral("(none)"));
        QCOMPARE(dialog.cboBidGroup->itemText(1), QStringLiteral("Cameras"));
        // Another group shows its own limit; no group has none to set.
        dialog.cboBidGroup->setCurrentIndex(1);
        QCOMPARE(dialog.spnWinUpTo->value(), 1);
        QVERIFY(dialog.spnWinUpTo->isEnabled());
        dialog.cboBidGroup->setCurrentIndex(0);
        QVERIFY(!dialog.spnWinUpTo->isEnabled());
        dialog.cboBidGroup->setCurrentIndex(2);
        QCOMPARE(dialog.spnWinUpTo->value(), 3);
    });
    QVERIFY(opened);
    QCOMPARE(storedGroupLimits(store()).value(kLenses), 3);
}

void TestBidGroupsUi::closeEndsAreWarnedWhenTheBidIsSet_data()
{
    QTest::addColumn<qint64>("apart"); // seconds from the item's end to the other member's
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("warned");
    QTest::newRow("20 s apart") << qint64(20) << 1 << true;
    QTest::newRow("20 s before") << qint64(-20) << 1 << true;
    QTest::newRow("ten minutes apart") << qint64(600) << 1 << false;
    QTest::newRow("20 s apart, win up to 2") << qint64(20) << 2 << false;
}

void TestBidGroupsUi::closeEndsAreWarnedWhenTheBidIsSet()
{
    QFETCH(qint64, apart);
    QFETCH(int, limit);
    QFETCH(bool, warned);
    item(kFirst, 3600);
    item(kSecond, 3600 + apart, kLenses);
    bool shownInDialog = false;
    setThroughDialog(kFirst, [&](frmAutoBid &dialog) {
        QVERIFY(dialog.lblGroupWarning->isHidden()); // no group chosen yet
        dialog.cboBidGroup->setEditText(kLenses);
        dialog.spnWinUpTo->setValue(limit);
        dialog.cboAutoBidTime->setEditText(QStringLiteral("20"));
        shownInDialog = !dialog.lblGroupWarning->isHidden();
        QCOMPARE(dialog.lblGroupWarning->text().contains(kSecond), warned);
    });
    QCOMPARE(shownInDialog, warned);
    QCOMPARE(storedBidGroup(store(), kFirst), kLenses);
    const bool told = !f->prompter->shown().isEmpty()
        && f->prompter->last().title == QStringLiteral("Bid group: ends close together");
    QCOMPARE(told, warned);
    if (warned)
        QVERIFY(f->prompter->last().text.contains(kSecond));
}

void TestBidGroupsUi::groupsWindowFollowsTheBookAndChangesReachTheStore()
{
    commands.reset(); // the program's own commands answer the menu
    frmWatch &window = *f->app->parts().mainWindow;
    window.listMenu.mnuBidGroups->trigger();
    auto *groups = window.findChild<frmBidGroups *>();
    QVERIFY(groups && groups->isVisible());
    QVERIFY(!groups->lblNoGroups->isHidden());
    QVERIFY(groups->lblNoGroups->text().contains(u"Bid Group"));
    QCOMPARE(groups->lstMembers->rowCount(), 0);

    item(kFirst, 3600, kLenses);
    item(kSecond, 3700, kLenses);
    item(kThird, 3800, kLenses);
    book().setState(kSecond, GroupMemberState::Won);
    QVERIFY(groups->lblNoGroups->isHidden());
    QCOMPARE(groups->lstGroups->count(), 1);
    QCOMPARE(groups->shownGroup(), kLenses);
    QCOMPARE(groups->lstMembers->rowCount(), 3);
    const auto cellText
        = [groups](int row, int column) { return groups->lstMembers->item(row, column)->text(); };
    QCOMPARE(cellText(0, frmBidGroups::Item), kFirst);
    QCOMPARE(cellText(0, frmBidGroups::Title), QStringLiteral("Lens 1"));
    QCOMPARE(cellText(0, frmBidGroups::Maximum), QStringLiteral("$30.00"));
    QCOMPARE(cellText(1, frmBidGroups::State), QStringLiteral("won"));
    QCOMPARE(cellText(2, frmBidGroups::State), QStringLiteral("armed"));

    groups->spnWinUpTo->setValue(2);
    QCOMPARE(storedGroupLimits(store()).value(kLenses), 2);
    QVERIFY(groups->lstGroups->item(0)->text().contains(u"win up to 2"));

    // A member whose bid fired cannot leave: it may be a win the group counts.
    groups->lstMembers->selectRow(1);
    QVERIFY(!groups->cmdTakeOut->isEnabled());
    groups->lstMembers->selectRow(0);
    QVERIFY(groups->cmdTakeOut->isEnabled());
    f->prompter->queueAnswer(PromptAnswer::No);
    groups->cmdTakeOut->click();
    QCOMPARE(storedBidGroup(store(), kFirst), kLenses);
    groups->cmdTakeOut->click(); // Yes this time
    QCOMPARE(f->prompter->last().buttons, PromptButtons::YesNo);
    QCOMPARE(storedBidGroup(store(), kFirst), QString());
    QVERIFY(!GetRegString(store(), RegRoot::CurrentUser, itemKeyPath(kFirst),
        QString::fromUtf16(ItemValue::MaxAutoBid), QString())
                 .isEmpty());
    QCOMPARE(groups->lstMembers->rowCount(), 2);

    book().setState(kThird, GroupMemberState::Cancelled);
    QCOMPARE(cellText(1, frmBidGroups::State), QStringLiteral("cancelled"));
    // Cancelling took its automatic bid away; the window still says what it was.
    WatchItems &records = *f->app->parts().records;
    deleteAutoBid(store(), kThird, &records.at(records.find(kThird.toDouble())), false);
    book().reload();
    QCOMPARE(cellText(1, frmBidGroups::Maximum), QStringLiteral("$30.00"));
    // Asked again: the same window.
    window.listMenu.mnuBidGroups->trigger();
    QCOMPARE(window.findChildren<frmBidGroups *>().size(), 1);
}

void TestBidGroupsUi::bidThatCannotBeStoredIsTold_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<bool>("armed");
    QTest::addColumn<QString>("told");
    // Armed without its group, a member could win more than the group allows.
    QTest::newRow("in a group") << kLenses << false << QStringLiteral("was not set");
    QTest::newRow("no group") << QStringLiteral("(none)") << true << QStringLiteral("for this run only");
}

// A full disk while the bid is set: the user learns it, and nothing is armed that the store
// would not hold back.
void TestBidGroupsUi::bidThatCannotBeStoredIsTold()
{
    QFETCH(QString, group);
    QFETCH(bool, armed);
    QFETCH(QString, told);
    WatchItemRecord &record = item(kFirst, 3600);
    {
        const FileSizeLimit full(16);
        setThroughDialog(kFirst, [&](frmAutoBid &dialog) { dialog.cboBidGroup->setEditText(group); });
    }
    QCOMPARE(record.recMaxAutoBid > Money {}, armed);
    QCOMPARE(book().groupOf(kFirst), QString());
    QCOMPARE(f->prompter->last().icon, PromptIcon::Critical);
    QVERIFY2(f->prompter->last().text.contains(told), qPrintable(f->prompter->last().text));
}

void TestBidGroupsUi::groupChangesThatCannotBeStoredAreTold()
{
    commands.reset();
    item(kFirst, 3600, kLenses);
    frmWatch &window = *f->app->parts().mainWindow;
    window.listMenu.mnuBidGroups->trigger();
    auto *groups = window.findChild<frmBidGroups *>();
    QVERIFY(groups);
    groups->lstMembers->selectRow(0);
    {
        const FileSizeLimit full(16);
        groups->spnWinUpTo->setValue(3);
        QVERIFY(f->prompter->last().text.contains(u"holds for this run only"));
        const qsizetype shown = f->prompter->shown().size();
        groups->cmdTakeOut->click(); // Yes
        QCOMPARE(f->prompter->shown().size(), shown + 2);
        QVERIFY(f->prompter->last().text.contains(u"could not be taken out"));
    }
    QCOMPARE(book().groupOf(kFirst), kLenses);
    QCOMPARE(book().groups().limit(kLenses), 3);
}

QTEST_MAIN(TestBidGroupsUi)
#include "TestBidGroupsUi.moc"
