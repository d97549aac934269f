#include "watchlist/WatchListModel.h"

#include <QColor>

#include <algorithm>
#include <limits>

#include "common/Formats.h"

namespace th {

WatchListModel::WatchListModel(QObject *parent)
    : QAbstractTableModel(parent)
{
    m_columns = {
        { QStringLiteral("Item #"), QStringLiteral("Item #"), 2205, Qt::AlignLeft, ItemNumber },
        { QStringLiteral("Item Name"), QStringLiteral("Item Name"), 6703, Qt::AlignLeft, ItemName },
        { QStringLiteral("Bids"), QStringLiteral("Bids"), 1236, Qt::AlignHCenter, Bids },
        { QStringLiteral("Price"), QStringLiteral("Price"), 2204, Qt::AlignLeft, Price },
        { QStringLiteral("Reserve"), QStringLiteral("Reserve"), 1888, Qt::AlignHCenter, Reserve },
        { QStringLiteral("t-Remaining"), QStringLiteral("t-Remaining"), 2540, Qt::AlignLeft, TimeRemaining },
        { QStringLiteral("End Date"), QStringLiteral("End Date (Local Time)"), 4128, Qt::AlignLeft, EndDate },
        { QStringLiteral("Seller Rating"), QStringLiteral("Seller Rating"), 1942, Qt::AlignHCenter,
            SellerRating },
    };
}

WatchListModel::~WatchListModel() = default;

void WatchListModel::ensureRuntimeColumns()
{
    const Column runtime[] = {
        { QStringLiteral("End Date2"), QString(), 0, Qt::AlignLeft, EndDate2 },
        { QStringLiteral("Buy It Now"), QStringLiteral("Buy It Now"), 1800, Qt::AlignLeft, BuyItNow },
        { QStringLiteral("Quantity"), QStringLiteral("Quantity"), 900, Qt::AlignLeft, Quantity },
    };
    for (const Column &column : runtime) {
        if (columnOfKey(column.key) >= 0)
            continue;
        const int at = int(m_columns.size());
        beginInsertColumns({}, at, at);
        m_columns.append(column);
        endInsertColumns();
    }
}

int WatchListModel::columnOfKey(const QString &key) const
{
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].key == key)
            return i;
    }
    return -1;
}

int WatchListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int WatchListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant WatchListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || index.column() >= m_columns.size())
        return {};
    const Row &row = m_rows[index.row()];
    const Column &column = m_columns[index.column()];
    switch (role) {
    case Qt::DisplayRole:
        return column.subItem == ItemNumber ? row.text : row.sub[column.subItem];
    case Qt::DecorationRole:
        if (column.subItem == ItemNumber && m_iconProvider)
            return m_iconProvider(row.icon);
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(column.alignment | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        if (row.icon == IconHammerWin)
            return QColor(0, 110, 40);
        if (row.ended)
            return QColor(Qt::gray);
        return {};
    default:
        return {};
    }
}

bool WatchListModel::ended(int row) const
{
    return row >= 0 && row < m_rows.size() && m_rows[row].ended;
}

void WatchListModel::setEnded(int row, bool ended)
{
    if (row < 0 || row >= m_rows.size() || m_rows[row].ended == ended)
        return;
    m_rows[row].ended = ended;
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1), { Qt::ForegroundRole });
}

QVariant WatchListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_columns[section].caption;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(m_columns[section].alignment | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags WatchListModel::flags(const QModelIndex &index) const
{
    // Item numbers are never edited in place.
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

int WatchListModel::addRow(const QString &itemText)
{
    const int at = int(m_rows.size());
    beginInsertRows({}, at, at);
    Row row;
    row.text = itemText;
    m_rows.append(row);
    endInsertRows();
    return at;
}

void WatchListModel::removeRowAt(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    beginRemoveRows({}, row, row);
    m_rows.removeAt(row);
    endRemoveRows();
}

void WatchListModel::clear()
{
    if (m_rows.isEmpty())
        return;
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

QString WatchListModel::rowText(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows[row].text : QString();
}

QString WatchListModel::subItem(int row, int index) const
{
    if (row < 0 || row >= m_rows.size() || index < 0 || index >= SubItemCount)
        return {};
    return index == ItemNumber ? m_rows[row].text : m_rows[row].sub[index];
}

void WatchListModel::setSubItem(int row, int index, const QString &text)
{
    if (row < 0 || row >= m_rows.size() || index < 0 || index >= SubItemCount)
        return;
    QString &cell = index == ItemNumber ? m_rows[row].text : m_rows[row].sub[index];
    if (cell == text)
        return;
    cell = text;
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_columns[c].subItem == index)
            Q_EMIT dataChanged(this->index(row, c), this->index(row, c), { Qt::DisplayRole });
    }
}

QString WatchListModel::tag(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows[row].tag : QString();
}

void WatchListModel::setTag(int row, const QString &tag)
{
    if (row >= 0 && row < m_rows.size())
        m_rows[row].tag = tag;
}

int WatchListModel::icon(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows[row].icon : 0;
}

void WatchListModel::setIcon(int row, int icon)
{
    if (row < 0 || row >= m_rows.size() || m_rows[row].icon == icon)
        return;
    m_rows[row].icon = icon;
    // A won item's whole row takes its colour.
    Q_EMIT dataChanged(
        index(row, 0), index(row, columnCount() - 1), { Qt::DecorationRole, Qt::ForegroundRole });
}

int WatchListModel::findRow(const QString &itemText) const
{
    const QString wanted = itemText.trimmed();
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].text.trimmed() == wanted)
            return i;
    }
    return -1;
}

template<typename Less> void WatchListModel::stableSort(Less less)
{
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QList<int> order(m_rows.size());
    for (int i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), less);
    QList<Row> sorted;
    sorted.reserve(m_rows.size());
    QList<int> newPosition(m_rows.size());
    for (int i = 0; i < order.size(); ++i) {
        sorted.append(std::move(m_rows[order[i]]));
        newPosition[order[i]] = i;
    }
    m_rows = std::move(sorted);
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &old : before)
        after.append(index(newPosition[old.row()], old.column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    Q_EMIT rowsReordered(order);
}

void WatchListModel::switchOwnSortingOn()
{
    m_ownSorting = true;
    stableSort([this](int a, int b) { return m_rows[a].sub[EndDate2] < m_rows[b].sub[EndDate2]; });
}

void WatchListModel::sortByEndDate()
{
    m_ownSorting = false;
    // Each row's date is read once; a text that cannot be read sorts with the empty ones.
    QList<qint64> keys;
    keys.reserve(m_rows.size());
    for (const Row &row : std::as_const(m_rows)) {
        const QDateTime when = parseDateTimeText(row.sub[EndDate2].left(32));
        keys.append(when.isValid() ? when.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min());
    }
    stableSort([&keys](int a, int b) { return keys[a] < keys[b]; });
}

} // namespace th
