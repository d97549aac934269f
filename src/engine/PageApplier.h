#pragma once

#include <QDateTime>
#include <QObject>

#include "common/Result.h"
#include "engine/ItemPageData.h"

namespace th {

class ClockSync;
class IClock;
class RegistryStore;
class WatchItems;
class WatchListModel;
struct AppSettings;
struct StoredItem;

// The step that applies one fetched item page: the row's columns, the local end date-time,
// the row icon, the new-bid test, the run-time record, the win and the stored auto-bid
// values. The row is found by its item number when the step runs, and again after anything
// that may have let other work run, so a sorted or changed list never gets one item's page on
// another item's row.
class PageApplier final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PageApplier)

public:
    // How the page was fetched; the single-item update shows the end date in another format
    // and refreshes an existing record only in part.
    enum class Variant { Pass, Single, Sequential };
    enum class Outcome {
        Applied,
        RowGone, // the item is not (or no longer) in the list
    };

    struct Context {
        WatchListModel &model;
        WatchItems &records;
        RegistryStore &store;
        AppSettings &settings;
        ClockSync &clockSync;
        IClock &clock;
    };

    explicit PageApplier(Context context, QObject *parent = nullptr);

    // Applies `page` to the row of `item`. An end date that cannot be read is an error (and a
    // line in the log naming the item); the row keeps what was written before it.
    Result<Outcome> apply(const ItemPageData &page, const QString &item, Variant variant);

    // Marks a row as being fetched: the tag keeps the bid count from before the update (the
    // new-bid test reads it; "-1" when there was none) and the price shows `priceText`.
    void markRowUpdating(int row, const QString &priceText);

Q_SIGNALS:
    // Row `row` (0-based) has received a new bid while its item has time enough left for the
    // news to matter. The page is applied on at once: the handler must not wait for the user.
    void newBidAnnounced(int row);
    // The page of `item` says there is no such item on the auction site.
    void itemNotFound(const QString &item);

private:
    void writeColumns(int row, const ItemPageData &page);
    int iconFor(int row, const StoredItem &stored) const;
    // True when the new-bid test announced something.
    bool announceNewBid(int row, const ItemPageData &page, qint64 now, qint64 end);
    void writeRecord(int recordIndex, int row, const ItemPageData &page, const QDateTime &end,
        const StoredItem &stored, qint64 now);
    void detectWin(int recordIndex, int row, const ItemPageData &page, qint64 secondsLeft);

    Context m_ctx;
};

} // namespace th
