#pragma once

#include <QList>

#include "autobid/BidRecord.h"

namespace th {

class RegistryStore;

// Where ended bids are kept: the last bid of each item, under the item's key.
class IBidRecordStore {
public:
    virtual ~IBidRecordStore() = default;
    // Keeps `record` as its item's last bid. An item no longer watched gets nothing: writing
    // under its key would bring the item back into the list.
    virtual void saveBidRecord(const BidRecord &record) = 0;
    // The last bid of every watched item that has one.
    virtual QList<BidRecord> loadBidRecords() const = 0;
};

// The last bid as values of the item key in the store.
class RegistryBidRecordStore final : public IBidRecordStore {
public:
    explicit RegistryBidRecordStore(RegistryStore &store)
        : m_store(store)
    {
    }

    void saveBidRecord(const BidRecord &record) override;
    QList<BidRecord> loadBidRecords() const override;

private:
    RegistryStore &m_store;
};

} // namespace th
