#include "autobid/BidGroupResults.h"

#include "autobid/AutoBidLog.h"
#include "autobid/AutoBidTrigger.h"
#include "autobid/BidGroupBook.h"
#include "autobid/BidRunner.h"
#include "engine/UpdateEngine.h"
#include "platform/IClock.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListModel.h"
#include "watchlist/WatchStore.h"

namespace th {

namespace {

constexpr int kCheckMsecs = 1000;
// Kept clear of an armed bid's moment on top of the single-item update's own deadline.
constexpr qint64 kMomentMarginMsecs = 2000;

bool awaitsResult(const GroupMember &member)
{
    return member.state == GroupMemberState::Armed || member.state == GroupMemberState::Placed;
}

} // namespace

BidGroupResults::BidGroupResults(Context context, QObject *parent)
    : QObject(parent)
    , m_ctx(context)
{
    m_timer.setInterval(kCheckMsecs);
    connect(&m_timer, &QTimer::timeout, this, &BidGroupResults::check);
    m_timer.start();
}

void BidGroupResults::check()
{
    const QDateTime now = m_ctx.clock.now();
    const BidGroups &groups = m_ctx.book.groups();
    for (const QString &group : groups.groups()) {
        for (const GroupMember &member : groups.members(group)) {
            if (!awaitsResult(member) || !member.end.isValid() || now < member.end.addSecs(kFirstLookSeconds))
                continue;
            const QDateTime next = m_nextLook.value(member.item);
            const int row = m_ctx.model.findRow(member.item);
            if (row < 0 || (next.isValid() && now < next) || !mayFetch(now))
                continue;
            m_nextLook.insert(member.item, now.addSecs(kLookAgainSeconds));
            qCInfo(lcAutoBid, "reading the result of item %s in group \"%s\"", qPrintable(member.item),
                qPrintable(group));
            // Its page applied, itemUpdated() reads the result; the book may have changed then.
            m_ctx.engine.updateOneBids(row);
            return;
        }
    }
}

void BidGroupResults::itemUpdated(const QString &item)
{
    const GroupMember *member = m_ctx.book.groups().member(item.trimmed());
    if (!member || !awaitsResult(*member) || m_ctx.clock.now() < member->end)
        return;
    // The page just applied decided whether the row reads as ended.
    if (!m_ctx.model.ended(m_ctx.model.findRow(member->item)))
        return;
    const bool won = storedAsWon(m_ctx.store, member->item);
    settle(GroupMember(*member), won);
}

void BidGroupResults::bidEnded(const BidRecord &record)
{
    if (record.kind != BidKind::Automatic || !record.outcome)
        return;
    const GroupMember *member = m_ctx.book.groups().member(record.item);
    if (!member || member->state != GroupMemberState::Placed)
        return;
    // The bid is placed by the sign-in that follows the bid form: without it, or with the
    // site's refusal, the bid never stood on the item. Anything else waits for the page.
    const bool refused
        = *record.outcome == BidOutcome::Refused || *record.outcome == BidOutcome::SignInRefused;
    if (refused || !record.signInAt.isValid())
        settle(GroupMember(*member), false);
}

void BidGroupResults::settle(const GroupMember &member, bool won)
{
    m_nextLook.remove(member.item);
    qCInfo(lcAutoBid, "item %s in group \"%s\": %s", qPrintable(member.item), qPrintable(member.group),
        won ? "won" : "lost");
    m_ctx.book.setState(member.item, won ? GroupMemberState::Won : GroupMemberState::Lost);
    if (won)
        cancelTheRest(member.group);
}

void BidGroupResults::cancelTheRest(const QString &group)
{
    const QDateTime now = m_ctx.clock.now();
    const BidGroups &groups = m_ctx.book.groups();
    const QString reason = groups.limitReachedReason(group);
    QStringList cancelled;
    for (const QString &item : groups.membersToCancel(group)) {
        const GroupMember *member = groups.member(item);
        // An ended member never fired: its own page tells its result.
        if (!member || (member->end.isValid() && member->end <= now))
            continue;
        m_ctx.trigger.cancelGroupMember(item, reason, /*tellUser=*/false);
        cancelled.append(item);
    }
    if (cancelled.isEmpty() || m_toldGroups.contains(group))
        return;
    m_toldGroups.insert(group);
    QStringList won;
    for (const GroupMember &member : groups.members(group)) {
        if (member.state == GroupMemberState::Won)
            won.append(member.item);
    }
    Q_EMIT userNotice(QStringLiteral("Bid group \"%1\" has won %2 (up to %3): the automatic bids on %4 were "
                                     "cancelled.")
                          .arg(group, won.join(QStringLiteral(", ")))
                          .arg(groups.limit(group))
                          .arg(cancelled.join(QStringLiteral(", "))));
}

bool BidGroupResults::mayFetch(const QDateTime &now) const
{
    const UpdateEngine &engine = m_ctx.engine;
    if (engine.passRunning() || engine.sequentialPassRunning() || engine.singleUpdateBusy()
        || m_ctx.runner.runningCount() > 0)
        return false;
    const qint64 at = now.toMSecsSinceEpoch();
    const qint64 clear = qint64(engine.singleFetchDeadline()) + kMomentMarginMsecs;
    for (int i = 1; i <= m_ctx.items.count(); ++i) {
        const WatchItemRecord &record = m_ctx.items.at(i);
        if (record.recMaxAutoBid <= Money {} || record.recAutoBidState != 0 || !record.recEndDate.isValid())
            continue;
        const qint64 moment = record.recEndDate.instant() - qint64(record.recMaxTimeLeft) * 1000;
        if (moment >= at && moment - at < clear)
            return false;
    }
    return true;
}

} // namespace th
