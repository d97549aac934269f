#pragma once

#include <QDateTime>
#include <QStringView>
#include <QTimeZone>

#include "platform/ITimeZoneSource.h"

namespace th {

// The auction site keeps its time in US Pacific time. These conversions go through the
// time-zone database, so they hold in every zone and on both sides of every daylight-saving
// change (Hawaii, Arizona, India and Europe included).

// The US Pacific zone (America/Los_Angeles); the current US rule when the database lacks it.
QTimeZone usPacificTimeZone();

// Hours the local time is ahead of US Pacific time at `instant`, truncated toward zero
// (3 in New York all year, -3 in Honolulu in July, 12 in India in July: 12.5 hours).
qint16 pacificOffsetHoursAt(const QDateTime &instant);

// `instant` as US Pacific wall time, exactly (the auction site's clock).
QDateTime toUsPacificTime(const QDateTime &instant);

// The local date-time of a Pacific wall time printed on a page with its zone label ("PST"
// or "PDT", any case; anything else counts as no label). The database decides wherever the
// wall time names one instant, whatever the label says. The label decides only where the
// wall time is ambiguous or does not exist:
// - the repeated hour when daylight time ends (01:00-01:59:59 in November) is the earlier,
//   daylight, instant with "PDT" and the later, standard, one with "PST";
// - the skipped hour when daylight time begins (02:00-02:59:59 in March) is read with the
//   label's offset, "PST" as UTC-8 and "PDT" as UTC-7.
// Without a label both cases take the earlier instant, so that a bid timed from it is never
// late. An invalid date or time gives an invalid date-time.
QDateTime pacificToLocal(const QDate &date, const QTime &time, QStringView zoneLabel = {});

// The zone name as the desktop shows it in the mode in effect: the standard name, or the
// daylight name cut to the standard name's length; at most 32 characters; empty when the
// zone could not be read.
QString timeZoneNameOf(const TimeZoneInformation &info);

// The characters of a zone name whose codes lie in 33..96 (capitals, digits, punctuation):
// "Pacific Standard Time" -> "PST".
QString timeZoneAbbrevOf(const QString &timeZoneName);

} // namespace th
