// Applying one fetched page: the row's columns, the local end date-time, the row icon, the
// new-bid test, the run-time record, the win, and the end of an all-items pass.

#include "engine/UpdateEngine.h"

#include <QRegularExpression>

#include "clock/ClockSync.h"
#include "common/DateTimeMath.h"
#include "common/Formats.h"
#include "common/Numeric.h"
#include "common/Timers.h"
#include "engine/EndDate.h"
#include "engine/ItemPageParser.h"
#include "platform/IClock.h"
#include "watchlist/AppSettings.h"
#include "watchlist/RegistryFunctions.h"
#include "watchlist/RegistryStore.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListModel.h"
#include "watchlist/WatchStore.h"

namespace th {

// The values of an item key that applying a page reads, taken from the store in one go.
struct StoredItem {
    QString MaxBid = QStringLiteral("0");
    QString MaxAutoBid = QStringLiteral("0");
    QString MaxQuantity = QStringLiteral("0");
    QString MaxTimeLeft = QStringLiteral("0");
    QString WonItem;
};

StoredItem readStoredItem(const RegistryStore &store, const QString &item)
{
    StoredItem stored;
    const QList<RegValue> values = store.values(RegRoot::CurrentUser, itemKeyPath(item));
    for (const RegValue &value : values) {
        if (!value.isStringKind())
            continue; // read as text only, as every reader of these values does
        auto is = [&](const char16_t *name) {
            return value.name.compare(QStringView(name), Qt::CaseInsensitive) == 0;
        };
        if (is(ItemValue::MaxBid))
            stored.MaxBid = value.text();
        else if (is(ItemValue::MaxAutoBid))
            stored.MaxAutoBid = value.text();
        else if (is(ItemValue::MaxQuantity))
            stored.MaxQuantity = value.text();
        else if (is(ItemValue::MaxTimeLeft))
            stored.MaxTimeLeft = value.text();
        else if (is(ItemValue::WonItem))
            stored.WonItem = value.text();
    }
    return stored;
}

namespace {

// A price text as the page shows it ("US $1,234.50", "GBP 12.00") as the plain number text.
QString cleanMoneyText(const QString &text)
{
    static const QRegularExpression noise(
        QStringLiteral("GBP|US|\\$|,"), QRegularExpression::CaseInsensitiveOption);
    return QString(text).remove(noise);
}

qint32 roundedValue(const QString &text, SignRule sign = SignRule::NoSign)
{
    return qint32(roundHalfEven(numericValue(text, sign)));
}

} // namespace

void UpdateEngine::subExtractData(int ListIndexIn, int ItemID)
{
    const QByteArray page = m_engines[ListIndexIn - 1].gstrEngineBuffer;
    applyPage(ParseItemPage(page), ItemID - 1, Variant::Pass);
}

bool UpdateEngine::applyPage(const ItemPageData &parsed, int row, Variant variant)
{
    ItemPageData data = parsed;
    WatchListModel &model = m_ctx.model;
    const QString item = model.rowText(row);
    // 2.
    model.setSubItem(row, WatchListModel::ItemName, data[ItemPageData::Title]);
    model.setSubItem(row, WatchListModel::Bids, data[ItemPageData::BidCount]);
    model.setSubItem(row, WatchListModel::Price, data[ItemPageData::CurrentBid]);
    model.setSubItem(row, WatchListModel::Reserve, data[ItemPageData::ReserveStatus]);
    model.setSubItem(row, WatchListModel::TimeRemaining, data[ItemPageData::TimeLeft]);
    model.setSubItem(row, WatchListModel::BuyItNow, data[ItemPageData::BuyItNowPrice]);
    model.setSubItem(row, WatchListModel::Quantity, data[ItemPageData::Quantity]);
    // 3.
    if (variant == Variant::Pass) {
        ++m_updatedCount;
        Q_EMIT statusText(1, QStringLiteral("Updating : %1/%2").arg(m_updatedCount).arg(rowCount()));
    }
    // 4.
    m_ctx.clockSync.GetPacificOffsetHours();
    const Result<QDateTime> endResult = endDateFromPage(data[ItemPageData::EndsText]);
    if (!endResult.ok()) {
        Q_EMIT applyFailed(endResult.errorMessage());
        restoreIdleState();
        return false;
    }
    const QDateTime end = endResult.value();
    // 5-6.
    model.setSubItem(row, WatchListModel::EndDate,
        formatDate(end, variant == Variant::Single ? DateFormat::Slashed : DateFormat::ShortYear));
    model.setSubItem(row, WatchListModel::SellerRating, data[ItemPageData::SellerRating]);
    // 7.
    const StoredItem stored = readStoredItem(m_ctx.store, item);
    int icon = WatchListModel::IconBlank;
    if (numericValue(stored.MaxBid) != 0)
        icon = WatchListModel::IconLightning;
    else if (numericValue(stored.MaxAutoBid) != 0)
        icon = WatchListModel::IconHammer;
    if (model.icon(row) == WatchListModel::IconUp)
        icon = WatchListModel::IconUp;
    model.setIcon(row, icon);
    // 8.
    const QDateTime now = m_ctx.clock.now();
    const bool ended = secondBoundaries(now, end) <= 0;
    if (ended && !stored.WonItem.trimmed().isEmpty())
        model.setIcon(row, WatchListModel::IconHammerWin);
    // 9.
    if (secondBoundaries(now, end) >= 0) {
        const qint32 previous = roundedValue(model.tag(row), SignRule::AllowSign);
        if (previous >= 0 && previous < roundedValue(data[ItemPageData::BidCount])) {
            model.setIcon(row, WatchListModel::IconUp);
            // Only news of an item that has four minute boundaries left is announced.
            const bool early = minuteBoundaries(now, end) >= 4;
            const bool playSound = early && m_ctx.settings.PlayBidIncrementNotifySound != 0;
            const bool showWindow = early && m_ctx.settings.chkShowBidNotification != 0;
            if (playSound || showWindow) {
                const quint64 serial = m_passSerial;
                Q_EMIT newBidAnnounced(row, playSound, showWindow);
                // The window may have let the list change: find the row again.
                row = model.findRow(item);
                if (row < 0)
                    return true;
                if (variant == Variant::Pass && serial != m_passSerial)
                    return true;
            }
        }
    }
    // 10-12.
    data[ItemPageData::CurrentBid] = cleanMoneyText(data[ItemPageData::CurrentBid]);
    data[ItemPageData::BidIncrement] = cleanMoneyText(data[ItemPageData::BidIncrement]);
    if (variant == Variant::Single) {
        const int found = m_ctx.records.find(numericValue(item));
        if (found > 0) {
            m_ctx.records.at(found).recBidIncrement = Money::fromText(data[ItemPageData::BidIncrement]);
        } else {
            m_ctx.records.append(WatchItemRecord {});
            applyRecord(data, m_ctx.records.count(), row, end, stored);
        }
    } else {
        if (!m_ctx.records.contains(row + 1))
            m_ctx.records.resize(std::max(m_ctx.records.count(), row + 1));
        applyRecord(data, row + 1, row, end, stored);
    }
    // 13-14.
    model.setSubItem(row, WatchListModel::EndDate2, dateTimeText(end));
    model.setTag(row, QString());
    // 15.
    if (variant == Variant::Pass)
        endOfPassCheck();
    return true;
}

void UpdateEngine::applyRecord(
    const ItemPageData &data, int recordIndex, int row, const QDateTime &end, const StoredItem &stored)
{
    WatchItemRecord &record = m_ctx.records.at(recordIndex);
    const QString item = m_ctx.model.rowText(row);
    record.recItemNumber = numericValue(item);
    record.recTitle = data[ItemPageData::Title];
    record.recBidCount = qint16(roundedValue(data[ItemPageData::BidCount]));
    record.recCurrentPrice = Money::fromText(data[ItemPageData::CurrentBid]);
    record.recTimeLeftText = data[ItemPageData::TimeLeft];
    record.recEndDate = end;
    record.recQuantity = roundedValue(data[ItemPageData::Quantity]);
    record.recBidIncrement = Money::fromText(data[ItemPageData::BidIncrement]);
    // 11. The user won: the high bidder is the user and the auction is over.
    const QString user = m_ctx.settings.EBayID;
    const QString highBidder = data[ItemPageData::HighBidder];
    if (!user.isEmpty() && !highBidder.isEmpty() && user.contains(highBidder, Qt::CaseInsensitive)
        && secondBoundaries(m_ctx.clock.now(), end) <= 0) {
        record.recAutoBidState = 5;
        SaveRegString(m_ctx.store, RegRoot::CurrentUser, itemKeyPath(item),
            QString::fromUtf16(ItemValue::WonItem), QStringLiteral("True"));
        m_ctx.model.setIcon(row, WatchListModel::IconHammerWin);
    }
    // 12. (Writing the won mark above touches none of these.)
    record.recMaxAutoBid = Money::fromText(stored.MaxAutoBid);
    record.recMaxQuantity = roundedValue(stored.MaxQuantity);
    record.recMaxTimeLeft = roundedValue(stored.MaxTimeLeft);
}

void UpdateEngine::endOfPassCheck()
{
    if (m_updatedCount >= rowCount())
        passEnd();
}

void UpdateEngine::passEnd()
{
    if (!m_autoBidStarted) {
        enableTimer(m_ctx.tmrChkAutoBid);
        m_autoBidStarted = true;
    }
    Q_EMIT reSortRequested();
    Q_EMIT statusText(1, u"Last Update: " + formatDate(m_ctx.clock.now(), DateFormat::LongYear));
    restoreIdleState();
    Q_EMIT passFinished();
}

} // namespace th
