#pragma once

#include <algorithm>

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

#include "common/Money.h"

namespace th {

// An item's end as the user sees it (local date-time) and as the instant it stands for
// (milliseconds since 1970-01-01 00:00 UTC), converted once when the end is set. The checks
// that look at every record every few seconds compare instants: converting each record's
// local time again at every tick would make a long list cost the idle program more than all
// its other work together. Read as a date-time wherever one is wanted.
class ItemEnd final {
public:
    ItemEnd() = default;
    ItemEnd &operator=(const QDateTime &local)
    {
        m_local = local;
        m_instant = local.isValid() ? local.toMSecsSinceEpoch() : 0;
        return *this;
    }
    operator const QDateTime &() const { return m_local; }
    const QDateTime &dateTime() const { return m_local; }
    bool isValid() const { return m_local.isValid(); }
    QDate date() const { return m_local.date(); }
    QDateTime addSecs(qint64 seconds) const { return m_local.addSecs(seconds); }
    // The instant; 0 for an end that is not valid.
    qint64 instant() const { return m_instant; }

private:
    QDateTime m_local;
    qint64 m_instant = 0;
};

// What the program knows of one watched item while it runs, rebuilt from the page at every
// update: one record per list row, in list order.
struct WatchItemRecord {
    double recItemNumber = 0;
    QString recTitle;
    ItemEnd recEndDate; // the zero date when the page had no end
    Money recBidIncrement;
    Money recCurrentPrice;
    qint32 recQuantity = 0;
    qint16 recBidCount = 0;
    // 0 may bid, 1 a real bid was started, 5 won.
    qint32 recAutoBidState = 0;
    Money recMaxAutoBid;
    qint32 recMaxQuantity = 0;
    qint32 recMaxTimeLeft = 0;
    QString recTimeLeftText;
    QDateTime recAutoBidFiredAt;
};

// gWatchItems: the records, addressed 1-based like the rows they belong to. They correspond to
// the rows at every moment other code can observe (see keepRecordsWithRows): the ending-item
// check and the auto-bid trigger read them by position.
class WatchItems final {
public:
    int count() const { return int(m_records.size()); }
    // Grows or shrinks to `count` records, keeping the ones that remain.
    void resize(int count) { m_records.resize(count); }
    WatchItemRecord &at(int oneBased) { return m_records[oneBased - 1]; }
    const WatchItemRecord &at(int oneBased) const { return m_records[oneBased - 1]; }
    bool contains(int oneBased) const { return oneBased >= 1 && oneBased <= m_records.size(); }
    void append(const WatchItemRecord &record) { m_records.append(record); }
    // A blank record (item number 0) for each of `count` rows inserted at `zeroBased`.
    void insertBlank(int zeroBased, int count)
    {
        m_records.insert(std::clamp<qsizetype>(zeroBased, 0, m_records.size()), count, WatchItemRecord {});
    }
    // The records of `count` rows removed at `zeroBased`.
    void removeAt(int zeroBased, int count)
    {
        if (zeroBased >= 0 && zeroBased < m_records.size())
            m_records.remove(zeroBased, std::min<qsizetype>(count, m_records.size() - zeroBased));
    }
    // Puts the records in the new order of their rows (`oldRows[i]` is the old position of
    // the row now at i).
    void permute(const QList<int> &oldRows)
    {
        Q_ASSERT(oldRows.size() == m_records.size());
        QList<WatchItemRecord> sorted;
        sorted.reserve(oldRows.size());
        for (int old : oldRows)
            sorted.append(old >= 0 && old < m_records.size() ? m_records[old] : WatchItemRecord {});
        m_records = std::move(sorted);
    }
    // The first record, from 1 upwards, whose item number equals `itemNumber`; 0 if none. No
    // record is found for 0, the number of a record no update has written yet.
    int find(double itemNumber) const
    {
        if (itemNumber == 0)
            return 0;
        for (int i = 0; i < m_records.size(); ++i) {
            if (m_records[i].recItemNumber == itemNumber)
                return i + 1;
        }
        return 0;
    }

private:
    QList<WatchItemRecord> m_records;
};

class WatchListModel;

// Keeps `records` in step with the rows of `model` for as long as `context` lives: an added
// row gets a blank record at its position, a removed row's record goes with it, records move
// with every sort, and a cleared list has none.
void keepRecordsWithRows(WatchListModel &model, WatchItems &records, QObject *context);

} // namespace th
