#include "engine/PageApplier.h"

#include <QRegularExpression>

#include "clock/ClockSync.h"
#include "common/DateTimeMath.h"
#include "common/Formats.h"
#include "common/Numeric.h"
#include "config/AppSettings.h"
#include "engine/EndDate.h"
#include "engine/EngineLog.h"
#include "platform/IClock.h"
#include "store/RegistryFunctions.h"
#include "store/RegistryStore.h"
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

namespace {

// News of a bid is announced only while the item has at least this many minute boundaries
// left: later the user is busy with the end itself.
constexpr qint64 kAnnounceMinutesLeft = 4;
// The end of a page that names none.
const QDate kZeroDate(1899, 12, 30);
// The state of a record whose item the user has won.
constexpr qint32 kAutoBidStateWon = 5;

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

PageApplier::PageApplier(Context context, QObject *parent)
    : QObject(parent)
    , m_ctx(context)
{
}

void PageApplier::markRowUpdating(int row, const QString &priceText)
{
    const QString bids = m_ctx.model.subItem(row, WatchListModel::Bids);
    m_ctx.model.setTag(row, bids.isEmpty() ? QStringLiteral("-1") : bids);
    m_ctx.model.setSubItem(row, WatchListModel::Price, priceText);
}

Result<PageApplier::Outcome> PageApplier::apply(
    const ItemPageData &parsed, const QString &item, Variant variant)
{
    WatchListModel &model = m_ctx.model;
    int row = model.findRow(item);
    if (row < 0)
        return Outcome::RowGone;
    writeColumns(row, parsed);
    if (parsed[ItemPageData::IsNotFound] == u"True")
        Q_EMIT itemNotFound(item.trimmed());

    m_ctx.clockSync.GetPacificOffsetHours();
    const Result<QDateTime> endResult = endDateFromPage(parsed[ItemPageData::EndsText]);
    if (!endResult.ok()) {
        qCWarning(lcEngine, "the page of item %s was not applied: %s", qPrintable(item.trimmed()),
            qPrintable(endResult.errorMessage()));
        return endResult.error();
    }
    const QDateTime end = endResult.value();
    model.setSubItem(row, WatchListModel::EndDate,
        formatDate(end, variant == Variant::Single ? DateFormat::Slashed : DateFormat::ShortYear));
    model.setSubItem(row, WatchListModel::SellerRating, parsed[ItemPageData::SellerRating]);

    const StoredItem stored = readStoredItem(m_ctx.store, item);
    model.setIcon(row, iconFor(row, stored));
    const qint64 now = m_ctx.clock.now().toMSecsSinceEpoch();
    const qint64 endInstant = end.toMSecsSinceEpoch();
    const qint64 secondsLeft = secondBoundaries(now, endInstant);
    if (secondsLeft <= 0 && !stored.WonItem.trimmed().isEmpty())
        model.setIcon(row, WatchListModel::IconHammerWin);
    // A page without an end says nothing about whether the auction is over.
    model.setEnded(row, end.date() != kZeroDate && secondsLeft <= 0);

    if (announceNewBid(row, parsed, now, endInstant)) {
        // Whoever heard the news may have let other work run: the list may have moved.
        row = model.findRow(item);
        if (row < 0)
            return Outcome::RowGone;
    }

    ItemPageData page = parsed;
    page[ItemPageData::CurrentBid] = cleanMoneyText(page[ItemPageData::CurrentBid]);
    page[ItemPageData::BidIncrement] = cleanMoneyText(page[ItemPageData::BidIncrement]);
    const int found = variant == Variant::Single ? m_ctx.records.find(numericValue(item)) : 0;
    if (found > 0) {
        // The single-item update refreshes only the increment of a record it already has. Of an
        // ended item it also takes the final price and marks a win: a bid group learns its
        // member's result from this update, and the end notice that follows names the price.
        WatchItemRecord &record = m_ctx.records.at(found);
        record.recBidIncrement = Money::fromText(page[ItemPageData::BidIncrement]);
        if (secondsLeft <= 0) {
            record.recCurrentPrice = Money::fromText(page[ItemPageData::CurrentBid]);
            detectWin(found, row, page, secondsLeft);
        }
    } else {
        writeRecord(row + 1, row, page, end, stored, now);
    }

    model.setSubItem(row, WatchListModel::EndDate2, dateTimeText(end));
    model.setTag(row, QString());
    return Outcome::Applied;
}

void PageApplier::writeColumns(int row, const ItemPageData &page)
{
    WatchListModel &model = m_ctx.model;
    model.setSubItem(row, WatchListModel::ItemName, page[ItemPageData::Title]);
    model.setSubItem(row, WatchListModel::Bids, page[ItemPageData::BidCount]);
    model.setSubItem(row, WatchListModel::Price, page[ItemPageData::CurrentBid]);
    model.setSubItem(row, WatchListModel::Reserve, page[ItemPageData::ReserveStatus]);
    model.setSubItem(row, WatchListModel::TimeRemaining, page[ItemPageData::TimeLeft]);
    model.setSubItem(row, WatchListModel::BuyItNow, page[ItemPageData::BuyItNowPrice]);
    model.setSubItem(row, WatchListModel::Quantity, page[ItemPageData::Quantity]);
}

int PageApplier::iconFor(int row, const StoredItem &stored) const
{
    // The up arrow of a new bid stays until the user looks at the item.
    if (m_ctx.model.icon(row) == WatchListModel::IconUp)
        return WatchListModel::IconUp;
    if (numericValue(stored.MaxBid) != 0)
        return WatchListModel::IconLightning;
    if (numericValue(stored.MaxAutoBid) != 0)
        return WatchListModel::IconHammer;
    return WatchListModel::IconBlank;
}

bool PageApplier::announceNewBid(int row, const ItemPageData &page, qint64 now, qint64 end)
{
    if (secondBoundaries(now, end) < 0)
        return false;
    // The tag holds the count from before the update; "-1" (no count shown yet) never counts.
    const qint32 previous = roundedValue(m_ctx.model.tag(row), SignRule::AllowSign);
    if (previous < 0 || previous >= roundedValue(page[ItemPageData::BidCount]))
        return false;
    m_ctx.model.setIcon(row, WatchListModel::IconUp);
    if (minuteBoundaries(now, end) < kAnnounceMinutesLeft)
        return false;
    Q_EMIT newBidAnnounced(row);
    return true;
}

void PageApplier::writeRecord(int recordIndex, int row, const ItemPageData &page, const QDateTime &end,
    const StoredItem &stored, qint64 now)
{
    WatchItemRecord &record = m_ctx.records.at(recordIndex);
    record.recItemNumber = numericValue(m_ctx.model.rowText(row));
    record.recTitle = page[ItemPageData::Title];
    record.recBidCount = qint16(roundedValue(page[ItemPageData::BidCount]));
    record.recCurrentPrice = Money::fromText(page[ItemPageData::CurrentBid]);
    record.recTimeLeftText = page[ItemPageData::TimeLeft];
    record.recEndDate = end;
    record.recQuantity = roundedValue(page[ItemPageData::Quantity]);
    record.recBidIncrement = Money::fromText(page[ItemPageData::BidIncrement]);
    detectWin(recordIndex, row, page, secondBoundaries(now, record.recEndDate.instant()));
    // Writing the won mark touches none of these.
    record.recMaxAutoBid = Money::fromText(stored.MaxAutoBid);
    record.recMaxQuantity = roundedValue(stored.MaxQuantity);
    record.recMaxTimeLeft = roundedValue(stored.MaxTimeLeft);
}

void PageApplier::detectWin(int recordIndex, int row, const ItemPageData &page, qint64 secondsLeft)
{
    // The user won: the high bidder is the user, the whole ID, and the auction is over. A
    // rival whose ID is merely part of the user's ("user" in "secret_user_id42") has not won
    // anything for the user.
    const QString user = m_ctx.settings.EBayID.trimmed();
    const QString highBidder = page[ItemPageData::HighBidder].trimmed();
    if (user.isEmpty() || user.compare(highBidder, Qt::CaseInsensitive) != 0 || secondsLeft > 0)
        return;
    m_ctx.records.at(recordIndex).recAutoBidState = kAutoBidStateWon;
    const QString item = m_ctx.model.rowText(row).trimmed();
    SaveRegString(m_ctx.store, RegRoot::CurrentUser, itemKeyPath(item),
        QString::fromUtf16(ItemValue::WonItem), QStringLiteral("True"));
    m_ctx.model.setIcon(row, WatchListModel::IconHammerWin);
}

} // namespace th
