#pragma once

#include <QDateTime>

namespace th {

// Stored dates are day numbers: days since 1899-12-30 with the time of day as the fraction.
// Before that day the whole part counts backwards while the fraction still counts forward
// from midnight (-1.25 is 1899-12-29 06:00), as the stored format has always done.
double toDayNumber(const QDateTime &localTime);
QDateTime fromDayNumber(double dayNumber);

// Boundaries of whole seconds (resp. minutes) crossed going from `from` to `to`, on real
// elapsed time, so a daylight-saving change in between does not shift the count. Negative
// when `to` lies before `from`. 12:00:45 -> 12:04:15 crosses 4 minute boundaries.
qint64 secondBoundaries(const QDateTime &from, const QDateTime &to);
qint64 minuteBoundaries(const QDateTime &from, const QDateTime &to);
// The same between two instants given as milliseconds since 1970-01-01 00:00 UTC: no time
// zone is consulted.
qint64 secondBoundaries(qint64 fromMsecs, qint64 toMsecs);
qint64 minuteBoundaries(qint64 fromMsecs, qint64 toMsecs);

} // namespace th
