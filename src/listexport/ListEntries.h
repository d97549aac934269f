#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include "common/Money.h"

namespace th {

class WatchItems;
class WatchListModel;

// One row of the watch list as the exports see it: the texts of its visible columns as the
// list shows them, the end as an instant, and the automatic bid.
struct ListEntry {
    QString item; // the item number, trimmed
    QString title;
    QString bids;
    QString price;
    QString reserve;
    QString timeLeft;
    QString sellerRating;
    QString buyItNow;
    QString quantity;
    // Local date-time; invalid while no page has told the end.
    QDateTime end;
    // The last page said the auction is over.
    bool ended = false;
    // The automatic bid: its maximum (zero for none), the units to bid for and the seconds
    // before the end at which it fires.
    Money maxAutoBid;
    qint32 maxQuantity = 0;
    qint32 maxTimeLeft = 0;

    bool hasAutoBid() const { return maxAutoBid > Money(); }
};

// The list's rows in list order, each with what its run-time record knows (found by item
// number, so a record that does not belong to the row is never used).
QList<ListEntry> listEntries(const WatchListModel &model, const WatchItems &records);

} // namespace th
