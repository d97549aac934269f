#pragma once

#include <QHash>
#include <QString>

namespace th {

class RegistryStore;

// The group of an item's automatic bid, stored beside it in the item key; "" for none.
QString storedBidGroup(const RegistryStore &store, const QString &item);
// Stores the group, or takes it away when `group` is "".
void storeBidGroup(RegistryStore &store, const QString &item, const QString &group);

// Every group's "Win up to" limit as stored. A limit that is not a whole number of at least
// one (an edited backup, an old store) reads as one: the fewest wins is the safe reading.
QHash<QString, int> storedGroupLimits(const RegistryStore &store);
void storeGroupLimit(RegistryStore &store, const QString &group, int wins);

} // namespace th
