// The automatic bid's trigger on its own: when a bid fires, what it quiets and lets run,
// and what it reports; the list, the engine and the browser around it are the program's
// own logic on fakes.

#include <QTest>
#include <QTimer>

#include "BidLogicFixture.h"
#include "store/RegistryFunctions.h"
#include "watchlist/WatchStore.h"

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
    void tickLandsJustAfterEachWholeSecond();
    void itemsThatMayNotFire_data();
    void itemsThatMayNotFire();
    void onlyAnItemThatActsLetsOtherWorkRun_data();
    void onlyAnItemThatActsLetsOtherWorkRun();
    void withoutAnAccountTheBidIsReportedAndNotRetried();
    void momentPassedUnseenFiresOrIsTold_data();
    void momentPassedUnseenFiresOrIsTold();

private:
    // Item `item` has been updated, with an automatic bid of `max` at `lead` seconds.
    WatchItemRecord &armed(
        const QString &item, qint64 secondsLeft, const QString &max = QStringLiteral("50"), int lead = 20)
    {
        return f->armRecord(item, secondsLeft, max, lead);
    }
    void tick() { f->trigger->tmrChkAutoBid_Timer(); }
    bool quiet() const
    {
        return !f->engine->tmrCheckBids.isActive() && !f->engine->tmNextUpdate.isActive()
            && !f->alerts->tmrChkItemAlert.isActive() && !f->clockCheck.tmrAutoChkTimeSync.isActive();
    }

    std::unique_ptr<BidLogicFixture> f;
    WatchListModel *model = nullptr;
};

void TestAutoBidTrigger::init()
{
    f = std::make_unique<BidLogicFixture>();
    QVERIFY(f->setUp({ kFirst, kSecond }));
    model = &f->model;
}

void TestAutoBidTrigger::cleanup()
{
    f.reset();
}

void TestAutoBidTrigger::tickLandsJustAfterEachWholeSecond()
{
    QTimer &timer = f->tmrChkAutoBid;
    AutoBidTrigger &trigger = *f->trigger;
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
    f->alerts->resumeChecks();
    f->clockCheck.restartCounting();
    tick();
    QVERIFY(f->browser->sessions.isEmpty());
    QCOMPARE(quiet(), quieted);
    QCOMPARE(f->autoBidStatus, status);
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
    QCOMPARE(f->autoBidStatus, QStringLiteral("Auto-Bid (2)"));
    QCoreApplication::processEvents();
}

void TestAutoBidTrigger::withoutAnAccountTheBidIsReportedAndNotRetried()
{
    f->settings.EBayID.clear();
    f->settings.EBayPWD.clear();
    armed(kSecond, 20);
    tick();
    QVERIFY(f->browser->sessions.isEmpty());
    QCOMPARE(f->records.at(model->findRow(kSecond) + 1).recAutoBidState, 1);
    QCOMPARE(f->ended.size(), 1);
    QCOMPARE(f->ended[0].item, kSecond);
    QCOMPARE(*f->ended[0].outcome, BidOutcome::NotStarted);
    f->clock->advanceSeconds(1);
    tick();
    QCOMPARE(f->ended.size(), 1);
}

void TestAutoBidTrigger::momentPassedUnseenFiresOrIsTold_data()
{
    QTest::addColumn<qint64>("seenBefore"); // seconds left at the check before; 0: never seen
    QTest::addColumn<qint64>("secondsLeft");
    QTest::addColumn<bool>("fires");
    QTest::addColumn<bool>("told");
    QTest::newRow("clock jumps to the last second") << qint64(300) << qint64(1) << true << false;
    QTest::newRow("clock jumps past the end") << qint64(300) << qint64(0) << false << true;
    QTest::newRow("busy well past the end") << qint64(25) << qint64(-40) << false << true;
    QTest::newRow("ended before it was ever seen") << qint64(0) << qint64(-5) << false << false;
}

void TestAutoBidTrigger::momentPassedUnseenFiresOrIsTold()
{
    QFETCH(qint64, seenBefore);
    QFETCH(qint64, secondsLeft);
    QFETCH(bool, fires);
    QFETCH(bool, told);
    WatchItemRecord &record = armed(kFirst, seenBefore, QStringLiteral("50"), 3);
    if (seenBefore > 0)
        tick();
    f->clock->advanceSeconds(seenBefore - secondsLeft);
    tick();
    QCOMPARE(f->browser->sessions.size(), fires ? 1 : 0);
    QCOMPARE(f->tray->messages.size(), told ? 1 : 0);
    if (told)
        QVERIFY(f->tray->messages[0].contains(kFirst) && f->tray->messages[0].contains(record.recTitle));
    // Told once, and never fired late.
    f->clock->advanceSeconds(1);
    tick();
    QCOMPARE(f->tray->messages.size(), told ? 1 : 0);
    QCOMPARE(f->browser->sessions.size(), fires ? 1 : 0);
}

QTEST_GUILESS_MAIN(TestAutoBidTrigger)
#include "TestAutoBidTrigger.moc"
