#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include "autobid/AuctionEndNotice.h"
#include "autobid/BidRecord.h"

namespace th {

class AutoBidTrigger;
class BidLogModel;
class BidRunner;
class frmWatch;
class IClock;
class IBidRecordStore;
class RegistryStore;
class UpdateEngine;
class UserNotifier;
class WatchItems;
class WatchListModel;

// Tells every bid's outcome where a bidder looks: the status bar, the row's tip, the log
// window and the program's log, and for every automatic bid a message beside the tray icon
// (the status bar without a tray), placed or not. Once an item with an automatic bid has
// ended, its result follows the same way: won, or lost to a higher bid at the final price.
class BidReports final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BidReports)

public:
    struct Context {
        BidRunner &runner;
        AutoBidTrigger &trigger;
        IBidRecordStore &records;
        BidLogModel &log;
        frmWatch &window;
        UserNotifier &notifier;
        UpdateEngine &engine;
        WatchItems &items;
        WatchListModel &model; // whether a row's last page was read after its end
        RegistryStore &store;
        IClock &clock;
    };

    explicit BidReports(Context context, QObject *parent = nullptr);

    // The last bid's outcome on `item` as the user reads it; empty when it has none.
    QString lastOutcome(const QString &item) const { return m_lastOutcome.value(item.trimmed()); }
    // The ended items with an automatic bid whose result is known now are told, once each.
    void tellAuctionEnds();

private:
    void onBidEnded(const BidRecord &record);
    // A group member held back or cancelled.
    void onGroupMemberNoted(const BidRecord &record, bool tellUser);

    Context m_ctx;
    QHash<QString, QString> m_lastOutcome;
    // Why this run's automatic bid on an item did not reach the site; placed and outbid bids
    // have no entry.
    QHash<QString, QString> m_notPlaced;
    // Items that ended before this run began were told in the run that saw them end.
    qint64 m_runStart = 0; // milliseconds since the epoch
    AuctionEndNotice m_ends;
};

} // namespace th
