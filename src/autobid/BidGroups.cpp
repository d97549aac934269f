#include "autobid/BidGroups.h"

#include <algorithm>

namespace th {

namespace {

bool counts(GroupMemberState state)
{
    return state == GroupMemberState::Armed || state == GroupMemberState::Placed;
}

QString timeText(const QDateTime &instant)
{
    return instant.toLocalTime().toString(QStringLiteral("HH:mm:ss"));
}

} // namespace

QString groupMemberStateText(GroupMemberState state)
{
    switch (state) {
    case GroupMemberState::Armed:
        return QStringLiteral("armed");
    case GroupMemberState::Placed:
        return QStringLiteral("placed");
    case GroupMemberState::Won:
        return QStringLiteral("won");
    case GroupMemberState::Lost:
        return QStringLiteral("lost");
    case GroupMemberState::Cancelled:
        return QStringLiteral("cancelled");
    }
    return {};
}

void BidGroups::setLimit(const QString &group, int wins)
{
    // A limit below one would cancel every member at once: the dialog offers 1 and up.
    m_limits.insert(group, std::max(1, wins));
}

int BidGroups::limit(const QString &group) const
{
    return m_limits.value(group, kDefaultLimit);
}

void BidGroups::setMember(const GroupMember &member)
{
    removeMember(member.item);
    m_members.append(member);
}

void BidGroups::removeMember(const QString &item)
{
    m_members.removeIf([&](const GroupMember &m) { return m.item == item; });
}

void BidGroups::setState(const QString &item, GroupMemberState state)
{
    for (GroupMember &m : m_members) {
        if (m.item == item)
            m.state = state;
    }
}

const GroupMember *BidGroups::member(const QString &item) const
{
    const auto found = std::find_if(
        m_members.cbegin(), m_members.cend(), [&](const GroupMember &m) { return m.item == item; });
    return found == m_members.cend() ? nullptr : &*found;
}

QList<GroupMember> BidGroups::members(const QString &group) const
{
    QList<GroupMember> found;
    for (const GroupMember &m : m_members) {
        if (m.group == group)
            found.append(m);
    }
    std::stable_sort(
        found.begin(), found.end(), [](const GroupMember &a, const GroupMember &b) { return a.end < b.end; });
    return found;
}

QStringList BidGroups::groups() const
{
    QStringList names;
    for (const GroupMember &m : m_members) {
        if (!names.contains(m.group))
            names.append(m.group);
    }
    return names;
}

int BidGroups::wins(const QString &group) const
{
    return int(std::count_if(m_members.cbegin(), m_members.cend(),
        [&](const GroupMember &m) { return m.group == group && m.state == GroupMemberState::Won; }));
}

int BidGroups::unknownResults(const QString &group) const
{
    return int(std::count_if(m_members.cbegin(), m_members.cend(),
        [&](const GroupMember &m) { return m.group == group && m.state == GroupMemberState::Placed; }));
}

GroupDecision BidGroups::call(const QString &item, const QDateTime &now) const
{
    const GroupMember *self = member(item);
    if (!self || self->state != GroupMemberState::Armed)
        return { GroupCall::Fire, {} };
    const int n = limit(self->group);
    if (wins(self->group) >= n)
        return { GroupCall::Cancel, limitReachedReason(self->group) };
    const bool due = now >= self->moment();
    if (wins(self->group) + unknownResults(self->group) < n)
        return { due ? GroupCall::Fire : GroupCall::Wait, {} };
    QStringList pending;
    for (const GroupMember &m : members(self->group)) {
        if (m.state == GroupMemberState::Placed)
            pending.append(m.item);
    }
    const QString held
        = QStringLiteral("the result of %1 in group \"%2\" is not known yet, and the group wins up to %3")
              .arg(pending.join(QStringLiteral(", ")), self->group)
              .arg(n);
    if (due)
        return { GroupCall::Cancel, u"Cancelled at its moment: " + held + u'.' };
    return { GroupCall::Wait, u"Held back: " + held + u'.' };
}

QStringList BidGroups::membersToCancel(const QString &group) const
{
    QStringList items;
    if (wins(group) < limit(group))
        return items;
    for (const GroupMember &m : members(group)) {
        if (m.state == GroupMemberState::Armed)
            items.append(m.item);
    }
    return items;
}

QString BidGroups::limitReachedReason(const QString &group) const
{
    QStringList won;
    for (const GroupMember &m : members(group)) {
        if (m.state == GroupMemberState::Won)
            won.append(m.item);
    }
    return QStringLiteral("Cancelled: group \"%1\" wins up to %2, and %3 won.")
        .arg(group)
        .arg(limit(group))
        .arg(won.join(QStringLiteral(", ")));
}

QStringList BidGroups::closeEnds(const GroupMember &candidate) const
{
    // Any member whose end lies within the result's delay before the other's moment may be
    // held back by it; a run of such members larger than the limit holds at least one back.
    QStringList close;
    for (const GroupMember &m : members(candidate.group)) {
        if (m.item == candidate.item || !counts(m.state))
            continue;
        const GroupMember &first = m.end <= candidate.end ? m : candidate;
        const GroupMember &second = m.end <= candidate.end ? candidate : m;
        if (first.end.secsTo(second.moment()) < kGroupResultSeconds)
            close.append(m.item);
    }
    if (close.size() + 1 <= limit(candidate.group))
        close.clear();
    return close;
}

QString BidGroups::closeEndsWarning(const GroupMember &candidate) const
{
    const QStringList close = closeEnds(candidate);
    if (close.isEmpty())
        return {};
    QStringList ends;
    for (const QString &item : close)
        ends.append(QStringLiteral("%1 (ends %2)").arg(item, timeText(member(item)->end)));
    return QStringLiteral(
        "This item ends within %1 minutes of %2 in group \"%3\". A result may not be known before the next "
        "bid is due, and a member whose turn comes while another's result is unknown is held back and "
        "cancelled.")
        .arg(kGroupResultSeconds / 60)
        .arg(ends.join(QStringLiteral(", ")), candidate.group);
}

} // namespace th
