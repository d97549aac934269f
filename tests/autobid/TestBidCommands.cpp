// The two bids started by hand and an automatic bid, on the whole program with a scripted
// browser: what the commands ask and refuse, and a bid firing through the program's own
// windows, timers and alerts.

#include <QLabel>
#include <QTest>
#include <QTimer>

#include "BidFixture.h"
#include "alerts/AlertCentre.h"
#include "app/BidCommands.h"
#include "app/frmResource.h"
#include "app/frmWatch.h"
#include "autobid/AutoBidTrigger.h"
#include "autobid/BidSequence.h"
#include "config/AppSettings.h"
#include "engine/UpdateEngine.h"
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
} // namespace

class TestBidCommands final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void firesAtItsLeadAfterAQuietWindowForItsOwnItem();
    void realBidNowAsksAndStarts();
    void webMailWindowTakesTheBidWindowsPlace();
    void fillInBidChecksQuantityAndAmount_data();
    void fillInBidChecksQuantityAndAmount();

private:
    // Item `item` has been updated, with an automatic bid of `max` at `lead` seconds.
    WatchItemRecord &armed(
        const QString &item, qint64 secondsLeft, const QString &max = QStringLiteral("50"), int lead = 20);
    void tick();
    bool quiet() const;
    bool allRunning() const;
    QString storedFiringTime(const QString &item) const
    {
        return GetRegString(*f->app->parts().store, RegRoot::CurrentUser, itemKeyPath(item),
            QString::fromUtf16(ItemValue::AutoBidAt), QString());
    }

    std::unique_ptr<AppFixture> f;
    WatchListModel *model = nullptr;
};

void TestBidCommands::init()
{
    f = std::make_unique<AppFixture>();
    QVERIFY(startWithHandSetRecords(*f, { kFirst, kSecond }));
    model = f->app->parts().listModel.get();
}

void TestBidCommands::cleanup()
{
    f.reset();
}

WatchItemRecord &TestBidCommands::armed(const QString &item, qint64 secondsLeft, const QString &max, int lead)
{
    return armRecord(*f, item, secondsLeft, max, lead);
}

void TestBidCommands::tick()
{
    f->app->parts().autoBidTrigger->tmrChkAutoBid_Timer();
}

bool TestBidCommands::quiet() const
{
    return !f->app->parts().engine->tmrCheckBids.isActive()
        && !f->app->parts().engine->tmNextUpdate.isActive()
        && !f->app->parts().resources->alerts().tmrChkItemAlert.isActive()
        && !f->app->parts().resources->tmrAutoChkTimeSync.isActive();
}

bool TestBidCommands::allRunning() const
{
    return f->app->parts().engine->tmrCheckBids.isActive() && f->app->parts().engine->tmNextUpdate.isActive()
        && f->app->parts().resources->alerts().tmrChkItemAlert.isActive()
        && f->app->parts().resources->tmrAutoChkTimeSync.isActive();
}

void TestBidCommands::firesAtItsLeadAfterAQuietWindowForItsOwnItem()
{
    armed(kFirst, 21);
    armed(kSecond, 3600);
    // The list's selection is on the other item: the bid still follows its own.
    f->app->parts().mainWindow->ui.lstWatching->selectRow(model->findRow(kSecond));
    tick();
    QVERIFY(f->browser->sessions.isEmpty());
    QVERIFY(quiet());
    QCOMPARE(f->app->parts().mainWindow->ui.panels[2]->text(), QStringLiteral("Auto-Bid (2)"));

    f->clock->advanceSeconds(1);
    tick();
    QCOMPARE(f->browser->sessions.size(), 1);
    QCOMPARE(f->browser->sessions[0]->actions.first().text,
        QStringLiteral("http://127.0.0.1:1/ws/eBayISAPI.dll?ViewItem&item=7000001"));
    const WatchItemRecord &record = f->app->parts().records->at(model->findRow(kFirst) + 1);
    QCOMPARE(record.recAutoBidState, 1);
    QCOMPARE(record.recAutoBidFiredAt, f->clock->now());
    QVERIFY(!storedFiringTime(kFirst).isEmpty());
    QVERIFY(storedFiringTime(kSecond).isEmpty());
    QCOMPARE(f->app->parts().bidSequence->item, kFirst);
    QCOMPARE(f->app->parts().bidSequence->curBidAmount, Money::fromText(u"50"));
    QVERIFY(f->app->parts().bidSequence->blnAutoBid);
    QVERIFY(allRunning());

    // Fired once: the next ticks quiet the updates again but start nothing.
    f->clock->advanceSeconds(1);
    tick();
    QCOMPARE(f->browser->sessions.size(), 1);
    QVERIFY(quiet());

    // Past the end, with the bid window never done, the periodic work runs again.
    f->clock->advanceSeconds(20);
    tick();
    QVERIFY(allRunning());

    // Another bid before the first one's pages are done cuts it off, and says so.
    armed(kSecond, 20);
    tick();
    QCOMPARE(f->browser->sessions.size(), 2);
    QCOMPARE(f->tray->messages.size(), 1);
    QVERIFY(f->tray->messages[0].contains(kFirst));
}

void TestBidCommands::realBidNowAsksAndStarts()
{
    BidCommands &commands = *f->app->parts().bidCommands;
    f->app->parts().mainWindow->ui.lstWatching->selectRow(model->findRow(kFirst));
    armed(kFirst, 3600, QStringLiteral("0"));
    commands.cmdTestAutoBid_Click();
    QCOMPARE(f->prompter->last().text, QStringLiteral("Please set bid value using Auto-Bid Mode"));
    QCOMPARE(f->prompter->last().icon, PromptIcon::Critical);

    armed(kFirst, 3600, QStringLiteral("25.5"));
    model->setSubItem(model->findRow(kFirst), 1, QStringLiteral("Brass lamp"));
    f->prompter->queueAnswer(PromptAnswer::No);
    commands.cmdTestAutoBid_Click();
    QCOMPARE(f->prompter->last().title, QStringLiteral("Make a REAL Bid Now"));
    QCOMPARE(f->prompter->last().text,
        QStringLiteral("Do you want to make a REAL bid (base on setting from Auto-Bid) NOW?\r\n\r\n"
                       "--------- Last warning....you are going to make a REAL bid now -------\r\n\r\n"
                       "Item: Brass lamp\r\nMax-bid Price: 25.5\r\nQuantity: 2"));
    QVERIFY(f->browser->sessions.isEmpty());

    commands.cmdTestAutoBid_Click();
    QCOMPARE(f->browser->sessions.size(), 1);
    QCOMPARE(f->app->parts().records->at(model->findRow(kFirst) + 1).recAutoBidState, 1);
    QVERIFY(f->app->parts().bidSequence->blnAutoBid);
}

void TestBidCommands::webMailWindowTakesTheBidWindowsPlace()
{
    armed(kFirst, 3600, QStringLiteral("25.5"));
    f->app->parts().mainWindow->ui.lstWatching->selectRow(model->findRow(kFirst));
    f->app->parts().bidCommands->cmdTestAutoBid_Click();
    f->app->parts().settings->HotmailID = QStringLiteral("reader");
    f->app->parts().settings->HotmailPWD = QStringLiteral("pw");
    f->app->parts().mainWindow->listMenu.mnuHotmail->trigger();
    QCOMPARE(f->browser->sessions.size(), 2);
    QCOMPARE(f->browser->sessions[1]->actions.first().text, QStringLiteral("http://127.0.0.1:1/"));
    QVERIFY(f->browser->sessions[0]->released);
    f->browser->sessions[0]->complete(
        QUrl(QStringLiteral("http://127.0.0.1:1/ws/eBayISAPI.dll?ViewItem&item=7000001")),
        { {}, { "maxbid", "quant" } });
    QCOMPARE(f->browser->sessions[0]->actions.size(), 3); // navigate, show, release: nothing filled
    QVERIFY(f->app->parts().bidSequence->blnAutoBid);
}

void TestBidCommands::fillInBidChecksQuantityAndAmount_data()
{
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("refusal"); // empty: the bid starts
    QTest::newRow("more than offered") << "4"
                                       << ""
                                       << "You have enter the wrong number, please re-enter again";
    QTest::newRow("none") << "0"
                          << ""
                          << "You have enter the wrong number, please re-enter again";
    QTest::newRow("not a number") << "two"
                                  << ""
                                  << "There is an error, please retry again";
    QTest::newRow("below the price") << "2"
                                     << "9.99"
                                     << "You have enter the wrong number or amount is less than "
                                        "current price,\r\nplease re-enter again";
    QTest::newRow("no amount") << "2"
                               << ""
                               << "Please enter your bid price first";
    QTest::newRow("under the minimum is fine") << "2"
                                               << "10.25"
                                               << "";
}

void TestBidCommands::fillInBidChecksQuantityAndAmount()
{
    QFETCH(QString, quantity);
    QFETCH(QString, amount);
    QFETCH(QString, refusal);
    armed(kFirst, 3600, QStringLiteral("0"));
    const int row = model->findRow(kFirst);
    model->setSubItem(row, 3, QStringLiteral("US $10.00"));
    model->setSubItem(row, 10, QStringLiteral("3"));
    f->app->parts().mainWindow->ui.lstWatching->selectRow(row);
    f->prompter->queueInput(quantity);
    f->prompter->queueInput(amount);
    f->app->parts().bidCommands->cmdBidReady_Click();
    if (!refusal.isEmpty()) {
        QCOMPARE(f->prompter->last().text, refusal);
        QVERIFY(f->browser->sessions.isEmpty());
        return;
    }
    QCOMPARE(f->prompter->shown().size(), 2);
    QCOMPARE(f->prompter->shown()[1].text,
        QStringLiteral("Please enter your MAX. bid price\r\nStarting from -->  $10.50\r\nand Becareful about "
                       "UNIT (US/GBP)"));
    QCOMPARE(
        f->shell->opened, QStringList { "http://127.0.0.1:1/aw-cgi/eBayISAPI.dll?ViewBids&item=7000001" });
    QCOMPARE(f->browser->sessions.size(), 1);
    const BidSequence &sequence = *f->app->parts().bidSequence;
    QVERIFY(sequence.blnFillOnly);
    QCOMPARE(sequence.intBidQuantity, qint16(2));
    QCOMPARE(sequence.curBidAmount, Money::fromText(u"10.25"));
    QCOMPARE(f->app->parts().records->at(row + 1).recAutoBidState, 0);
}

QTEST_MAIN(TestBidCommands)
#include "TestBidCommands.moc"
