#pragma once

#include <QAbstractTableModel>
#include <QList>

#include "autobid/BidRecord.h"

namespace th {

// The bid log: one row per bid, this run's and the stored ones, newest first. The display
// texts are for reading; the sort role gives each column's value to order by (numbers,
// times, milliseconds), so that a sorting proxy orders amounts and latencies as numbers.
class BidLogModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BidLogModel)

public:
    enum Column {
        Item,
        Title,
        Kind,
        Group,
        Bid,
        Lead,
        Fired,
        ToBidForm,
        ToSignIn,
        ToAnswer,
        Outcome,
        ColumnCount
    };
    static constexpr int SortRole = Qt::UserRole;

    explicit BidLogModel(QObject *parent = nullptr);

    // The stored bids of earlier runs, below this run's.
    void addStored(const QList<BidRecord> &records);
    // A bid of this run started, went a step further or ended: its row is added at the top or
    // brought up to date.
    void showBid(const BidRecord &record);

    const BidRecord &record(int row) const { return m_rows.at(row); }
    // The rows as text, one line each, columns separated by tabs, for the clipboard.
    QString copyText(const QList<int> &rows) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QString text(const BidRecord &record, int column) const;
    QVariant sortValue(const BidRecord &record, int column) const;

    QList<BidRecord> m_rows;
};

} // namespace th
