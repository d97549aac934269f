#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include "common/Money.h"

namespace th {

// Where a member of a bid group stands. Placed: its bid fired and its result is not known
// yet; won and lost are known results; cancelled members never fire.
enum class GroupMemberState { Armed, Placed, Won, Lost, Cancelled };

QString groupMemberStateText(GroupMemberState state);

// One item whose automatic bid belongs to a group.
struct GroupMember {
    QString item;
    QString group;
    QDateTime end;
    int leadSeconds = 0;
    GroupMemberState state = GroupMemberState::Armed;
    // The automatic bid's maximum, kept for the user once a cancelled member's bid is gone.
    Money maximum;

    // The instant its bid is due: its lead before its end.
    QDateTime moment() const { return end.addSecs(-leadSeconds); }
};

// What an armed member does at a check.
enum class GroupCall {
    Fire, // its moment has come and the group can take another win
    Wait, // its moment is still to come (the reason says what holds it back, if anything)
    Cancel, // it must never fire; the reason says why
};

struct GroupDecision {
    GroupCall call = GroupCall::Wait;
    QString reason; // for the bid log; empty when nothing needs saying
};

// How long after an end the site's page is expected to show its result: members that end
// closer together than this cannot count on the earlier one's result.
inline constexpr qint64 kGroupResultSeconds = 120;

// The bid groups of the watch list: each group's "Win up to" limit, its members and their
// results. A group never makes more wins than its limit: a member fires only while the
// group's wins plus its members whose result is still unknown stay below the limit.
class BidGroups final {
public:
    static constexpr int kDefaultLimit = 1;

    void setLimit(const QString &group, int wins);
    int limit(const QString &group) const;

    // Adds the member, or replaces the one of the same item.
    void setMember(const GroupMember &member);
    void removeMember(const QString &item);
    // The member's bid fired (Placed), its result became known (Won, Lost), or it was
    // cancelled. Unknown items are ignored.
    void setState(const QString &item, GroupMemberState state);

    const GroupMember *member(const QString &item) const;
    // The members of a group in the order of their ends.
    QList<GroupMember> members(const QString &group) const;
    QStringList groups() const;

    int wins(const QString &group) const;
    // Members whose bid fired and whose result is not known yet.
    int unknownResults(const QString &group) const;

    // The call for the member `item` at `now`. An item that is not an armed member is never
    // held back by a group: it gets Fire.
    GroupDecision call(const QString &item, const QDateTime &now) const;

    // The armed members to cancel because their group has reached its limit of wins.
    QStringList membersToCancel(const QString &group) const;
    // The reason given in the bid log for each member cancelled that way.
    QString limitReachedReason(const QString &group) const;

    // The other members of `candidate`'s group whose ends lie so close to it that one of
    // the two cannot know the other's result in time; empty when none would hold either back.
    QStringList closeEnds(const GroupMember &candidate) const;
    // The dialog's warning for those members, or "" when there are none.
    QString closeEndsWarning(const GroupMember &candidate) const;

private:
    QHash<QString, int> m_limits;
    QList<GroupMember> m_members;
};

} // namespace th
