#pragma once

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include "autobid/BidGroups.h"

namespace th {

class RegistryStore;
class WatchItems;

// The program's bid groups while it runs: the groups stored with the items' automatic bids,
// each group's "Win up to" limit, and what this run has learnt of each member (its bid
// fired, its result, its cancelling). Everything the user changes is stored at once, so a
// backup taken at any moment carries it.
class BidGroupBook final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BidGroupBook)

public:
    struct Context {
        RegistryStore &store;
        const WatchItems &items;
    };

    explicit BidGroupBook(Context context, QObject *parent = nullptr);

    // Reads the members and the limits afresh: every item in the list with an automatic bid
    // and a stored group. A member keeps what this run learnt of it; one cancelled this run
    // stays listed as cancelled until the list drops its item.
    void reload();

    const BidGroups &groups() const { return m_groups; }
    // Every group with a member or a stored limit, sorted for the user.
    QStringList groupNames() const;
    // The group of `item`'s automatic bid; "" for none.
    QString groupOf(const QString &item) const;

    // The user's changes. `group` "" takes the item out of any group. Each says whether the
    // store took it; `storeError()` then says why not. A limit the store did not take holds
    // for this run; a group the store did not take is not made.
    bool setGroup(const QString &item, const QString &group);
    bool setLimit(const QString &group, int wins);
    bool takeOut(const QString &item) { return setGroup(item, {}); }
    QString storeError() const;

    // What the run learns of a member.
    void setState(const QString &item, GroupMemberState state);
    // Follows the list's records: the members' ends and leads as the records have them now
    // (pages read since the last reload may have moved an end), and a reload when a record's
    // automatic bid came or went (the pages bring the stored bids into the records). Reads
    // the store only then, so it may run at every check.
    void followRecords();

Q_SIGNALS:
    // Members, states or limits changed: windows showing the groups read them again.
    void changed();

private:
    // Whether a bid on `item` fired for this end in an earlier run (the program was ended or
    // stopped before its result was known): it counts against its group until its page says
    // how it ended, so that a restart can never let the group win more than it may.
    bool firedEarlier(const QString &item, const QDateTime &end) const;

    Context m_ctx;
    BidGroups m_groups;
    // Members cancelled this run; their automatic bids, and so their stored groups, are gone.
    QHash<QString, GroupMember> m_cancelled;
    // Limits the user set that the store did not take: they hold until the program ends.
    QHash<QString, int> m_unstoredLimits;
    // The items whose records had an automatic bid at the last reload.
    QSet<QString> m_armedAtReload;
};

} // namespace th
