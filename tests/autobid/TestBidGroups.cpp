// A group of members ending one after another over a standing clock: whatever the order of
// wins and losses, the group never fires a bid that could make more wins than its limit.

#include <QTemporaryDir>
#include <QTest>

#include "FakeClock.h"
#include "TestSupport.h"
#include "autobid/BidGroupBook.h"
#include "autobid/BidGroupStore.h"
#include "autobid/BidGroups.h"
#include "autobid/BidSettings.h"
#include "common/Formats.h"
#include "store/RegistryFunctions.h"
#include "store/RegistryStore.h"
#include "store/StoreLayout.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchStore.h"

using namespace th;
using namespace th::test;

namespace {

const QString kGroup = QStringLiteral("Lens 50mm");
constexpr int kLead = 10;
// The site's page shows a result this long after the end.
constexpr int kResultDelay = 30;

QString itemOf(int i)
{
    return QStringLiteral("70000%1").arg(i + 1);
}

} // namespace

class TestBidGroups final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void groupNeverWinsMoreThanItsLimit_data();
    void groupNeverWinsMoreThanItsLimit();
    void closeEndsAreWarned_data();
    void closeEndsAreWarned();
    void storedLimitsReadSafely_data();
    void storedLimitsReadSafely();
    void bookKeepsWhatTheRunLearnt();
};

void TestBidGroups::groupNeverWinsMoreThanItsLimit_data()
{
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("spacing"); // seconds between the members' ends
    QTest::addColumn<QString>("results"); // per member that fires: W won, L lost
    QTest::addColumn<QString>("fired");
    QTest::addColumn<QString>("cancelled");
    QTest::addColumn<QString>("cancelReason"); // a word every cancelled member's reason holds

    QTest::newRow("win up to 1, the second wins") << 1 << 60 << "LWWWW"
                                                  << "12"
                                                  << "345"
                                                  << "won";
    QTest::newRow("win up to 2 stops after two wins") << 2 << 60 << "WLWWW"
                                                      << "123"
                                                      << "45"
                                                      << "won";
    QTest::newRow("losses let the next fire") << 1 << 60 << "LLLLW"
                                              << "12345"
                                              << ""
                                              << "";
    // Each loss is known just in time for the member after next.
    QTest::newRow("20 s apart: every other is held back") << 1 << 20 << "LLLLL"
                                                          << "135"
                                                          << "24"
                                                          << "not known";
}

void TestBidGroups::groupNeverWinsMoreThanItsLimit()
{
    QFETCH(int, limit);
    QFETCH(int, spacing);
    QFETCH(QString, results);
    QFETCH(QString, fired);
    QFETCH(QString, cancelled);
    QFETCH(QString, cancelReason);

    FakeClock clock;
    const QDateTime firstEnd = clock.now().addSecs(120);
    BidGroups groups;
    groups.setLimit(kGroup, limit);
    for (int i = 0; i < 5; ++i)
        groups.setMember({ itemOf(i), kGroup, firstEnd.addSecs(qint64(i) * spacing), kLead });

    QString firedSeen;
    QString cancelledSeen;
    int resultsTold = 0;
    const auto cancel = [&](const QString &item, const QString &reason) {
        QVERIFY2(reason.contains(cancelReason), qPrintable(reason));
        groups.setState(item, GroupMemberState::Cancelled);
        cancelledSeen += item.back();
    };
    for (int tick = 0; tick < 600; ++tick, clock.advanceSeconds(1)) {
        for (int i = 0; i < 5; ++i) {
            const GroupMember member = *groups.member(itemOf(i));
            if (member.state == GroupMemberState::Placed && clock.now() >= member.end.addSecs(kResultDelay)) {
                const bool won = results.at(resultsTold++) == u'W';
                groups.setState(member.item, won ? GroupMemberState::Won : GroupMemberState::Lost);
                for (const QString &item : groups.membersToCancel(kGroup))
                    cancel(item, groups.limitReachedReason(kGroup));
            }
            if (member.state != GroupMemberState::Armed)
                continue;
            const GroupDecision decision = groups.call(member.item, clock.now());
            if (decision.call == GroupCall::Fire) {
                groups.setState(member.item, GroupMemberState::Placed);
                firedSeen += member.item.back();
            } else if (decision.call == GroupCall::Cancel) {
                cancel(member.item, decision.reason);
            }
        }
    }
    QCOMPARE(firedSeen, fired);
    QCOMPARE(cancelledSeen, cancelled);
    QCOMPARE(groups.wins(kGroup), int(results.left(fired.size()).count(u'W')));
    QVERIFY(groups.wins(kGroup) <= limit);
}

void TestBidGroups::closeEndsAreWarned_data()
{
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<bool>("warned");

    QTest::newRow("20 s apart") << 1 << 20 << true;
    QTest::newRow("a minute apart") << 1 << 60 << true;
    QTest::newRow("five minutes apart") << 1 << 300 << false;
    QTest::newRow("20 s apart, room for both") << 2 << 20 << false;
}

void TestBidGroups::closeEndsAreWarned()
{
    QFETCH(int, limit);
    QFETCH(int, spacing);
    QFETCH(bool, warned);

    const QDateTime end = FakeClock().now().addSecs(600);
    BidGroups groups;
    groups.setLimit(kGroup, limit);
    groups.setMember({ itemOf(0), kGroup, end, kLead });
    groups.setMember({ itemOf(8), QStringLiteral("Other"), end.addSecs(spacing / 2), kLead });
    // Set before or after the member already there, the pair is told the same.
    for (const int sign : { 1, -1 }) {
        const GroupMember candidate { itemOf(1), kGroup, end.addSecs(sign * spacing), kLead };
        QCOMPARE(groups.closeEnds(candidate), warned ? QStringList { itemOf(0) } : QStringList {});
        QCOMPARE(groups.closeEndsWarning(candidate).contains(itemOf(0)), warned);
    }
}

void TestBidGroups::storedLimitsReadSafely_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("limit");

    QTest::newRow("a number") << "3" << 3;
    QTest::newRow("blanks around") << " 2 " << 2;
    QTest::newRow("zero") << "0" << 1;
    QTest::newRow("negative") << "-2" << 1;
    QTest::newRow("not a number") << "two" << 1;
}

// What the store holds, and what it no longer holds once the automatic bid is removed.
void TestBidGroups::storedLimitsReadSafely()
{
    QFETCH(QString, stored);
    QFETCH(int, limit);

    QTemporaryDir dir;
    const std::unique_ptr<RegistryStore> store = openTestStore(dir.filePath("store"));
    QVERIFY(store);
    SaveRegString(*store, RegRoot::CurrentUser, QString::fromUtf16(kBidGroupsKey), kGroup, stored);
    QCOMPARE(storedGroupLimits(*store).value(kGroup), limit);

    storeBidGroup(*store, itemOf(0), kGroup);
    QCOMPARE(storedBidGroup(*store, itemOf(0)), kGroup);
    deleteAutoBid(*store, itemOf(0), nullptr, true);
    QCOMPARE(storedBidGroup(*store, itemOf(0)), QString());
}

// The book is read again after every load of the list: what the run learnt of a member must
// survive that, and a member cancelled this run (its automatic bid gone) stays listed.
void TestBidGroups::bookKeepsWhatTheRunLearnt()
{
    QTemporaryDir dir;
    const std::unique_ptr<RegistryStore> store = openTestStore(dir.filePath("store"));
    QVERIFY(store);
    WatchItems items;
    for (int i = 0; i < 3; ++i) {
        WatchItemRecord record;
        record.recItemNumber = itemOf(i).toDouble();
        record.recMaxAutoBid = Money::fromDouble(50);
        record.recEndDate = QDateTime::currentDateTime().addSecs(600 + 60 * i);
        items.append(record);
    }
    BidGroupBook book({ *store, items });
    book.setGroup(itemOf(0), kGroup);
    book.setGroup(itemOf(1), kGroup);
    book.setLimit(kGroup, 2);
    QCOMPARE(storedBidGroup(*store, itemOf(1)), kGroup);
    QCOMPARE(book.groups().members(kGroup).size(), 2);

    book.setState(itemOf(0), GroupMemberState::Won);
    book.setState(itemOf(1), GroupMemberState::Cancelled);
    deleteAutoBid(*store, itemOf(1), &items.at(2), false);
    book.reload();
    QCOMPARE(book.groups().member(itemOf(0))->state, GroupMemberState::Won);
    QCOMPARE(book.groups().member(itemOf(1))->state, GroupMemberState::Cancelled);
    QCOMPARE(book.groups().limit(kGroup), 2);

    // Armed again in a group: a member like any other.
    items.at(2).recMaxAutoBid = Money::fromDouble(50);
    book.setGroup(itemOf(1), kGroup);
    QCOMPARE(book.groups().member(itemOf(1))->state, GroupMemberState::Armed);
    book.takeOut(itemOf(0));
    QCOMPARE(book.groupOf(itemOf(0)), QString());
    QCOMPARE(book.groupNames(), QStringList { kGroup });

    // A restart after a bid fired for this end: it counts against the group until its page
    // is read. A firing time from long before belongs to no bid on this end.
    const auto firedAt = [&](int i, qint64 beforeEnd) {
        SaveRegString(*store, RegRoot::CurrentUser, itemKeyPath(itemOf(i)),
            QString::fromUtf16(ItemValue::AutoBidAt),
            dateTimeText(items.at(i + 1).recEndDate.addSecs(-beforeEnd)).trimmed());
    };
    storeBidGroup(*store, itemOf(2), kGroup);
    firedAt(1, 10);
    firedAt(2, 86400);
    BidGroupBook restarted({ *store, items });
    restarted.reload();
    QCOMPARE(restarted.groups().member(itemOf(1))->state, GroupMemberState::Placed);
    QCOMPARE(restarted.groups().member(itemOf(2))->state, GroupMemberState::Armed);
}

QTEST_GUILESS_MAIN(TestBidGroups)
#include "TestBidGroups.moc"
