#pragma once

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include "autobid/BidRecord.h"

namespace th {

class AutoBidTrigger;
class BidGroupBook;
class BidRunner;
class IClock;
class RegistryStore;
class UpdateEngine;
class WatchItems;
class WatchListModel;
struct GroupMember;

// Learns each group member's result once its item has ended, and cancels the members a group
// no longer needs. The result is read from the item's page: a single-item update shortly
// after the end, repeated until the page shows the item ended; won is what the page's win
// check stored. A bid that never reached the site is lost at once; an answer the program did
// not recognise is no win and waits for the page like any other.
//
// The single-item update holds the program until its page arrives, so it is never started
// beside an all-items pass, a running bid, or within its own deadline of an armed bid's moment.
class BidGroupResults final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BidGroupResults)

public:
    // The first look at an ended member's page, and the wait before each further look.
    static constexpr int kFirstLookSeconds = 5;
    static constexpr int kLookAgainSeconds = 15;

    struct Context {
        BidGroupBook &book;
        AutoBidTrigger &trigger;
        BidRunner &runner;
        UpdateEngine &engine;
        const WatchItems &items;
        WatchListModel &model;
        const RegistryStore &store;
        IClock &clock;
    };

    explicit BidGroupResults(Context context, QObject *parent = nullptr);

    // Every second: the ended members still without a result get their page read, one a check.
    void check();
    // A page of `item` was applied by a single-item update: an ended member's result is read.
    void itemUpdated(const QString &item);
    // A bid ended: an automatic bid that never reached the site makes its member lost.
    void bidEnded(const BidRecord &record);

Q_SIGNALS:
    // Said to the user once per group: it has its wins and its other members were cancelled.
    void userNotice(const QString &text);

private:
    void settle(const GroupMember &member, bool won);
    void cancelTheRest(const QString &group);
    // Whether a single-item update may hold the program now.
    bool mayFetch(const QDateTime &now) const;

    Context m_ctx;
    QTimer m_timer;
    // When each ended member's page is read next.
    QHash<QString, QDateTime> m_nextLook;
    // Groups whose user was told that they have their wins.
    QSet<QString> m_toldGroups;
};

} // namespace th
