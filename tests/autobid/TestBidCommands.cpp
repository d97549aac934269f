// The two bids started by hand and an automatic bid, on the whole program with a scripted
// browser: what the commands ask and refuse, a bid firing through the program's own windows,
// timers and alerts, where its outcome is told, and the bid log window.

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "BidFixture.h"
#include "alerts/AlertCentre.h"
#include "app/BidCommands.h"
#include "app/BidReports.h"
#include "app/ListMenu.h"
#include "app/frmBidLog.h"
#include "app/frmResource.h"
#include "app/frmWatch.h"
#include "autobid/AutoBidTrigger.h"
#include "autobid/BidLogModel.h"
#include "autobid/BidRunner.h"
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
const QString kFlow = QStringLiteral("http://127.0.0.1:1/aw-cgi/eBayISAPI.dll");

QUrl itemUrl(const QString &item)
{
    return QUrl(u"http://127.0.0.1:1/ws/eBayISAPI.dll?ViewItem&item=" + item);
}

// What the site does with an automatic bid's window.
enum class Site { Takes, Down, MomentMissed };

} // namespace

Q_DECLARE_METATYPE(Site)

class TestBidCommands final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void firesAtItsLeadAfterAQuietWindowForItsOwnItem();
    void realBidNowAsksAndStarts();
    void webMailWindowLeavesTheBidAlone();
    void fillInBidChecksQuantityAndAmount_data();
    void fillInBidChecksQuantityAndAmount();
    void automaticOutcomeIsToldWhereTheBidderLooks_data();
    void automaticOutcomeIsToldWhereTheBidderLooks();
    void endOfTheItemIsToldOnceWithWhatTheBidDid_data();
    void endOfTheItemIsToldOnceWithWhatTheBidDid();
    void removedItemsBidSendsNothing();
    void bidLogListsAndCopies();

private:
    // Item `item` has been updated, with an automatic bid of `max` at `lead` seconds.
    WatchItemRecord &armed(
        const QString &item, qint64 secondsLeft, const QString &max = QStringLiteral("50"), int lead = 20);
    void tick();
    // The first bid window's site: takes the bid or is down.
    void answerFirstBid(Site site);
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
    const BidTask *first = f->app->parts().bidRunner->task(1);
    QVERIFY(first);
    QCOMPARE(first->item(), kFirst);
    QCOMPARE(first->record().kind, BidKind::Automatic);
    QCOMPARE(first->curBidAmount(), Money::fromText(u"50"));
    QCOMPARE(first->record().leadSeconds, 20);
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

    // Another item's bid while the first one's pages still load runs beside it, untouched.
    armed(kSecond, 20);
    tick();
    QCOMPARE(f->browser->sessions.size(), 2);
    QCOMPARE(f->app->parts().bidRunner->runningCount(), 2);
    QVERIFY(!f->browser->sessions[0]->released);
    QVERIFY(f->tray->messages.isEmpty());
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
    QCOMPARE(f->app->parts().bidRunner->task(1)->record().kind, BidKind::Real);
}

void TestBidCommands::webMailWindowLeavesTheBidAlone()
{
    armed(kFirst, 3600, QStringLiteral("25.5"));
    f->app->parts().mainWindow->ui.lstWatching->selectRow(model->findRow(kFirst));
    f->app->parts().bidCommands->cmdTestAutoBid_Click();
    f->app->parts().settings->HotmailID = QStringLiteral("reader");
    f->app->parts().settings->HotmailPWD = QStringLiteral("pw");
    f->app->parts().mainWindow->listMenu.mnuHotmail->trigger();
    QCOMPARE(f->browser->sessions.size(), 2);
    QCOMPARE(f->browser->sessions[1]->actions.first().text, QStringLiteral("http://127.0.0.1:1/"));
    QVERIFY(!f->browser->sessions[0]->released);
    f->browser->sessions[0]->complete(itemUrl(kFirst), { {}, { "maxbid", "quant" } });
    QCOMPARE(f->browser->sessions[0]->submitCount(), 1);
    QVERIFY(f->app->parts().bidRunner->task(1)->blnAutoBidStep2());
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
    const BidTask &bid = *f->app->parts().bidRunner->task(1);
    QVERIFY(bid.blnFillOnly());
    QCOMPARE(bid.intBidQuantity(), qint16(2));
    QCOMPARE(bid.curBidAmount(), Money::fromText(u"10.25"));
    QCOMPARE(f->app->parts().records->at(row + 1).recAutoBidState, 0);
}

void TestBidCommands::automaticOutcomeIsToldWhereTheBidderLooks_data()
{
    QTest::addColumn<Site>("site");
    QTest::addColumn<QString>("told");
    QTest::newRow("placed") << Site::Takes << "Automatic bid on item 7000001 (Lamp 1), 50 x 2: placed";
    QTest::newRow("site down") << Site::Down
                               << "Automatic bid on item 7000001 (Lamp 1), 50 x 2: not placed: "
                                  "site unreachable: the site could not be reached: Connection refused.";
    QTest::newRow("moment missed") << Site::MomentMissed
                                   << "The automatic bid on item 7000001 (Lamp 1) was not placed";
}

void TestBidCommands::automaticOutcomeIsToldWhereTheBidderLooks()
{
    QFETCH(Site, site);
    QFETCH(QString, told);
    armed(kFirst, site == Site::MomentMissed ? 300 : 20);
    tick();
    if (site == Site::MomentMissed) {
        f->clock->advanceSeconds(301); // the PC's clock jumped past the end
        tick();
    } else {
        answerFirstBid(site);
    }
    // Said at once beside the tray icon, by name and with its reason.
    QCOMPARE(f->tray->messages.size(), 1);
    QVERIFY2(f->tray->messages[0].contains(told), qPrintable(f->tray->messages[0]));
    if (site == Site::MomentMissed)
        return;
    frmWatch &window = *f->app->parts().mainWindow;
    QVERIFY(window.ui.panels[1]->text().startsWith(told.left(40)));
    window.ui.lstWatching->selectRow(model->findRow(kFirst));
    Q_EMIT window.rowClicked();
    QVERIFY2(window.ui.lstWatching->toolTip().contains(told.chopped(1)),
        qPrintable(window.ui.lstWatching->toolTip()));
    QCOMPARE(f->app->parts().bidLog->rowCount(), 1);
}

void TestBidCommands::answerFirstBid(Site site)
{
    FakeBrowserSession *window = f->browser->sessions.at(0);
    if (site == Site::Down) {
        window->fail(itemUrl(kFirst), QStringLiteral("Connection refused"));
        return;
    }
    window->complete(itemUrl(kFirst), { {}, { "item", "maxbid", "quant" } });
    window->complete(QUrl(kFlow), { {}, { "item", "user", "pass" } });
    window->answer(QUrl(kFlow), QStringLiteral("eBay - Bid Confirmation"),
        QStringLiteral("Bid confirmation\nYou are the current high bidder, buyer.\n"));
}

void TestBidCommands::endOfTheItemIsToldOnceWithWhatTheBidDid_data()
{
    QTest::addColumn<Site>("site");
    QTest::addColumn<bool>("won");
    QTest::addColumn<QString>("told");
    QTest::newRow("won") << Site::Takes << true << "You won item 7000001 (Lamp 1) for ";
    QTest::newRow("outbid") << Site::Takes << false
                            << "The automatic bid lost item 7000001 (Lamp 1) to a higher bid";
    QTest::newRow("never placed")
        << Site::Down << false
        << "Item 7000001 (Lamp 1) ended at $31.00 without the automatic bid: site unreachable";
}

void TestBidCommands::endOfTheItemIsToldOnceWithWhatTheBidDid()
{
    QFETCH(Site, site);
    QFETCH(bool, won);
    QFETCH(QString, told);
    armed(kFirst, 20).recCurrentPrice = Money::fromText(QStringLiteral("31"));
    tick();
    answerFirstBid(site);
    QCOMPARE(f->tray->messages.size(), 1); // the bid's own outcome
    f->clock->advanceSeconds(30);
    BidReports &reports = *f->app->parts().bidReports;
    reports.tellAuctionEnds();
    QCOMPARE(f->tray->messages.size(), 1); // no page read after the end yet
    if (won)
        SaveRegString(*f->app->parts().store, RegRoot::CurrentUser, itemKeyPath(kFirst),
            QString::fromUtf16(ItemValue::WonItem), QStringLiteral("1"));
    model->setEnded(model->findRow(kFirst), true);
    reports.tellAuctionEnds();
    reports.tellAuctionEnds();
    QCOMPARE(f->tray->messages.size(), 2);
    QVERIFY2(f->tray->messages[1].contains(told), qPrintable(f->tray->messages[1]));
}

void TestBidCommands::removedItemsBidSendsNothing()
{
    armed(kFirst, 20);
    tick();
    FakeBrowserSession *window = f->browser->sessions.at(0);
    f->app->parts().mainWindow->ui.lstWatching->selectRow(model->findRow(kFirst));
    Q_EMIT f->app->parts().mainWindow->commandChosen(WatchCommand::RemoveItem);
    QCOMPARE(model->findRow(kFirst), -1);
    window->complete(itemUrl(kFirst), { {}, { "item", "maxbid", "quant" } });
    QCOMPARE(window->submitCount(), 0);
    QCOMPARE(f->app->parts().bidRunner->runningCount(), 0);
}

void TestBidCommands::bidLogListsAndCopies()
{
    armed(kFirst, 20);
    armed(kSecond, 20);
    tick();
    f->browser->sessions.at(1)->fail(itemUrl(kSecond), QStringLiteral("Connection refused"));
    f->app->parts().mainWindow->listMenu.mnuBidLog->trigger();
    frmBidLog *log = f->app->parts().bidCommands->bidLogWindow();
    QVERIFY(log && log->isVisible());
    QCOMPARE(log->lstBids->model()->rowCount(), 2);
    // Newest first; the ended bid tells its outcome.
    QCOMPARE(log->lstBids->model()->index(0, BidLogModel::Item).data().toString(), kSecond);
    QVERIFY(log->lstBids->model()->index(0, BidLogModel::Outcome).data().toString().contains(u"unreachable"));

    log->lstBids->selectRow(1);
    QGuiApplication::clipboard()->clear();
    QTest::keySequence(log->lstBids, QKeySequence::Copy);
    const QString copied = QGuiApplication::clipboard()->text();
    QVERIFY2(copied.startsWith(kFirst + u"\tLamp 1\tautomatic"), qPrintable(copied));
    QCOMPARE(copied.count(u'\n'), 1);
    // With nothing selected, every line goes.
    log->lstBids->clearSelection();
    log->cmdCopy->click();
    QCOMPARE(QGuiApplication::clipboard()->text().count(u'\n'), 2);
}

QTEST_MAIN(TestBidCommands)
#include "TestBidCommands.moc"
