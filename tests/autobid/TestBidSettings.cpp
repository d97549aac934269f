// One item's bid settings: the automatic bid and the reminder note, as the list menu sets and
// removes them, what they store, and the dialog's checks.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "AppFixture.h"
#include "app/BidSettingsCommands.h"
#include "app/frmWatch.h"
#include "autobid/BidSettings.h"
#include "autobid/ui/frmAutoBid.h"
#include "common/DateTimeMath.h"
#include "common/Formats.h"
#include "config/AppSettings.h"
#include "store/RegistryFunctions.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListModel.h"
#include "watchlist/WatchStore.h"
#include "watchlist/ui/WatchListView.h"

using namespace th;
using namespace th::test;

class TestBidSettings final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void setDoesNothingOnAnItemThatCannotBeBidOn_data();
    void setDoesNothingOnAnItemThatCannotBeBidOn();
    void dialogChecksThePriceAgainstTheLeastBid_data();
    void dialogChecksThePriceAgainstTheLeastBid();
    void dialogTakesQuantityAndSecondsOnlyFromTheirLists_data();
    void dialogTakesQuantityAndSecondsOnlyFromTheirLists();
    void dialogAsksOnceAboutAMaximumFarAboveThePrice_data();
    void dialogAsksOnceAboutAMaximumFarAboveThePrice();
    void dialogShowsStoredValuesOrDefaults();
    void setStoresTheBidOnTheChosenItemEvenAfterASort_data();
    void setStoresTheBidOnTheChosenItemEvenAfterASort();
    void removalsActOnlyOnTheirOwnIcon();
    void cancelledNoteChangesNothingAfterTheSwitch();
    void withoutAnAccountTheSettingsComeFirst();

private:
    // Item `item` has been updated: its record holds a price, an increment and an end.
    WatchItemRecord &updated(const QString &item, qint64 secondsLeft, Money price = Money::fromText(u"10"));
    std::unique_ptr<BidSettingsCommands> commands();
    // The dialog's values for item 7000001, "Lamp" at $10.00, whose record is `record`.
    AutoBidDialogValues lampValues(const WatchItemRecord &record) const
    {
        return autoBidDialogValues(QStringLiteral("7000001"), QStringLiteral("Lamp"),
            QStringLiteral("$10.00"), &record, *f->app->parts().store);
    }
    QString stored(const QString &item, const char16_t *name) const
    {
        return GetRegString(*f->app->parts().store, RegRoot::CurrentUser, itemKeyPath(item),
            QString::fromUtf16(name), QStringLiteral("<none>"));
    }

    std::unique_ptr<AppFixture> f;
    WatchListModel *model = nullptr;
    std::optional<AutoBidEntry> answer;
    std::function<void()> whileDialogOpen;
    int dialogs = 0;
    int settingsShown = 0;
    QString accountAfterSettings;
};

void TestBidSettings::init()
{
    f = std::make_unique<AppFixture>();
    QVERIFY(storeWatchedItems(f->dataFolder.path(), { "7000001", "7000002" }));
    QCOMPARE(f->start(QStringLiteral("/show")), Application::StartResult::Running);
    f->app->parts().settings->EBayID = QStringLiteral("buyer");
    model = f->app->parts().listModel.get();
    answer.reset();
    whileDialogOpen = {};
    dialogs = 0;
    settingsShown = 0;
    accountAfterSettings.clear();
}

void TestBidSettings::cleanup()
{
    f.reset();
}

WatchItemRecord &TestBidSettings::updated(const QString &item, qint64 secondsLeft, Money price)
{
    WatchItemRecord &record = f->app->parts().records->at(model->findRow(item) + 1);
    record.recItemNumber = item.toDouble();
    record.recCurrentPrice = price;
    record.recBidIncrement = Money::fromText(u"0.5");
    record.recQuantity = 3;
    record.recEndDate = f->clock->now().addSecs(secondsLeft);
    return record;
}

std::unique_ptr<BidSettingsCommands> TestBidSettings::commands()
{
    return std::make_unique<BidSettingsCommands>(BidSettingsCommands::Context { *f->app->parts().mainWindow,
        *model, *f->app->parts().records, *f->app->parts().store, *f->app->parts().settings, *f->prompter,
        *f->clock, *f->app->parts().bidGroups,
        [this] {
            ++settingsShown;
            f->app->parts().settings->EBayID = accountAfterSettings;
        },
        [this](const AutoBidDialogValues &) {
            ++dialogs;
            if (whileDialogOpen)
                whileDialogOpen();
            return answer;
        } });
}

void TestBidSettings::setDoesNothingOnAnItemThatCannotBeBidOn_data()
{
    QTest::addColumn<qint64>("secondsLeft");
    QTest::addColumn<QString>("price");
    QTest::newRow("ended") << qint64(-1) << "10";
    QTest::newRow("no price read yet") << qint64(3600) << "0";
}

void TestBidSettings::setDoesNothingOnAnItemThatCannotBeBidOn()
{
    QFETCH(qint64, secondsLeft);
    QFETCH(QString, price);
    updated(QStringLiteral("7000001"), secondsLeft, Money::fromText(price));
    f->app->parts().mainWindow->ui.lstWatching->selectRow(model->findRow(QStringLiteral("7000001")));
    answer = AutoBidEntry { Money::fromText(u"20"), 1, 25 };
    commands()->mnuSetAutoBid_Click();
    QCOMPARE(dialogs, 0);
    QVERIFY(f->prompter->shown().isEmpty());
    QCOMPARE(stored(QStringLiteral("7000001"), ItemValue::MaxAutoBid), QStringLiteral("<none>"));
}

void TestBidSettings::dialogChecksThePriceAgainstTheLeastBid_data()
{
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("message");
    QTest::newRow("price and increment") << "10.50" << QString();
    QTest::newRow("a cent less") << "10.49"
                                 << "Please check, Max.Bid Price must >= Current Bid + Bid Increment";
    QTest::newRow("empty") << ""
                           << "No. Max Bid Price";
    QTest::newRow("not a number") << "ten"
                                  << "Please check, Max.Bid Price must be numeric only";
}

void TestBidSettings::dialogChecksThePriceAgainstTheLeastBid()
{
    QFETCH(QString, price);
    QFETCH(QString, message);
    const WatchItemRecord &record = updated(QStringLiteral("7000001"), 3600);
    FakePrompter prompter;
    frmAutoBid dialog(lampValues(record), prompter);
    dialog.txtMaxBidPrice->setText(price);
    dialog.cboAutoBidTime->setEditText(QStringLiteral("65"));
    dialog.cmdOk_Click();
    QCOMPARE(dialog.entry().has_value(), message.isEmpty());
    if (message.isEmpty()) {
        QCOMPARE(dialog.entry()->amount, Money::fromText(u"10.5"));
        QCOMPARE(dialog.entry()->seconds, 65);
    } else {
        QCOMPARE(prompter.last().text, message);
        QCOMPARE(prompter.last().icon, PromptIcon::Critical);
    }
}

void TestBidSettings::dialogTakesQuantityAndSecondsOnlyFromTheirLists_data()
{
    const QString quantity = QStringLiteral("Please check, Max.Quantity must be a whole number from 1 to 3");
    const QString seconds
        = QStringLiteral("Please check, the seconds before the end must be a whole number from 2 to 180");
    QTest::addColumn<QString>("quantityText");
    QTest::addColumn<QString>("secondsText");
    QTest::addColumn<QString>("message"); // empty: taken
    QTest::newRow("quantity abc") << "abc"
                                  << "20" << quantity;
    QTest::newRow("quantity 0") << "0"
                                << "20" << quantity;
    QTest::newRow("more than the page offers") << "4"
                                               << "20" << quantity;
    QTest::newRow("seconds abc") << "1"
                                 << "abc" << seconds;
    QTest::newRow("seconds 1") << "1"
                               << "1" << seconds;
    QTest::newRow("seconds 181") << "1"
                                 << "181" << seconds;
    QTest::newRow("seconds 2.5") << "1"
                                 << "2.5" << seconds;
    QTest::newRow("the lists' ends") << "3"
                                     << "180" << QString();
}

void TestBidSettings::dialogTakesQuantityAndSecondsOnlyFromTheirLists()
{
    QFETCH(QString, quantityText);
    QFETCH(QString, secondsText);
    QFETCH(QString, message);
    const WatchItemRecord &record = updated(QStringLiteral("7000001"), 3600);
    FakePrompter prompter;
    frmAutoBid dialog(lampValues(record), prompter);
    dialog.txtMaxBidPrice->setText(QStringLiteral("12"));
    dialog.cboMaxQuantity->setEditText(quantityText);
    dialog.cboAutoBidTime->setEditText(secondsText);
    dialog.cmdOk_Click();
    QCOMPARE(dialog.entry().has_value(), message.isEmpty());
    if (message.isEmpty()) {
        QCOMPARE(dialog.entry()->quantity, 3);
        QCOMPARE(dialog.entry()->seconds, 180);
        return;
    }
    QCOMPARE(prompter.shown().size(), 1);
    QCOMPARE(prompter.last().text, message);
    QCOMPARE(prompter.last().icon, PromptIcon::Critical);
    QVERIFY(dialog.result() != QDialog::Accepted);
    QCOMPARE(dialog.focusWidget(),
        message.contains(u"Max.Quantity") ? dialog.cboMaxQuantity : dialog.cboAutoBidTime);
}

void TestBidSettings::dialogAsksOnceAboutAMaximumFarAboveThePrice_data()
{
    QTest::addColumn<QString>("price");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("question");
    const QString eleven = QStringLiteral("Is $115.50 right? It is 11 times the current price.");
    QTest::newRow("9 times") << "90" << true << QString();
    QTest::newRow("10 times") << "100" << true << QString();
    QTest::newRow("11 times, meant") << "115.50" << true << eleven;
    QTest::newRow("11 times, a slip") << "115.50" << false << eleven;
}

void TestBidSettings::dialogAsksOnceAboutAMaximumFarAboveThePrice()
{
    QFETCH(QString, price);
    QFETCH(bool, yes);
    QFETCH(QString, question);
    const WatchItemRecord &record = updated(QStringLiteral("7000001"), 3600);
    FakePrompter prompter;
    prompter.queueAnswer(yes ? PromptAnswer::Yes : PromptAnswer::No);
    frmAutoBid dialog(lampValues(record), prompter);
    dialog.txtMaxBidPrice->setText(price);
    dialog.cmdOk->setFocus();
    dialog.cmdOk_Click();
    QCOMPARE(prompter.shown().size(), question.isEmpty() ? 0 : 1);
    if (!question.isEmpty()) {
        QCOMPARE(prompter.last().text, question);
        QCOMPARE(prompter.last().title, QStringLiteral("Check your maximum bid"));
        QCOMPARE(prompter.last().icon, PromptIcon::Question);
        // Enter on the question must not arm the bid.
        QCOMPARE(prompter.last().buttons, PromptButtons::YesNoDefaultNo);
    }
    QCOMPARE(dialog.entry().has_value(), yes);
    QCOMPARE(dialog.result() == QDialog::Accepted, yes);
    if (!yes)
        QCOMPARE(dialog.focusWidget(), dialog.txtMaxBidPrice);
}

void TestBidSettings::dialogShowsStoredValuesOrDefaults()
{
    WatchItemRecord &record = updated(QStringLiteral("7000001"), 3600);
    record.recQuantity = 0; // the page named no quantity
    AutoBidDialogValues fresh = autoBidDialogValues(QStringLiteral("7000001"), QStringLiteral("Lamp"),
        QStringLiteral("$10.00"), &record, *f->app->parts().store);
    QCOMPARE((QStringList { fresh.price, fresh.quantity, fresh.seconds }),
        (QStringList { QString(), QStringLiteral("1"), QStringLiteral("20") }));
    QVERIFY(fresh.quantityChoices.isEmpty());
    QCOMPARE(fresh.secondsChoices.size(), 59 + 24);
    QCOMPARE(fresh.auctionTitle, QStringLiteral("Auction: \"Lamp\""));
    QCOMPARE(fresh.minimumBidText, QStringLiteral("Minimum Bid Amount:  10.50  (with increment of 0.50)"));
    record.recMaxAutoBid = Money::fromText(u"25.5");
    record.recMaxQuantity = 2;
    record.recMaxTimeLeft = 12;
    storeAutoBid(*f->app->parts().store, QStringLiteral("7000001"), record);
    const AutoBidDialogValues again = autoBidDialogValues(QStringLiteral("7000001"), QStringLiteral("Lamp"),
        QStringLiteral("$10.00"), &record, *f->app->parts().store);
    QCOMPARE((QStringList { again.price, again.quantity, again.seconds }),
        (QStringList { QStringLiteral("25.5"), QStringLiteral("2"), QStringLiteral("12") }));
}

void TestBidSettings::setStoresTheBidOnTheChosenItemEvenAfterASort_data()
{
    QTest::addColumn<double>("endDay");
    QTest::addColumn<int>("storedDay");
    QTest::newRow("evening end rounds up") << 37720.75 << 37721;
    QTest::newRow("noon end rounds to even") << 37720.5 << 37720;
}

void TestBidSettings::setStoresTheBidOnTheChosenItemEvenAfterASort()
{
    QFETCH(double, endDay);
    QFETCH(int, storedDay);
    f->clock->set(fromDayNumber(endDay - 1));
    WatchItemRecord &chosen = updated(QStringLiteral("7000001"), 3600);
    chosen.recEndDate = fromDayNumber(endDay);
    updated(QStringLiteral("7000002"), 7200);
    SaveRegString(*f->app->parts().store, RegRoot::CurrentUser, itemKeyPath(QStringLiteral("7000001")),
        QString::fromUtf16(ItemValue::MaxBid), QStringLiteral("30"));
    f->app->parts().mainWindow->ui.lstWatching->selectRow(model->findRow(QStringLiteral("7000001")));
    answer = AutoBidEntry { Money::fromText(u"25.5"), 2, 12 };
    // A pass ends while the dialog is open and turns the list round.
    whileDialogOpen = [this] {
        model->setSubItem(model->findRow(QStringLiteral("7000001")), WatchListModel::EndDate2,
            dateTimeText(QDateTime(QDate(2026, 3, 2), QTime(12, 0))));
        model->setSubItem(model->findRow(QStringLiteral("7000002")), WatchListModel::EndDate2, QString());
        model->sortByEndDate();
    };
    commands()->mnuSetAutoBid_Click();
    QCOMPARE(dialogs, 1);
    QCOMPARE(model->rowText(0), QStringLiteral("7000002"));
    const QString item = QStringLiteral("7000001");
    QCOMPARE(stored(item, ItemValue::MaxAutoBid), QStringLiteral("25.5"));
    QCOMPARE(stored(item, ItemValue::MaxQuantity), QStringLiteral("2"));
    QCOMPARE(stored(item, ItemValue::MaxTimeLeft), QStringLiteral("12"));
    QCOMPARE(GetRegDword(*f->app->parts().store, RegRoot::CurrentUser, itemKeyPath(item),
                 QString::fromUtf16(ItemValue::AuctionEndDate), 0),
        storedDay);
    QCOMPARE(stored(item, ItemValue::MaxBid), QStringLiteral("<none>"));
    QCOMPARE(model->icon(model->findRow(item)), int(WatchListModel::IconHammer));
    QCOMPARE(f->app->parts().records->at(model->findRow(item) + 1).recMaxTimeLeft, 12);
    QCOMPARE(f->app->parts().records->at(model->findRow(QStringLiteral("7000002")) + 1).recMaxTimeLeft, 0);
    QCOMPARE(f->app->parts().mainWindow->ui.lstWatching->toolTip(),
        QStringLiteral("Max bid is: $25.50, Qty: 3, Bid @ the last 12 sec."));
}

void TestBidSettings::removalsActOnlyOnTheirOwnIcon()
{
    const int row = model->findRow(QStringLiteral("7000001"));
    f->app->parts().mainWindow->ui.lstWatching->selectRow(row);
    model->setIcon(row, WatchListModel::IconLightning);
    commands()->mnuRemoveAutoBid_Click();
    model->setIcon(row, WatchListModel::IconHammer);
    commands()->mnuRemoveMaxbid_Click();
    QVERIFY(f->prompter->shown().isEmpty());
    QCOMPARE(model->icon(row), int(WatchListModel::IconHammer));
}

void TestBidSettings::cancelledNoteChangesNothingAfterTheSwitch()
{
    WatchItemRecord &record = updated(QStringLiteral("7000001"), 3600);
    record.recMaxAutoBid = Money::fromText(u"25");
    record.recMaxTimeLeft = 10;
    storeAutoBid(*f->app->parts().store, QStringLiteral("7000001"), record);
    const int row = model->findRow(QStringLiteral("7000001"));
    model->setIcon(row, WatchListModel::IconHammer);
    f->app->parts().mainWindow->ui.lstWatching->selectRow(row);
    f->prompter->queueInput(std::nullopt); // Cancel in the input box
    commands()->mnuRemarkPrice_Click();
    QCOMPARE(f->prompter->shown()[0].title, QStringLiteral("Alert: Command Confusion?"));
    // The switch happened; the cancelled note added nothing.
    QCOMPARE(stored(QStringLiteral("7000001"), ItemValue::MaxAutoBid), QStringLiteral("<none>"));
    QVERIFY(stored(QStringLiteral("7000001"), ItemValue::AuctionEndDateTxt) != u"<none>");
    QCOMPARE(stored(QStringLiteral("7000001"), ItemValue::MaxBid), QStringLiteral("<none>"));
    QCOMPARE(record.recMaxAutoBid, Money {});
    QCOMPARE(model->icon(row), int(WatchListModel::IconBlank));
}

void TestBidSettings::withoutAnAccountTheSettingsComeFirst()
{
    updated(QStringLiteral("7000001"), 3600);
    f->app->parts().mainWindow->ui.lstWatching->selectRow(model->findRow(QStringLiteral("7000001")));
    f->app->parts().settings->EBayID.clear();
    commands()->mnuSetAutoBid_Click(); // still no account afterwards: nothing more
    QCOMPARE(settingsShown, 1);
    QCOMPARE(dialogs, 0);
    accountAfterSettings = QStringLiteral("buyer");
    commands()->mnuSetAutoBid_Click();
    QCOMPARE(settingsShown, 2);
    QCOMPARE(dialogs, 1);
}

QTEST_MAIN(TestBidSettings)
#include "TestBidSettings.moc"
