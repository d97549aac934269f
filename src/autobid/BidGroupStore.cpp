#include "autobid/BidGroupStore.h"

#include <algorithm>

#include "autobid/BidGroups.h"
#include "store/RegistryFunctions.h"
#include "store/RegistryStore.h"
#include "watchlist/WatchStore.h"

namespace th {

QString storedBidGroup(const RegistryStore &store, const QString &item)
{
    return GetRegString(
        store, RegRoot::CurrentUser, itemKeyPath(item), QString::fromUtf16(ItemValue::BidGroup), QString())
        .trimmed();
}

void storeBidGroup(RegistryStore &store, const QString &item, const QString &group)
{
    const QString name = QString::fromUtf16(ItemValue::BidGroup);
    if (group.trimmed().isEmpty())
        DeleteRegValue(store, RegRoot::CurrentUser, itemKeyPath(item), name);
    else
        SaveRegString(store, RegRoot::CurrentUser, itemKeyPath(item), name, group.trimmed());
}

QHash<QString, int> storedGroupLimits(const RegistryStore &store)
{
    QHash<QString, int> limits;
    for (const RegValue &value : store.values(RegRoot::CurrentUser, QString::fromUtf16(kBidGroupsKey))) {
        bool ok = false;
        const int wins = value.isStringKind() ? value.text().trimmed().toInt(&ok) : 0;
        limits.insert(value.name, ok && wins >= 1 ? wins : BidGroups::kDefaultLimit);
    }
    return limits;
}

void storeGroupLimit(RegistryStore &store, const QString &group, int wins)
{
    SaveRegString(store, RegRoot::CurrentUser, QString::fromUtf16(kBidGroupsKey), group,
        QString::number(std::max(1, wins)));
}

} // namespace th
