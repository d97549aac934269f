#include "autobid/BidSettings.h"

#include <algorithm>

#include "common/DateTimeMath.h"
#include "common/Formats.h"
#include "common/Numeric.h"
#include "common/WholeNumber.h"
#include "store/RegistryFunctions.h"
#include "store/RegistryStore.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListActions.h"
#include "watchlist/WatchStore.h"

namespace th {

namespace {

constexpr int kFirstSeconds = 2;
constexpr int kLastSecondByOne = 60;
constexpr int kLastSeconds = 180;
constexpr int kSecondsStep = 5;

QStringList secondsChoices()
{
    QStringList choices;
    for (int s = kFirstSeconds; s <= kLastSecondByOne; ++s)
        choices.append(QString::number(s));
    for (int s = kLastSecondByOne + kSecondsStep; s <= kLastSeconds; s += kSecondsStep)
        choices.append(QString::number(s));
    return choices;
}

QString itemValue(
    const RegistryStore &store, const QString &item, const char16_t *name, const QString &fallback)
{
    return GetRegString(store, RegRoot::CurrentUser, itemKeyPath(item), QString::fromUtf16(name), fallback);
}

qint32 roundedComboNumber(const QString &text)
{
    return qint32(roundHalfEven(numericValue(text)));
}

} // namespace

AutoBidDialogValues autoBidDialogValues(const QString &item, const QString &title, const QString &priceText,
    const WatchItemRecord *record, const RegistryStore &store)
{
    AutoBidDialogValues values;
    values.secondsChoices = secondsChoices();
    values.auctionTitle = u"Auction: \"" + title + u"\"";
    if (record) {
        values.minimumBid = record->recCurrentPrice + record->recBidIncrement;
        values.currentPrice = record->recCurrentPrice;
        for (int q = 1; q <= record->recQuantity; ++q)
            values.quantityChoices.append(QString::number(q));
        values.highestQuantity = std::max<qint32>(1, record->recQuantity);
    }
    values.currentMaxBid = u"Current Max.Bid: " + priceText;
    values.minimumBidText = u"Minimum Bid Amount:  " + formatMoney(values.minimumBid, MoneyFormat::Plain)
        + u"  (with increment of "
        + formatMoney(record ? record->recBidIncrement : Money {}, MoneyFormat::Plain) + u")";
    values.price = itemValue(store, item, ItemValue::MaxAutoBid, QString()).trimmed();
    values.quantity = itemValue(store, item, ItemValue::MaxQuantity, QStringLiteral("1"));
    values.seconds = itemValue(store, item, ItemValue::MaxTimeLeft, QStringLiteral("20"));
    return values;
}

MaxBidCheck checkMaxBid(const QString &text, Money minimumBid)
{
    if (text.isEmpty())
        return MaxBidCheck::Empty;
    if (!isNumeric(text))
        return MaxBidCheck::NotNumeric;
    if (Money::fromDouble(numericValue(text)) < minimumBid)
        return MaxBidCheck::BelowMinimum;
    return MaxBidCheck::Accepted;
}

BidChoiceCheck checkBidChoices(const QString &quantity, const QString &seconds, qint32 highestQuantity)
{
    if (!wholeNumberWithin(quantity, 1, highestQuantity))
        return BidChoiceCheck::QuantityOutOfRange;
    if (!wholeNumberWithin(seconds, kFirstSeconds, kLastSeconds))
        return BidChoiceCheck::SecondsOutOfRange;
    return BidChoiceCheck::Accepted;
}

QString bidChoiceMessage(BidChoiceCheck check, qint32 highestQuantity)
{
    switch (check) {
    case BidChoiceCheck::QuantityOutOfRange:
        return QStringLiteral("Please check, Max.Quantity must be a whole number from 1 to %1")
            .arg(highestQuantity);
    case BidChoiceCheck::SecondsOutOfRange:
        return QStringLiteral("Please check, the seconds before the end must be a whole number from %1 to %2")
            .arg(kFirstSeconds)
            .arg(kLastSeconds);
    case BidChoiceCheck::Accepted:
        break;
    }
    return {};
}

std::optional<QString> maxBidTypoQuestion(const QString &text, Money currentPrice)
{
    constexpr qint64 kTimesBeforeAsking = 10;
    const Money amount = Money::fromDouble(numericValue(text));
    if (currentPrice <= Money {} || amount.units() <= kTimesBeforeAsking * currentPrice.units())
        return std::nullopt;
    const qint64 times = amount.units() / currentPrice.units();
    return u"Is " + formatMoney(amount) + u" right? It is " + QString::number(times)
        + u" times the current price.";
}

AutoBidEntry autoBidEntry(const QString &priceText, const QString &quantityText, const QString &secondsText)
{
    return AutoBidEntry { Money::fromDouble(numericValue(priceText)), roundedComboNumber(quantityText),
        roundedComboNumber(secondsText) };
}

void storeAutoBid(RegistryStore &store, const QString &item, const WatchItemRecord &record)
{
    const QString key = itemKeyPath(item);
    const double end = toDayNumber(record.recEndDate);
    SaveRegDword(
        store, RegRoot::CurrentUser, key, QString::fromUtf16(ItemValue::AuctionEndDate), storedEndDay(end));
    SaveRegString(store, RegRoot::CurrentUser, key, QString::fromUtf16(ItemValue::AuctionEndDateTxt),
        storedDecimalText(end));
    SaveRegString(store, RegRoot::CurrentUser, key, QString::fromUtf16(ItemValue::MaxAutoBid),
        storedDecimalText(record.recMaxAutoBid.toDouble()));
    SaveRegString(store, RegRoot::CurrentUser, key, QString::fromUtf16(ItemValue::MaxQuantity),
        QString::number(record.recMaxQuantity));
    SaveRegString(store, RegRoot::CurrentUser, key, QString::fromUtf16(ItemValue::MaxTimeLeft),
        QString::number(record.recMaxTimeLeft));
}

void deleteAutoBid(RegistryStore &store, const QString &item, WatchItemRecord *record, bool keepTraces)
{
    const QString key = itemKeyPath(item);
    QList<const char16_t *> names { ItemValue::AuctionEndDate, ItemValue::MaxAutoBid, ItemValue::MaxQuantity,
        ItemValue::MaxTimeLeft, ItemValue::BidGroup };
    if (!keepTraces)
        names += { ItemValue::AuctionEndDateTxt, ItemValue::AutoBidAt };
    for (const char16_t *name : names)
        DeleteRegValue(store, RegRoot::CurrentUser, key, QString::fromUtf16(name));
    if (record) {
        record->recMaxAutoBid = Money {};
        record->recMaxQuantity = 0;
        record->recMaxTimeLeft = 0;
    }
}

QString chosenBidGroup(const QString &text)
{
    const QString group = text.trimmed();
    return group == QStringView(kNoBidGroup) ? QString() : group;
}

QString autoBidToolTip(const WatchItemRecord &record, const QString &group)
{
    // The quantity shown is the one the page offers, not the one bid for.
    return u"Max bid is: " + formatMoney(record.recMaxAutoBid) + u", Qty: "
        + QString::number(record.recQuantity) + u", Bid @ the last " + QString::number(record.recMaxTimeLeft)
        + u" sec." + bidGroupTipLine(group);
}

} // namespace th
