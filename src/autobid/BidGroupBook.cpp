#include "autobid/BidGroupBook.h"

#include <algorithm>

#include "autobid/BidGroupStore.h"
#include "common/Formats.h"
#include "common/ItemNumber.h"
#include "common/Money.h"
#include "store/RegistryFunctions.h"
#include "store/RegistryStore.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchStore.h"

namespace th {

BidGroupBook::BidGroupBook(Context context, QObject *parent)
    : QObject(parent)
    , m_ctx(context)
{
}

void BidGroupBook::reload()
{
    BidGroups fresh;
    const QHash<QString, int> limits = storedGroupLimits(m_ctx.store);
    for (auto it = limits.cbegin(); it != limits.cend(); ++it)
        fresh.setLimit(it.key(), it.value());
    for (auto it = m_unstoredLimits.cbegin(); it != m_unstoredLimits.cend(); ++it)
        fresh.setLimit(it.key(), it.value());
    QHash<QString, GroupMember> cancelled;
    m_armedAtReload.clear();
    for (int i = 1; i <= m_ctx.items.count(); ++i) {
        const WatchItemRecord &record = m_ctx.items.at(i);
        const QString item = itemNumberText(record.recItemNumber);
        if (record.recMaxAutoBid > Money {})
            m_armedAtReload.insert(item);
        const QString group = record.recMaxAutoBid > Money {} ? storedBidGroup(m_ctx.store, item) : QString();
        if (group.isEmpty()) {
            // A member cancelled this run has lost its automatic bid and its stored group.
            if (const auto gone = m_cancelled.constFind(item); gone != m_cancelled.cend()) {
                cancelled.insert(item, *gone);
                fresh.setMember(*gone);
            }
            continue;
        }
        GroupMember member { item, group, record.recEndDate.dateTime(), record.recMaxTimeLeft };
        member.maximum = record.recMaxAutoBid;
        // A cancelled member armed again starts afresh.
        const GroupMember *known = m_groups.member(item);
        if (known && known->group == group && known->state != GroupMemberState::Cancelled)
            member.state = known->state;
        else if (record.recAutoBidState != 0 || firedEarlier(item, member.end))
            member.state = GroupMemberState::Placed;
        fresh.setMember(member);
    }
    m_groups = std::move(fresh);
    m_cancelled = std::move(cancelled);
    Q_EMIT changed();
}

bool BidGroupBook::firedEarlier(const QString &item, const QDateTime &end) const
{
    // The longest lead is three minutes, and a moment that went by unseen fires late but
    // before the end: a firing time further back belongs to no bid on this end.
    constexpr qint64 kFiredWithinSeconds = 15 * 60;
    const QDateTime fired = parseDateTimeText(GetRegString(m_ctx.store, RegRoot::CurrentUser,
        itemKeyPath(item), QString::fromUtf16(ItemValue::AutoBidAt), QString()));
    return fired.isValid() && end.isValid() && fired <= end && fired.secsTo(end) <= kFiredWithinSeconds;
}

QStringList BidGroupBook::groupNames() const
{
    QStringList names = m_groups.groups();
    for (const QString &name : storedGroupLimits(m_ctx.store).keys()) {
        if (!names.contains(name))
            names.append(name);
    }
    std::sort(names.begin(), names.end(),
        [](const QString &a, const QString &b) { return a.localeAwareCompare(b) < 0; });
    return names;
}

QString BidGroupBook::groupOf(const QString &item) const
{
    const GroupMember *member = m_groups.member(item.trimmed());
    return member ? member->group : QString();
}

bool BidGroupBook::setGroup(const QString &item, const QString &group)
{
    const quint64 failedBefore = m_ctx.store.failedWriteCount();
    storeBidGroup(m_ctx.store, item.trimmed(), group);
    reload();
    return m_ctx.store.failedWriteCount() == failedBefore;
}

bool BidGroupBook::setLimit(const QString &group, int wins)
{
    const quint64 failedBefore = m_ctx.store.failedWriteCount();
    storeGroupLimit(m_ctx.store, group, wins);
    const bool stored = m_ctx.store.failedWriteCount() == failedBefore;
    if (stored)
        m_unstoredLimits.remove(group);
    else
        m_unstoredLimits.insert(group, wins);
    m_groups.setLimit(group, wins);
    Q_EMIT changed();
    return stored;
}

QString BidGroupBook::storeError() const
{
    return m_ctx.store.lastWriteError();
}

void BidGroupBook::setState(const QString &item, GroupMemberState state)
{
    const GroupMember *member = m_groups.member(item);
    if (!member)
        return;
    if (state == GroupMemberState::Cancelled) {
        GroupMember gone = *member;
        gone.state = state;
        m_cancelled.insert(item, gone);
    }
    m_groups.setState(item, state);
    Q_EMIT changed();
}

void BidGroupBook::followRecords()
{
    bool moved = false;
    for (int i = 1; i <= m_ctx.items.count(); ++i) {
        const WatchItemRecord &record = m_ctx.items.at(i);
        const QString item = itemNumberText(record.recItemNumber);
        if ((record.recMaxAutoBid > Money {}) != m_armedAtReload.contains(item)) {
            reload();
            return;
        }
        const GroupMember *member = m_groups.member(item);
        if (!member || member->state == GroupMemberState::Cancelled || !record.recEndDate.isValid())
            continue;
        const QDateTime end = record.recEndDate.dateTime();
        if (member->end == end && member->leadSeconds == record.recMaxTimeLeft)
            continue;
        GroupMember now = *member;
        now.end = end;
        now.leadSeconds = record.recMaxTimeLeft;
        m_groups.setMember(now);
        moved = true;
    }
    if (moved)
        Q_EMIT changed();
}

} // namespace th
