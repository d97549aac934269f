#include "listexport/ListEntries.h"

#include <QDate>

#include "common/Numeric.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListModel.h"

namespace th {

QList<ListEntry> listEntries(const WatchListModel &model, const WatchItems &records)
{
    QList<ListEntry> entries;
    entries.reserve(model.rowCount());
    for (int row = 0; row < model.rowCount(); ++row) {
        ListEntry entry;
        entry.item = model.rowText(row).trimmed();
        entry.title = model.subItem(row, WatchListModel::ItemName);
        entry.bids = model.subItem(row, WatchListModel::Bids);
        entry.price = model.subItem(row, WatchListModel::Price);
        entry.reserve = model.subItem(row, WatchListModel::Reserve);
        entry.timeLeft = model.subItem(row, WatchListModel::TimeRemaining);
        entry.sellerRating = model.subItem(row, WatchListModel::SellerRating);
        entry.buyItNow = model.subItem(row, WatchListModel::BuyItNow);
        entry.quantity = model.subItem(row, WatchListModel::Quantity);
        entry.ended = model.ended(row);
        if (const int index = records.find(numericValue(entry.item)); index > 0) {
            const WatchItemRecord &record = records.at(index);
            // A page read without an end leaves the zero date of 30 Dec 1899 in the record:
            // that is no end, and a spreadsheet or a calendar must not get it as one.
            if (record.recEndDate.isValid() && record.recEndDate.date() != QDate(1899, 12, 30))
                entry.end = record.recEndDate.dateTime();
            entry.maxAutoBid = record.recMaxAutoBid;
            entry.maxQuantity = record.recMaxQuantity;
            entry.maxTimeLeft = record.recMaxTimeLeft;
        }
        entries.append(entry);
    }
    return entries;
}

} // namespace th
