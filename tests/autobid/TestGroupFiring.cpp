// Bid groups while the program runs: which members fire, which are held back and cancelled,
// and what a cancelled member leaves armed. The trigger, the bids and the results are the
// program's own logic on fakes; a page read after an item's end is played by hand.

#include <QTest>

#include "BidLogicFixture.h"
#include "autobid/BidGroupStore.h"
#include "store/RegistryFunctions.h"
#include "watchlist/WatchStore.h"

using namespace th;
using namespace th::test;

namespace {
const QStringList kItems { QStringLiteral("7100001"), QStringLiteral("7100002"), QStringLiteral("7100003"),
    QStringLiteral("7100004"), QStringLiteral("7100005") };
const QString kGroup = QStringLiteral("lens");
constexpr int kLead = 5;
constexpr qint64 kFirstEnd = 150; // seconds from the start, before any quiet window

QChar stateLetter(GroupMemberState state)
{
    return groupMemberStateText(state).at(0).toUpper();
}
} // namespace

class TestGroupFiring final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void membersFireOnlyWhileTheGroupCanWin_data();
    void membersFireOnlyWhileTheGroupCanWin();
    void cancelledMemberIsNoLongerArmed();

private:
    // The first `count` items in group "lens" winning up to `limit`, ending `spacing` apart.
    void armGroup(int count, qint64 spacing, int limit);
    // Runs the clock second by second past the last end; an ended member's page shows its
    // result (W won, anything else lost) `pageDelay` seconds after its end.
    void runTheEvening(const QString &results, qint64 pageDelay);
    void tick() { f->trigger->tmrChkAutoBid_Timer(); }
    QString states(int count) const;
    int notes(BidOutcome outcome) const;

    std::unique_ptr<BidLogicFixture> f;
    QDateTime m_lastEnd;
};

void TestGroupFiring::init()
{
    f = std::make_unique<BidLogicFixture>();
    QVERIFY(f->setUp(kItems));
}

void TestGroupFiring::cleanup()
{
    f.reset();
}

void TestGroupFiring::armGroup(int count, qint64 spacing, int limit)
{
    for (int k = 0; k < count; ++k) {
        m_lastEnd = f->armRecord(kItems[k], kFirstEnd + k * spacing, QStringLiteral("50"), kLead)
                        .recEndDate.dateTime();
        storeBidGroup(*f->store, kItems[k], kGroup);
    }
    storeGroupLimit(*f->store, kGroup, limit);
    f->groups->reload();
}

void TestGroupFiring::runTheEvening(const QString &results, qint64 pageDelay)
{
    const QDateTime stop = m_lastEnd.addSecs(pageDelay + 5);
    while (f->clock->now() < stop) {
        tick();
        for (int k = 0; k < results.size(); ++k) {
            const GroupMember *member = f->groups->groups().member(kItems[k]);
            if (!member || member->end.secsTo(f->clock->now()) != pageDelay)
                continue;
            if (results[k] == u'W')
                SaveRegString(*f->store, RegRoot::CurrentUser, itemKeyPath(kItems[k]),
                    QString::fromUtf16(ItemValue::WonItem), QStringLiteral("True"));
            f->model.setEnded(f->model.findRow(kItems[k]), true);
            f->groupResults->itemUpdated(kItems[k]);
        }
        f->clock->advanceSeconds(1);
    }
}

QString TestGroupFiring::states(int count) const
{
    QString letters;
    for (int k = 0; k < count; ++k)
        letters += stateLetter(f->groups->groups().member(kItems[k])->state);
    return letters;
}

int TestGroupFiring::notes(BidOutcome outcome) const
{
    return int(std::count_if(f->groupNotes.cbegin(), f->groupNotes.cend(),
        [outcome](const BidRecord &record) { return record.outcome == outcome; }));
}

void TestGroupFiring::membersFireOnlyWhileTheGroupCanWin_data()
{
    QTest::addColumn<qint64>("spacing");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("results"); // what each member's page shows once it has ended
    QTest::addColumn<qint64>("pageDelay");
    QTest::addColumn<QString>("states"); // Won, Lost, Cancelled at the end of the evening
    QTest::addColumn<int>("fired");
    QTest::addColumn<QString>("reason"); // in every cancelled member's log line
    QTest::addColumn<int>("told"); // messages beside the tray icon
    QTest::newRow("up to 1, the second wins")
        << qint64(60) << 1 << "LWWWW" << qint64(5) << "LWCCC" << 2 << "wins up to 1, and 7100002 won" << 1;
    QTest::newRow("up to 2 stops after two wins") << qint64(60) << 2 << "WLWWW" << qint64(5) << "WLWCC" << 3
                                                  << "wins up to 2, and 7100001, 7100003 won" << 1;
    QTest::newRow("20 s apart, the first's result comes late")
        << qint64(20) << 1 << "LW" << qint64(30) << "LC" << 1 << "Cancelled at its moment" << 1;
    QTest::newRow("a lost member lets the next fire")
        << qint64(60) << 1 << "LLW" << qint64(5) << "LLW" << 3 << "" << 0;
}

void TestGroupFiring::membersFireOnlyWhileTheGroupCanWin()
{
    QFETCH(qint64, spacing);
    QFETCH(int, limit);
    QFETCH(QString, results);
    QFETCH(qint64, pageDelay);
    QFETCH(QString, states);
    QFETCH(int, fired);
    QFETCH(QString, reason);
    QFETCH(int, told);
    armGroup(int(results.size()), spacing, limit);
    runTheEvening(results, pageDelay);
    QCOMPARE(this->states(int(results.size())), states);
    QCOMPARE(f->browser->sessions.size(), fired);
    QCOMPARE(notes(BidOutcome::Cancelled), int(states.count(u'C')));
    for (const BidRecord &note : std::as_const(f->groupNotes)) {
        if (note.outcome == BidOutcome::Cancelled)
            QVERIFY2(note.message.contains(reason) && note.group == kGroup, qPrintable(note.message));
    }
    QCOMPARE(f->tray->messages.size(), told);
    // A member held back is named once, however many checks it waits through.
    QStringList heldBack;
    for (const BidRecord &note : std::as_const(f->groupNotes)) {
        if (note.outcome == BidOutcome::HeldBack)
            heldBack.append(note.item);
    }
    QCOMPARE(heldBack.removeDuplicates(), 0);
    // Every cancelled member lost its automatic bid, as "Remove Auto-Bid" would take it.
    for (int k = 0; k < states.size(); ++k) {
        const bool cancelled = states[k] == u'C';
        QCOMPARE(storedBidGroup(*f->store, kItems[k]).isEmpty(), cancelled);
        QCOMPARE(f->records.at(f->model.findRow(kItems[k]) + 1).recMaxAutoBid == Money {}, cancelled);
    }
}

void TestGroupFiring::cancelledMemberIsNoLongerArmed()
{
    armGroup(2, 60, 1);
    f->clock->advanceSeconds(kFirstEnd - kLead);
    tick();
    QCOMPARE(f->browser->sessions.size(), 1);
    f->clock->advanceSeconds(kLead + 5);
    tick();
    f->guard->review();
    // The second member's quiet window and the sleep lock are on for its bid still to come.
    QCOMPARE(f->autoBidStatus, QStringLiteral("Auto-Bid (1)"));
    QVERIFY(!f->engine->tmrCheckBids.isActive());
    QVERIFY(f->sleepGuard->held);
    SaveRegString(*f->store, RegRoot::CurrentUser, itemKeyPath(kItems[0]),
        QString::fromUtf16(ItemValue::WonItem), QStringLiteral("True"));
    f->model.setEnded(f->model.findRow(kItems[0]), true);
    f->groupResults->itemUpdated(kItems[0]);
    tick();
    f->guard->review();
    QCOMPARE(f->autoBidStatus, QStringLiteral("No Auto-Bid"));
    QVERIFY(f->engine->tmrCheckBids.isActive());
    QVERIFY(f->alerts->tmrChkItemAlert.isActive());
    QVERIFY(!f->sleepGuard->held);
    f->clock->advanceSeconds(60);
    tick();
    QCOMPARE(f->browser->sessions.size(), 1);
}

QTEST_MAIN(TestGroupFiring)
#include "TestGroupFiring.moc"
