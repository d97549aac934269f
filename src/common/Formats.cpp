#include "common/Formats.h"

#include <array>

#include "common/Numeric.h"

namespace th {

namespace {

QString groupThousands(qint64 whole)
{
    QString digits = QString::number(whole);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u',');
    return digits;
}

QString twelveHourClock(const QTime &time)
{
    int hour = time.hour() % 12;
    if (hour == 0)
        hour = 12;
    return formatTwoDigits(hour) + u':' + formatTwoDigits(time.minute())
        + (time.hour() < 12 ? u" AM" : u" PM");
}

constexpr const char16_t *kDays[] = { u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat", u"Sun" };
constexpr const char16_t *kMonths[]
    = { u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun", u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec" };

const QString kOwnFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

} // namespace

QString formatMoney(Money amount, MoneyFormat format)
{
    // Two decimals, halves to even, on the exact fixed-point value.
    const qint64 units = amount.units();
    const qint64 magnitude = units < 0 ? -units : units;
    qint64 cents = magnitude / 100;
    const qint64 rest = magnitude % 100;
    if (rest > 50 || (rest == 50 && cents % 2 != 0))
        ++cents;
    QString number = groupThousands(cents / 100) + u'.' + formatTwoDigits(cents % 100);
    QString prefix;
    switch (format) {
    case MoneyFormat::Dollar:
        prefix = QStringLiteral("$");
        break;
    case MoneyFormat::DollarSpaced:
        prefix = QStringLiteral("$ ");
        break;
    case MoneyFormat::Plain:
        break;
    }
    const QString sign = (units < 0 && cents != 0) ? QStringLiteral("-") : QString();
    return sign + prefix + number;
}

QString formatTwoDigits(qint64 value)
{
    if (value < 0)
        return u'-' + QString::number(-value).rightJustified(2, u'0');
    return QString::number(value).rightJustified(2, u'0');
}

QString formatClock(const QTime &time)
{
    return formatTwoDigits(time.hour()) + u':' + formatTwoDigits(time.minute()) + u':'
        + formatTwoDigits(time.second());
}

QString shortDayName(int isoDay)
{
    if (isoDay < 1 || isoDay > 7)
        return {};
    return QString::fromUtf16(kDays[isoDay - 1]);
}

QString shortMonthName(int month)
{
    if (month < 1 || month > 12)
        return {};
    return QString::fromUtf16(kMonths[month - 1]);
}

QString formatDate(const QDateTime &dateTime, DateFormat format)
{
    const QDate date = dateTime.date();
    const QString day = shortDayName(date.dayOfWeek());
    const QString month = shortMonthName(date.month());
    const QString dd = formatTwoDigits(date.day());
    const QString clock = twelveHourClock(dateTime.time());
    switch (format) {
    case DateFormat::ShortYear:
        return day + u", " + month + u' ' + dd + u", " + formatTwoDigits(date.year() % 100) + u" - " + clock;
    case DateFormat::Slashed:
        return day + u", " + month + u'/' + dd + u'/' + formatTwoDigits(date.year() % 100) + u' ' + clock;
    case DateFormat::LongYear:
        return day + u", " + month + u' ' + dd + u", " + QString::number(date.year()) + u" - " + clock;
    }
    return {};
}

QString dateTimeText(const QDateTime &dateTime)
{
    if (!dateTime.isValid())
        return {};
    return dateTime.toString(kOwnFormat);
}

QDateTime parseDateTimeText(const QString &text)
{
    return QDateTime::fromString(text.trimmed(), kOwnFormat);
}

} // namespace th
