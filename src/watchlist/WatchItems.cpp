#include "watchlist/WatchItems.h"

#include "watchlist/WatchListModel.h"

namespace th {

void keepRecordsWithRows(WatchListModel &model, WatchItems &records, QObject *context)
{
    records.resize(model.rowCount());
    QObject::connect(&model, &QAbstractItemModel::rowsInserted, context,
        [&records](
            const QModelIndex &, int first, int last) { records.insertBlank(first, last - first + 1); });
    QObject::connect(&model, &QAbstractItemModel::rowsRemoved, context,
        [&records](const QModelIndex &, int first, int last) { records.removeAt(first, last - first + 1); });
    QObject::connect(&model, &QAbstractItemModel::modelReset, context, [&records, &model] {
        records.resize(0);
        records.resize(model.rowCount());
    });
    QObject::connect(&model, &WatchListModel::rowsReordered, context,
        [&records](const QList<int> &oldRows) { records.permute(oldRows); });
}

} // namespace th
