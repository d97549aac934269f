#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace th {

class RegistryStore;

// Where the program keeps its state in the store (all under the current-user root unless
// said otherwise).

// The settings; `AppSettings` is their copy in memory.
inline constexpr char16_t kSettingsKey[] = u"Software\\Quillmarsh\\Tallyhawk\\Setting\\";
// One sub-key per watched item, named after the item number, and nothing else.
inline constexpr char16_t kWatchListKey[] = u"Software\\Quillmarsh\\Tallyhawk\\Watches";
// The start-up entry, present only while starting with the desktop is switched on.
inline constexpr char16_t kRunKey[] = u"SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN";
inline constexpr char16_t kRunValueName[] = u"Tallyhawk";

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
} // namespace ItemValue

// The item key of an item: the watch list key, a backslash and the item number with the
// blanks around it removed.
QString itemKeyPath(const QString &itemNumber);

// Whether a sub-key name of the watch list key names an item: digits only once the blanks
// around it are removed. Any other name ("abc", "1 2", "60000abc") would become a list row, a
// request line and an address, so keys that arrive by import or from an old store are held
// to this before they are used.
bool isItemKeyName(QStringView name);

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
