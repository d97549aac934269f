// The automatic bid's trigger and the two bids started by hand, on the whole program with
// a scripted browser: when a bid fires, what it quiets and starts again, and what the
// commands ask and refuse.

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

class TestAutoBidTrigger final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void firesAtItsLeadAfterAQuietWindowForItsOwnItem();
    void tickLandsJustAfterEachWholeSecond();
    void itemsThatMayNotFire_data();
    void itemsThatMayNotFire();
    void onlyAnItemThatActsLetsOtherWorkRun_data();
    void onlyAnItemThatActsLetsOtherWorkRun();
    void withoutAnAccountTheBidIsReportedAndNotRetried();
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
        return GetRegString(*f->app->store(), RegRoot::CurrentUser, itemKeyPath(item),
            QString::fromUtf16(ItemValue::AutoBidAt), QString());
    }

    std::unique_ptr<AppFixture> f;
    WatchListModel *model = nullptr;
};

void TestAutoBidTrigger::init()
{
    f = std::make_unique<AppFixture>();
    QVERIFY(startWithHandSetRecords(*f, { kFirst, kSecond }));
    model = &f->app->listModel();
}

void TestAutoBidTrigger::cleanup()
{
    f.reset();
}

WatchItemRecord &TestAutoBidTrigger::armed(
    const QString &item, qint64 secondsLeft, const QString &max, int lead)
{
    return armRecord(*f, item, secondsLeft, max, lead);
}

void TestAutoBidTrigger::tick()
{
    f->app->autoBidTrigger()->tmrChkAutoBid_Timer();
}

bool TestAutoBidTrigger::quiet() const
{
    return !f->app->engine()->tmrCheckBids.isActive() && !f->app->engine()->tmNextUpdate.isActive()
        && !f->app->resources()->alerts().tmrChkItemAlert.isActive()
        && !f->app->resources()->tmrAutoChkTimeSync.isActive();
}

bool TestAutoBidTrigger::allRunning() const
{
    return f->app->engine()->tmrCheckBids.isActive() && f->app->engine()->tmNextUpdate.isActive()
        && f->app->resources()->alerts().tmrChkItemAlert.isActive()
        && f->app->resources()->tmrAutoChkTimeSync.isActive();
}

void TestAutoBidTrigger::firesAtItsLeadAfterAQuietWindowForItsOwnItem()
{
    armed(kFirst, 21);
    armed(kSecond, 3600);
    // The list's selection is on the other item: the bid still follows its own.
    f->app->mainWindow()->ui.lstWatching->selectRow(model->findRow(kSecond));
    tick();
    QVERIFY(f->browser->sessions.isEmpty());
    QVERIFY(quiet());
    QCOMPARE(f->app->mainWindow()->ui.panels[2]->text(), QStringLiteral("Auto-Bid (2)"));

    f->clock->advanceSeconds(1);
    tick();
    QCOMPARE(f->browser->sessions.size(), 1);
    QCOMPARE(f->browser->sessions[0]->actions.first().text,
        QStringLiteral("http://127.0.0.1:1/ws/eBayISAPI.dll?ViewItem&item=7000001"));
    const WatchItemRecord &record = f->app->records().at(model->findRow(kFirst) + 1);
    QCOMPARE(record.recAutoBidState, 1);
    QCOMPARE(record.recAutoBidFiredAt, f->clock->now());
    QVERIFY(!storedFiringTime(kFirst).isEmpty());
    QVERIFY(storedFiringTime(kSecond).isEmpty());
    QCOMPARE(f->app->bidSequence()->item, kFirst);
    QCOMPARE(f->app->bidSequence()->curBidAmount, Money::fromText(u"50"));
    QVERIFY(f->app->bidSequence()->blnAutoBid);
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

void TestAutoBidTrigger::tickLandsJustAfterEachWholeSecond()
{
    QTimer &timer = f->app->mainWindow()->tmrChkAutoBid;
    AutoBidTrigger &trigger = *f->app->autoBidTrigger();
    const QDateTime second(QDate(2026, 12, 8), QTime(12, 0));
    f->clock->set(second.addMSecs(370));
    trigger.startTicking();
    QCOMPARE(timer.timerType(), Qt::PreciseTimer);
    QCOMPARE(timer.interval(), 635);
    armed(kFirst, 0, QStringLiteral("50"), 10).recEndDate = second.addSecs(12);

    f->clock->set(second.addMSecs(1005));
    trigger.onTick();
    QVERIFY(f->browser->sessions.isEmpty()); // 11 seconds left
    QCOMPARE(timer.interval(), 1000);
    // The bid fires with the whole lead left, not somewhere inside its last second.
    f->clock->set(second.addMSecs(2005));
    trigger.onTick();
    QCOMPARE(f->browser->sessions.size(), 1);
    // A late tick puts the next one back on its phase.
    f->clock->set(second.addMSecs(3012));
    trigger.onTick();
    QCOMPARE(timer.interval(), 993);
}

void TestAutoBidTrigger::itemsThatMayNotFire_data()
{
    QTest::addColumn<QString>("max");
    QTest::addColumn<int>("quantity");
    QTest::addColumn<int>("state");
    QTest::addColumn<qint64>("secondsLeft");
    QTest::addColumn<bool>("quieted");
    QTest::addColumn<QString>("status");
    QTest::newRow("outbid beyond the maximum") << "10.25" << 2 << 0 << qint64(15) << false << "Auto-Bid (1)";
    QTest::newRow("no quantity") << "50" << 0 << 0 << qint64(15) << false << "Auto-Bid (1)";
    QTest::newRow("fired before") << "50" << 2 << 1 << qint64(15) << true << "Auto-Bid (1)";
    QTest::newRow("won") << "50" << 2 << 5 << qint64(15) << true << "Auto-Bid (1)";
    QTest::newRow("quiet window starts") << "50" << 2 << 0 << qint64(140) << true << "Auto-Bid (1)";
    QTest::newRow("before the quiet window") << "50" << 2 << 0 << qint64(141) << false << "Auto-Bid (1)";
    QTest::newRow("ended") << "50" << 2 << 0 << qint64(-1) << false << "No Auto-Bid";
    QTest::newRow("no automatic bid") << "0" << 2 << 0 << qint64(15) << false << "No Auto-Bid";
}

void TestAutoBidTrigger::itemsThatMayNotFire()
{
    QFETCH(QString, max);
    QFETCH(int, quantity);
    QFETCH(int, state);
    QFETCH(qint64, secondsLeft);
    QFETCH(bool, quieted);
    QFETCH(QString, status);
    WatchItemRecord &record = armed(kFirst, secondsLeft, max);
    record.recMaxQuantity = quantity;
    record.recAutoBidState = state;
    f->app->resources()->alerts().resumeChecks();
    f->app->resources()->clockCheck.restartCounting();
    tick();
    QVERIFY(f->browser->sessions.isEmpty());
    QCOMPARE(quiet(), quieted);
    QCOMPARE(f->app->mainWindow()->ui.panels[2]->text(), status);
}

void TestAutoBidTrigger::onlyAnItemThatActsLetsOtherWorkRun_data()
{
    QTest::addColumn<qint64>("secondsLeft");
    QTest::addColumn<bool>("yields");
    QTest::newRow("far from its bid") << qint64(3600) << false;
    QTest::newRow("in its quiet window") << qint64(100) << true;
    QTest::newRow("at its lead") << qint64(20) << true;
}

void TestAutoBidTrigger::onlyAnItemThatActsLetsOtherWorkRun()
{
    QFETCH(qint64, secondsLeft);
    QFETCH(bool, yields);
    armed(kFirst, 7200);
    armed(kSecond, secondsLeft);
    bool ran = false;
    QMetaObject::invokeMethod(
        this, [&] { ran = true; }, Qt::QueuedConnection);
    tick();
    QCOMPARE(ran, yields);
    QCOMPARE(f->app->mainWindow()->ui.panels[2]->text(), QStringLiteral("Auto-Bid (2)"));
    QCoreApplication::processEvents();
}

void TestAutoBidTrigger::withoutAnAccountTheBidIsReportedAndNotRetried()
{
    f->app->settings().EBayID.clear();
    f->app->settings().EBayPWD.clear();
    armed(kSecond, 20);
    tick();
    QVERIFY(f->browser->sessions.isEmpty());
    QCOMPARE(f->app->records().at(model->findRow(kSecond) + 1).recAutoBidState, 1);
    QCOMPARE(f->tray->messages.size(), 1);
    QVERIFY(f->tray->messages[0].contains(kSecond));
    f->clock->advanceSeconds(1);
    tick();
    QCOMPARE(f->tray->messages.size(), 1);
}

void TestAutoBidTrigger::realBidNowAsksAndStarts()
{
    BidCommands &commands = *f->app->bidCommands();
    f->app->mainWindow()->ui.lstWatching->selectRow(model->findRow(kFirst));
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
    QCOMPARE(f->app->records().at(model->findRow(kFirst) + 1).recAutoBidState, 1);
    QVERIFY(f->app->bidSequence()->blnAutoBid);
}

void TestAutoBidTrigger::webMailWindowTakesTheBidWindowsPlace()
{
    armed(kFirst, 3600, QStringLiteral("25.5"));
    f->app->mainWindow()->ui.lstWatching->selectRow(model->findRow(kFirst));
    f->app->bidCommands()->cmdTestAutoBid_Click();
    f->app->settings().HotmailID = QStringLiteral("reader");
    f->app->settings().HotmailPWD = QStringLiteral("pw");
    f->app->mainWindow()->listMenu.mnuHotmail->trigger();
    QCOMPARE(f->browser->sessions.size(), 2);
    QCOMPARE(f->browser->sessions[1]->actions.first().text, QStringLiteral("http://127.0.0.1:1/"));
    QVERIFY(f->browser->sessions[0]->released);
    f->browser->sessions[0]->complete(
        QUrl(QStringLiteral("http://127.0.0.1:1/ws/eBayISAPI.dll?ViewItem&item=7000001")),
        { {}, { "maxbid", "quant" } });
    QCOMPARE(f->browser->sessions[0]->actions.size(), 3); // navigate, show, release: nothing filled
    QVERIFY(f->app->bidSequence()->blnAutoBid);
}

void TestAutoBidTrigger::fillInBidChecksQuantityAndAmount_data()
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

void TestAutoBidTrigger::fillInBidChecksQuantityAndAmount()
{
    QFETCH(QString, quantity);
    QFETCH(QString, amount);
    QFETCH(QString, refusal);
    armed(kFirst, 3600, QStringLiteral("0"));
    const int row = model->findRow(kFirst);
    model->setSubItem(row, 3, QStringLiteral("US $10.00"));
    model->setSubItem(row, 10, QStringLiteral("3"));
    f->app->mainWindow()->ui.lstWatching->selectRow(row);
    f->prompter->queueInput(quantity);
    f->prompter->queueInput(amount);
    f->app->bidCommands()->cmdBidReady_Click();
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
    const BidSequence &sequence = *f->app->bidSequence();
    QVERIFY(sequence.blnFillOnly);
    QCOMPARE(sequence.intBidQuantity, qint16(2));
    QCOMPARE(sequence.curBidAmount, Money::fromText(u"10.25"));
    QCOMPARE(f->app->records().at(row + 1).recAutoBidState, 0);
}

QTEST_MAIN(TestAutoBidTrigger)
#include "TestAutoBidTrigger.moc"
