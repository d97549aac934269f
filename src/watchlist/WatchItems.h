#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include "common/Money.h"

namespace th {

// What the program knows of one watched item while it runs, rebuilt from the page at every
// update: one record per list row, in list order.
struct WatchItemRecord {
    double recItemNumber = 0;
    QString recTitle;
    QDateTime recEndDate; // local time; the zero date when the page had no end
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

// gWatchItems: the records, addressed 1-based like the rows they belong to.
class WatchItems final {
public:
    int count() const { return int(m_records.size()); }
    // Grows or shrinks to `count` records, keeping the ones that remain.
    void resize(int count) { m_records.resize(count); }
    WatchItemRecord &at(int oneBased) { return m_records[oneBased - 1]; }
    const WatchItemRecord &at(int oneBased) const { return m_records[oneBased - 1]; }
    bool contains(int oneBased) const { return oneBased >= 1 && oneBased <= m_records.size(); }
    void append(const WatchItemRecord &record) { m_records.append(record); }
    // Puts the records in the new order of their rows (`oldRows[i]` is the old position of
    // the row now at i). Records that do not match the rows one to one are left as they are.
    void permute(const QList<int> &oldRows)
    {
        if (oldRows.size() != m_records.size())
            return;
        QList<WatchItemRecord> sorted;
        sorted.reserve(m_records.size());
        for (int old : oldRows)
            sorted.append(m_records[old]);
        m_records = std::move(sorted);
    }
    // The first record, from 1 upwards, whose item number equals `itemNumber`; 0 if none.
    int find(double itemNumber) const
    {
        for (int i = 0; i < m_records.size(); ++i) {
            if (m_records[i].recItemNumber == itemNumber)
                return i + 1;
        }
        return 0;
    }

private:
    QList<WatchItemRecord> m_records;
};

} // namespace th
