#include "watchlist/WatchListActions.h"

#include "common/DateTimeMath.h"
#include "common/Formats.h"
#include "common/ItemNumber.h"
#include "common/Numeric.h"
#include "store/RegistryFunctions.h"
#include "store/RegistryStore.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListLog.h"
#include "watchlist/WatchListModel.h"
#include "watchlist/WatchStore.h"

namespace th {

namespace {

const QString kDefaultToolTip = QStringLiteral("Right click to see Update Menu and set max.bid note");

QString itemValue(
    const RegistryStore &store, const QString &item, const char16_t *name, const QString &fallback)
{
    return GetRegString(store, RegRoot::CurrentUser, itemKeyPath(item), QString::fromUtf16(name), fallback);
}

} // namespace

WatchListActions::WatchListActions(RegistryStore &store, WatchListModel &model, WatchItems &records)
    : m_store(store)
    , m_model(model)
    , m_records(records)
{
}

int WatchListActions::fillFromStore(bool reload)
{
    if (reload)
        m_model.clear();
    const QStringList items
        = ListRegSubKeys(m_store, RegRoot::CurrentUser, QString::fromUtf16(kWatchListKey));
    if (SafeUBound(items) < 0) {
        m_records.resize(0);
        return m_model.rowCount();
    }
    for (const QString &item : items) {
        if (!isItemKeyName(item)) {
            qCWarning(lcWatchList).noquote()
                << QStringLiteral("Watch list key \"%1\" is not an item number and is left out of the list")
                       .arg(item);
            continue;
        }
        m_model.addRow(item.trimmed());
    }
    m_model.ensureRuntimeColumns();
    m_records.resize(m_model.rowCount());
    return m_model.rowCount();
}

WatchListActions::AddOutcome WatchListActions::addItem(const QString &typed)
{
    AddOutcome outcome;
    if (typed.isEmpty())
        return outcome;
    const std::optional<QString> number = normalizeItemNumber(itemNumberOrAddress(typed));
    if (!number) {
        outcome.result = AddResult::NotAnItemNumber;
        return outcome;
    }
    outcome.itemNumber = *number;
    // The store decides what is watched, not the list.
    const QStringList stored
        = ListRegSubKeys(m_store, RegRoot::CurrentUser, QString::fromUtf16(kWatchListKey));
    for (const QString &item : stored) {
        if (item.trimmed() == outcome.itemNumber) {
            outcome.result = AddResult::AlreadyStored;
            return outcome;
        }
    }
    SaveRegString(m_store, RegRoot::CurrentUser, itemKeyPath(outcome.itemNumber),
        QString::fromUtf16(ItemValue::Item), outcome.itemNumber);
    outcome.row = m_model.addRow(outcome.itemNumber);
    outcome.result = AddResult::Added;
    return outcome;
}

int WatchListActions::removeItem(int row)
{
    if (row < 0 || row >= m_model.rowCount())
        return -1;
    const QString item = m_model.rowText(row).trimmed();
    const int position = m_model.findRow(item);
    DeleteRegKey(m_store, RegRoot::CurrentUser, itemKeyPath(item));
    m_model.removeRowAt(position);
    if (m_model.rowCount() == 0)
        return -1;
    return std::min(position, m_model.rowCount() - 1);
}

WatchListActions::Feedback WatchListActions::selectionFeedback(int row, const QDateTime &now) const
{
    Feedback feedback;
    const QString item = m_model.rowText(row);
    const double maxBid = numericValue(itemValue(m_store, item, ItemValue::MaxBid, QStringLiteral("0")));
    if (maxBid != 0) {
        feedback.toolTip = u"My max bid for this item is: " + formatMoney(Money::fromDouble(maxBid));
        feedback.icon = WatchListModel::IconLightning;
    } else {
        feedback.toolTip = kDefaultToolTip;
    }
    const double itemNumber = numericValue(item);
    feedback.autoBidIndex = m_records.find(itemNumber);
    if (maxBid == 0) {
        const double maxAutoBid
            = numericValue(itemValue(m_store, item, ItemValue::MaxAutoBid, QStringLiteral("0")));
        if (maxAutoBid != 0) {
            feedback.icon = WatchListModel::IconHammer;
            // Before the first update the row has no record yet: the stored note alone
            // decides the icon and the plain tip stays.
            if (feedback.autoBidIndex > 0) {
                const WatchItemRecord &record = m_records.at(feedback.autoBidIndex);
                feedback.toolTip = u"Max bid is: " + formatMoney(record.recMaxAutoBid) + u",    Qty: "
                    + QString::number(record.recQuantity) + u",    Bid @ the last "
                    + QString::number(record.recMaxTimeLeft) + u" sec."
                    + bidGroupTipLine(itemValue(m_store, item, ItemValue::BidGroup, QString()));
            }
        } else {
            feedback.icon = WatchListModel::IconBlank;
        }
    }
    const QDateTime end
        = feedback.autoBidIndex > 0 && m_records.at(feedback.autoBidIndex).recEndDate.isValid()
        ? m_records.at(feedback.autoBidIndex).recEndDate
        : fromDayNumber(0);
    const QString won = itemValue(m_store, item, ItemValue::WonItem, QString());
    if (!won.trimmed().isEmpty() && secondBoundaries(now, end) <= 0)
        feedback.icon = WatchListModel::IconHammerWin;
    return feedback;
}

QString bidGroupTipLine(const QString &group)
{
    const QString name = group.trimmed();
    return name.isEmpty() ? QString() : u"\nBid group: " + name;
}

QString itemPageAddress(const QString &itemPageHost, const QString &itemNumber)
{
    return u"http://" + itemPageHost + u"/aw-cgi/eBayISAPI.dll?ViewItem&item=" + itemNumber;
}

} // namespace th
