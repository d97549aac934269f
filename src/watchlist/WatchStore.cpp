#include "watchlist/WatchStore.h"

#include "common/Numeric.h"
#include "store/RegistryFunctions.h"
#include "store/RegistryStore.h"

namespace th {

QString itemKeyPath(const QString &itemNumber)
{
    return QString::fromUtf16(kWatchListKey) + u'\\' + itemNumber.trimmed();
}

bool storedAsWon(const RegistryStore &store, const QString &itemNumber)
{
    return !GetRegString(store, RegRoot::CurrentUser, itemKeyPath(itemNumber),
        QString::fromUtf16(ItemValue::WonItem), QString())
                .trimmed()
                .isEmpty();
}

QStringList readWatchList(const RegistryStore &store)
{
    const QStringList names = ListRegSubKeys(store, RegRoot::CurrentUser, QString::fromUtf16(kWatchListKey));
    QStringList items;
    if (SafeUBound(names) < 0)
        return items;
    for (const QString &name : names)
        items.append(name.trimmed());
    return items;
}

QString storedDecimalText(double number)
{
    // Fifteen significant digits, as the date-time and money numbers have always been
    // written; the C locale of QString::number gives the point.
    QString text = QString::number(number, 'g', 15);
    if (!text.contains(u'e'))
        return text;
    // Very large or very small numbers are still written without an exponent.
    text = QString::number(number, 'f', 15);
    while (text.contains(u'.') && (text.endsWith(u'0') || text.endsWith(u'.')))
        text.chop(1);
    return text;
}

qint32 storedEndDay(double dateTimeNumber)
{
    return qint32(roundHalfEven(dateTimeNumber));
}

} // namespace th
