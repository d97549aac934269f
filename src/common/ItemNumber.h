#pragma once

#include <optional>

#include <QString>
#include <QStringView>

namespace th {

// The smallest number the auction site ever gave an item.
inline constexpr qint64 kMinItemNumber = 500000;

// The digits of an item number kept as the records keep it (a double, as the list's
// number column sorts it).
inline QString itemNumberText(double itemNumber)
{
    return QString::number(qint64(itemNumber));
}

// An item number as the user may type it: blanks around it are dropped; what remains must
// be digits only and at least 500000. Anything else ("1e6", "500000.5", "+500000") would
// become a store key and part of an address, so it is refused. Returns the trimmed digits.
std::optional<QString> normalizeItemNumber(QStringView typed);

// What the user typed or pasted into Add Item: an item page address (http or https, with
// the number in its "item=" query value, as the program's own item-page addresses carry
// it) gives that value; anything else is returned as it was, trimmed, for the check above.
QString itemNumberOrAddress(const QString &typed);

} // namespace th
