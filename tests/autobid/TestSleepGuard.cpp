// The computer kept awake for the automatic bids, and what happens when it slept all the
// same: on the bids' logic with a fake clock and a fake sleep lock.

#include <QTest>

#include "BidLogicFixture.h"

using namespace th;
using namespace th::test;

namespace {
const QString kFirst = QStringLiteral("7000001");
const QString kSecond = QStringLiteral("7000002");
constexpr qint64 kHalfHour = 30 * 60;
} // namespace

class TestSleepGuard final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void locksOnlyForBidsDueWithinHalfAnHour_data();
    void locksOnlyForBidsDueWithinHalfAnHour();
    void releasesOnceTheFiredBidsItemEndsAndWhenTheBidIsRemoved();
    void wakingPastTheEndNamesTheMissedBidAndFiresNothing();
    void wakingUpUpdatesUnlessAQuietWindowIsOn_data();
    void wakingUpUpdatesUnlessAQuietWindowIsOn();
    void aMissingLockIsReportedOnce();

private:
    WatchItemRecord &armed(const QString &item, qint64 secondsLeft);
    void review() { f->guard->review(); }
    void tickTrigger() { f->trigger->tmrChkAutoBid_Timer(); }
    QString panel1() const { return f->panels.value(1); }

    std::unique_ptr<BidLogicFixture> f;
};

void TestSleepGuard::init()
{
    f = std::make_unique<BidLogicFixture>();
    QVERIFY(f->setUp({ kFirst, kSecond }));
}

void TestSleepGuard::cleanup()
{
    f.reset();
}

WatchItemRecord &TestSleepGuard::armed(const QString &item, qint64 secondsLeft)
{
    return f->armRecord(item, secondsLeft);
}

void TestSleepGuard::locksOnlyForBidsDueWithinHalfAnHour_data()
{
    QTest::addColumn<qint64>("secondsLeft");
    QTest::addColumn<QString>("maximum");
    QTest::addColumn<int>("quantity");
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("held");
    QTest::newRow("30 minutes") << kHalfHour << "50" << 1 << 0 << true;
    QTest::newRow("31 minutes") << kHalfHour + 60 << "50" << 1 << 0 << false;
    QTest::newRow("just ended") << qint64(0) << "50" << 1 << 0 << false;
    QTest::newRow("outbid beyond the maximum") << qint64(600) << "10.49" << 1 << 0 << false;
    QTest::newRow("nothing to buy") << qint64(600) << "50" << 0 << 0 << false;
    QTest::newRow("won") << qint64(600) << "50" << 1 << 5 << false;
}

void TestSleepGuard::locksOnlyForBidsDueWithinHalfAnHour()
{
    QFETCH(qint64, secondsLeft);
    QFETCH(QString, maximum);
    QFETCH(int, quantity);
    QFETCH(int, state);
    QFETCH(bool, held);
    WatchItemRecord &record = armed(kFirst, secondsLeft);
    record.recMaxAutoBid = Money::fromText(maximum);
    record.recMaxQuantity = quantity;
    record.recAutoBidState = state;
    review();
    QCOMPARE(f->sleepGuard->held, held);
    if (held) {
        QCOMPARE(f->sleepGuard->reasons,
            QStringList { QStringLiteral(
                "Tallyhawk: the automatic bid on item 7000001 (Lamp 1) is due within 30 minutes") });
    }
}

void TestSleepGuard::releasesOnceTheFiredBidsItemEndsAndWhenTheBidIsRemoved()
{
    armed(kFirst, kHalfHour);
    review();
    QVERIFY(f->sleepGuard->held);

    // The trigger fires at the bid's lead; the browser still places the bid until the end.
    f->clock->advanceSeconds(kHalfHour - 20);
    tickTrigger();
    QCOMPARE(f->records.at(f->model.findRow(kFirst) + 1).recAutoBidState, 1);
    review();
    QVERIFY(f->sleepGuard->held);
    f->clock->advanceSeconds(20);
    review();
    QVERIFY(!f->sleepGuard->held);

    WatchItemRecord &second = armed(kSecond, 600);
    review();
    QVERIFY(f->sleepGuard->held);
    second.recMaxAutoBid = Money {};
    review();
    QVERIFY(!f->sleepGuard->held);
}

void TestSleepGuard::wakingPastTheEndNamesTheMissedBidAndFiresNothing()
{
    armed(kFirst, kHalfHour);
    armed(kSecond, 4 * kHalfHour);
    review();
    QVERIFY(f->sleepGuard->held);
    f->tray->messages.clear();

    // The lid was closed for an hour. The review's timer may come before the wake-up.
    f->clock->advanceSeconds(2 * kHalfHour);
    review();
    f->sleepGuard->wakeUp();
    QCOMPARE(f->tray->messages,
        QStringList {
            QStringLiteral("Tallyhawk|The computer slept through the end of item 7000001 (Lamp 1): its "
                           "automatic bid was not placed.") });
    tickTrigger();
    QVERIFY(f->browser->sessions.isEmpty());
    QCOMPARE(f->records.at(f->model.findRow(kFirst) + 1).recAutoBidState, 0);
    // The other bid is half an hour away again.
    QVERIFY(!f->sleepGuard->held);

    f->sleepGuard->wakeUp();
    QCOMPARE(f->tray->messages.size(), 1);
}

void TestSleepGuard::wakingUpUpdatesUnlessAQuietWindowIsOn_data()
{
    QTest::addColumn<qint64>("bidDueIn");
    QTest::addColumn<qint64>("sleptFor");
    QTest::addColumn<bool>("updates");
    QTest::newRow("no bid near") << 4 * kHalfHour << kHalfHour << true;
    QTest::newRow("in a bid's quiet window") << qint64(60) << qint64(0) << false;
    QTest::newRow("the quiet window's bid ended in the sleep") << qint64(60) << kHalfHour << true;
}

void TestSleepGuard::wakingUpUpdatesUnlessAQuietWindowIsOn()
{
    QFETCH(qint64, bidDueIn);
    QFETCH(qint64, sleptFor);
    QFETCH(bool, updates);
    armed(kFirst, bidDueIn);
    tickTrigger();
    review();
    f->panels.remove(1);
    f->clock->advanceSeconds(sleptFor);
    f->sleepGuard->wakeUp();
    QCOMPARE(panel1().startsWith(QStringLiteral("Updating")), updates);
    // Nothing else would ever start the updates again once the bid's moment has passed.
    QCOMPARE(f->engine->updatesQuietedForBid(), !updates);
}

void TestSleepGuard::aMissingLockIsReportedOnce()
{
    f->sleepGuard->available = false;
    f->tray->messages.clear();
    armed(kFirst, kHalfHour);
    review();
    armed(kSecond, 600);
    review();
    QCOMPARE(f->tray->messages,
        QStringList {
            QStringLiteral("Tallyhawk|Tallyhawk cannot keep the computer awake for an automatic bid (no "
                           "system bus): keep it from sleeping until the bid is placed.") });
}

QTEST_GUILESS_MAIN(TestSleepGuard)
#include "TestSleepGuard.moc"
