#pragma once

#include <optional>

#include <QDateTime>
#include <QStringView>
#include <QtGlobal>

namespace th {

// The fields of one daytime reply, as the server sent them: UTC, two-digit year.
struct DaytimeRecord {
    quint8 year = 0;
    quint8 month = 0;
    quint8 day = 0;
    quint8 hour = 0;
    quint8 minute = 0;
    quint8 second = 0;

    bool operator==(const DaytimeRecord &) const = default;
};

// Reads a daytime reply ("\n49010 93-01-23 22:01:22 00 0 0 50.0 UTC(NIST) *"). Only the
// fixed places around the first colon count: the year 11 characters before it, the month
// 8, the day 5, the hour 2 before it, the minutes 1 and the seconds 4 after it, two
// characters each. Nothing when there is no colon, when a place lies before the start of
// the text, or when a field is not a number in 0..255.
std::optional<DaytimeRecord> ParseDaytimeReply(QStringView text);

// The server's UTC date-time of a record: years 0..29 are 2000..2029, 30..99 are
// 1930..1999; fields beyond their range carry over (month 13 is January of the next year,
// second 60 of a leap second is the next minute), so every record has one date-time.
QDateTime daytimeRecordToUtc(const DaytimeRecord &record);

} // namespace th
