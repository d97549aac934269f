#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include "store/StoreLayout.h"

namespace th {

class RegistryStore;

// The values of an item key. All are strings except `AuctionEndDate`, a 32-bit number.
namespace ItemValue {
inline constexpr char16_t Item[] = u"Item";
inline constexpr char16_t MaxBid[] = u"MaxBid";
inline constexpr char16_t MaxAutoBid[] = u"MaxAutoBid";
inline constexpr char16_t MaxQuantity[] = u"MaxQuantity";
inline constexpr char16_t MaxTimeLeft[] = u"MaxTimeLeft";
inline constexpr char16_t AuctionEndDate[] = u"AuctionEndDate";
inline constexpr char16_t AuctionEndDateTxt[] = u"AuctionEndDateTxt";
inline constexpr char16_t AutoBidAt[] = u"AutoBidAt";
inline constexpr char16_t WonItem[] = u"WonItem";
// The name of the bid group the item's automatic bid belongs to; missing for none.
inline constexpr char16_t BidGroup[] = u"BidGroup";
} // namespace ItemValue

// The item key of an item: the watch list key, a backslash and the item number with the
// blanks around it removed.
QString itemKeyPath(const QString &itemNumber);

// Whether the win check has marked the item as won by the user ("WonItem"): what the end
// notice and the bid groups count as a win.
bool storedAsWon(const RegistryStore &store, const QString &itemNumber);

// The watch list as stored: the item numbers (trimmed) of every sub-key of the watch list
// key, in the store's enumeration order. Empty when the key is missing or empty.
QStringList readWatchList(const RegistryStore &store);

// Numbers stored as text ("MaxAutoBid", "AuctionEndDateTxt") are plain decimals with a
// point, whatever the user's regional settings: 25.5, 37720.8125.
QString storedDecimalText(double number);

// The whole day number `AuctionEndDate` keeps for a date-time number: the nearest whole
// number (an end at 18:00 on day 37720 gives 37721).
qint32 storedEndDay(double dateTimeNumber);

} // namespace th
