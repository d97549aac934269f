#include "autobid/BidLogModel.h"

#include <algorithm>

namespace th {

namespace {

QString latencyText(const BidRecord &record, const QDateTime &step)
{
    const std::optional<qint64> msecs = msecsAfterFire(record, step);
    return msecs ? QString::number(double(*msecs) / 1000.0, 'f', 2) + u" s" : QString();
}

} // namespace

BidLogModel::BidLogModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void BidLogModel::addStored(const QList<BidRecord> &records)
{
    if (records.isEmpty())
        return;
    QList<BidRecord> newestFirst = records;
    std::stable_sort(newestFirst.begin(), newestFirst.end(),
        [](const BidRecord &a, const BidRecord &b) { return a.firedAt > b.firedAt; });
    beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + newestFirst.size()) - 1);
    m_rows.append(newestFirst);
    endInsertRows();
}

void BidLogModel::showBid(const BidRecord &record)
{
    const auto found = std::find_if(m_rows.begin(), m_rows.end(),
        [&record](const BidRecord &row) { return row.serial != 0 && row.serial == record.serial; });
    if (found == m_rows.end()) {
        beginInsertRows({}, 0, 0);
        m_rows.prepend(record);
        endInsertRows();
        return;
    }
    *found = record;
    const int row = int(found - m_rows.begin());
    Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

QString BidLogModel::copyText(const QList<int> &rows) const
{
    QString text;
    for (const int row : rows) {
        if (row < 0 || row >= m_rows.size())
            continue;
        QStringList cells;
        for (int column = 0; column < ColumnCount; ++column)
            cells.append(this->text(m_rows.at(row), column));
        text += cells.join(u'\t') + u'\n';
    }
    return text;
}

int BidLogModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int BidLogModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant BidLogModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const BidRecord &record = m_rows.at(index.row());
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return text(record, index.column());
    if (role == SortRole)
        return sortValue(record, index.column());
    return {};
}

QVariant BidLogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList titles { QStringLiteral("Item"), QStringLiteral("Title"), QStringLiteral("Kind"),
        QStringLiteral("Group"), QStringLiteral("Bid"), QStringLiteral("Lead"), QStringLiteral("Fired"),
        QStringLiteral("To bid form"), QStringLiteral("To sign-in"), QStringLiteral("To answer"),
        QStringLiteral("Outcome") };
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= titles.size())
        return {};
    return titles.at(section);
}

QString BidLogModel::text(const BidRecord &record, int column) const
{
    switch (column) {
    case Item:
        return record.item;
    case Title:
        return record.title;
    case Kind:
        return bidKindText(record.kind);
    case Group:
        return record.group;
    case Bid:
        return record.amount.toText() + u" x " + QString::number(record.quantity);
    case Lead:
        return record.kind == BidKind::Automatic ? QString::number(record.leadSeconds) + u" s" : QString();
    case Fired:
        return record.firedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    case ToBidForm:
        return latencyText(record, record.bidFormAt);
    case ToSignIn:
        return latencyText(record, record.signInAt);
    case ToAnswer:
        return latencyText(record, record.answerAt);
    case Outcome:
        if (!record.outcome)
            return QStringLiteral("running");
        // A bid group's reason already begins with what happened ("Cancelled: ...").
        if (record.message.startsWith(bidOutcomeText(*record.outcome), Qt::CaseInsensitive))
            return record.message;
        return record.message.isEmpty() ? bidOutcomeText(*record.outcome)
                                        : bidOutcomeText(*record.outcome) + u": " + record.message;
    default:
        return {};
    }
}

QVariant BidLogModel::sortValue(const BidRecord &record, int column) const
{
    const auto msecs = [&record](const QDateTime &step) { return msecsAfterFire(record, step).value_or(-1); };
    switch (column) {
    case Item:
        return record.item.toLongLong();
    case Bid:
        return record.amount.toDouble() * record.quantity;
    case Lead:
        return record.leadSeconds;
    case Fired:
        return record.firedAt.toMSecsSinceEpoch();
    case ToBidForm:
        return msecs(record.bidFormAt);
    case ToSignIn:
        return msecs(record.signInAt);
    case ToAnswer:
        return msecs(record.answerAt);
    default:
        return text(record, column);
    }
}

} // namespace th
