#pragma once

#include <QStringView>

namespace th {

// Where the program keeps its state in the store (all under the current-user root unless
// said otherwise).

// The settings; `AppSettings` is their copy in memory.
inline constexpr char16_t kSettingsKey[] = u"Software\\Quillmarsh\\Tallyhawk\\Setting\\";
// One sub-key per watched item, named after the item number, and nothing else.
inline constexpr char16_t kWatchListKey[] = u"Software\\Quillmarsh\\Tallyhawk\\Watches";
// The bid groups' limits: one string value per group, named after the group, holding the
// whole number of wins its members may make ("Win up to"). Kept beside the watch list rather
// than below it, where only item keys belong.
inline constexpr char16_t kBidGroupsKey[] = u"Software\\Quillmarsh\\Tallyhawk\\BidGroups";
// The start-up entry, present only while starting with the desktop is switched on.
inline constexpr char16_t kRunKey[] = u"SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN";
inline constexpr char16_t kRunValueName[] = u"Tallyhawk";

// Whether a sub-key name of the watch list key names an item: digits only once the blanks
// around it are removed. Any other name ("abc", "1 2", "60000abc") would become a list row, a
// request line and an address, so keys that arrive by import or from an old store are held
// to this before they are used.
bool isItemKeyName(QStringView name);

} // namespace th
