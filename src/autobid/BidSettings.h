#pragma once

#include <optional>

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "autobid/BidGroups.h"
#include "common/Money.h"

namespace th {

class RegistryStore;
struct WatchItemRecord;

// What the automatic-bid dialog shows when it opens for an item.
struct AutoBidDialogValues {
    QString auctionTitle; // Auction: "title"
    QString currentMaxBid; // the price column
    QString minimumBidText;
    Money minimumBid; // current price and increment: the least the dialog accepts
    Money currentPrice;
    QStringList secondsChoices; // 2..60, then 65..180 in fives
    QStringList quantityChoices; // 1 .. the page's quantity
    qint32 highestQuantity = 1; // the page's quantity, at least 1
    // The stored setting, or "", "1" and "20" for an item never set.
    QString price;
    QString quantity;
    QString seconds;
    // The bid group: the item's own ("" for none), the groups to choose from, and the groups
    // as they stand, for their limits and for the warning about members ending too close.
    QString item;
    QDateTime end;
    QString group;
    QStringList groupNames;
    BidGroups groups;
};

// What the user confirmed in the dialog.
struct AutoBidEntry {
    Money amount;
    qint32 quantity = 0;
    qint32 seconds = 0;
    QString group; // "" for none
    int groupLimit = BidGroups::kDefaultLimit; // the group's "Win up to"
};

// The dialog's values for the item `item`, with its record (when there is one), the row's
// title and price texts, and the item's stored setting.
AutoBidDialogValues autoBidDialogValues(const QString &item, const QString &title, const QString &priceText,
    const WatchItemRecord *record, const RegistryStore &store);

// The checks of the dialog's OK, in order.
enum class MaxBidCheck { Accepted, Empty, NotNumeric, BelowMinimum };
MaxBidCheck checkMaxBid(const QString &text, Money minimumBid);

// The checks of the quantity and the seconds after the price's: whole numbers within the
// dialog's lists (1 .. `highestQuantity`; 2 .. 180 seconds). Anything else would make an
// automatic bid that shows as set but can never be placed.
enum class BidChoiceCheck { Accepted, QuantityOutOfRange, SecondsOutOfRange };
BidChoiceCheck checkBidChoices(const QString &quantity, const QString &seconds, qint32 highestQuantity);
// What the user is told about a refused quantity or seconds value.
QString bidChoiceMessage(BidChoiceCheck check, qint32 highestQuantity);

// After the checks: a maximum of more than ten times the current price is more likely a
// slipped digit than a plan, and the user is asked to confirm it. The question, or nothing
// when the amount needs none (or there is no price to compare with).
std::optional<QString> maxBidTypoQuestion(const QString &text, Money currentPrice);

// The dialog's confirmed values, once every check has passed: the amount, the quantity and
// the seconds.
AutoBidEntry autoBidEntry(const QString &priceText, const QString &quantityText, const QString &secondsText);

// Stores an automatic bid from the record's end and its three bid fields.
void storeAutoBid(RegistryStore &store, const QString &item, const WatchItemRecord &record);
// Takes the automatic bid away, its group with it: every value of it, or (`keepTraces`, when a reminder note
// replaces it) all but the exact end and the moment it fired. The record's bid fields go
// to 0 at once, so that nothing can fire for it any more.
void deleteAutoBid(RegistryStore &store, const QString &item, WatchItemRecord *record, bool keepTraces);

// The text the automatic-bid dialog shows for "no group".
inline constexpr char16_t kNoBidGroup[] = u"(none)";
// The group chosen in the dialog's box: "" for the "(none)" entry or blanks.
QString chosenBidGroup(const QString &text);

// The list's tool tip for an item in Auto-Bid, naming its bid group when it has one.
QString autoBidToolTip(const WatchItemRecord &record, const QString &group = {});

} // namespace th
