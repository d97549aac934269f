#include "common/DateTimeMath.h"

#include <cmath>

#include <QTimeZone>

namespace th {

namespace {

constexpr qint64 kMsecsPerDay = 86400LL * 1000;

QDate dayZero()
{
    return QDate(1899, 12, 30);
}

qint64 floorDiv(qint64 a, qint64 b)
{
    qint64 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

} // namespace

double toDayNumber(const QDateTime &localTime)
{
    const QDateTime local = localTime.toLocalTime();
    const qint64 days = dayZero().daysTo(local.date());
    const double fraction = local.time().msecsSinceStartOfDay() / double(kMsecsPerDay);
    return days >= 0 ? double(days) + fraction : double(days) - fraction;
}

QDateTime fromDayNumber(double dayNumber)
{
    if (!std::isfinite(dayNumber))
        return {};
    const double whole = std::trunc(dayNumber);
    const double fraction = std::abs(dayNumber - whole);
    qint64 msecs = std::llround(fraction * double(kMsecsPerDay));
    qint64 days = qint64(whole);
    // A fraction that rounds up to a whole day belongs to the next day away from zero's
    // direction of counting time, i.e. the following midnight.
    if (msecs >= kMsecsPerDay) {
        msecs -= kMsecsPerDay;
        days += dayNumber >= 0 ? 1 : -1;
    }
    const QDate date = dayZero().addDays(days);
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(msecs)));
}

qint64 secondBoundaries(const QDateTime &from, const QDateTime &to)
{
    return secondBoundaries(from.toMSecsSinceEpoch(), to.toMSecsSinceEpoch());
}

qint64 minuteBoundaries(const QDateTime &from, const QDateTime &to)
{
    return minuteBoundaries(from.toMSecsSinceEpoch(), to.toMSecsSinceEpoch());
}

qint64 secondBoundaries(qint64 fromMsecs, qint64 toMsecs)
{
    return floorDiv(toMsecs, 1000) - floorDiv(fromMsecs, 1000);
}

qint64 minuteBoundaries(qint64 fromMsecs, qint64 toMsecs)
{
    return floorDiv(toMsecs, 60000) - floorDiv(fromMsecs, 60000);
}

} // namespace th
