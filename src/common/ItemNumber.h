#pragma once

#include <optional>

#include <QString>
#include <QStringView>

namespace th {

// The smallest number the auction site ever gave an item.
inline constexpr qint64 kMinItemNumber = 500000;

// An item number as the user may type it: blanks around it are dropped; what remains must
// be digits only and at least 500000. Anything else ("1e6", "500000.5", "+500000") would
// become a store key and part of an address, so it is refused. Returns the trimmed digits.
std::optional<QString> normalizeItemNumber(QStringView typed);

} // namespace th
