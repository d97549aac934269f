#pragma once

#include <QDateTime>
#include <QString>

#include "common/Money.h"

namespace th {

// The display formats of the program. Day and month names are English whatever the
// user's locale, because the auction site and its users read them that way.

enum class MoneyFormat {
    Dollar, // "$#,##0.00"  -> "$1,234.50"
    DollarSpaced, // "$ #,##0.00" -> "$ 1,234.50"
    Plain, // "#,##0.00"   -> "1,234.50"
};
QString formatMoney(Money amount, MoneyFormat format = MoneyFormat::Dollar);

// "00": at least two digits.
QString formatTwoDigits(qint64 value);

// "hh:mm:ss" of a time of day.
QString formatClock(const QTime &time);

enum class DateFormat {
    ShortYear, // "ddd, mmm dd, yy - hh:mm AM/PM"   -> "Thu, Apr 10, 03 - 06:30 PM"
    Slashed, // "ddd, mmm/dd/yy hh:mm AM/PM"      -> "Thu, Apr/10/03 06:30 PM"
    LongYear, // "ddd, mmm dd, yyyy - hh:mm AM/PM" -> "Thu, Apr 10, 2003 - 06:30 PM"
};
QString formatDate(const QDateTime &dateTime, DateFormat format);

// English three-letter names: dayName(1) is "Mon" ... dayName(7) "Sun"; monthName(1) "Jan".
QString shortDayName(int isoDay);
QString shortMonthName(int month);

// The program's own date-time text (hidden sort column, stored firing times): one fixed
// format, written and read back by the program alone, whose text order is time order.
QString dateTimeText(const QDateTime &dateTime);
// An invalid QDateTime for a text that is not in that format.
QDateTime parseDateTimeText(const QString &text);

} // namespace th
