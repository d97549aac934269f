#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace th {

struct ListEntry;

// What a calendar file needs besides the list itself.
struct CalendarOptions {
    // The item-page host ("host" or "host:port") the events' addresses point to.
    QString itemPageHost;
    // When the file is written; every event carries it as its stamp.
    QDateTime now;
    // The ending alerts, as the settings keep them: hours and minutes before the end, 0 for
    // an alert that is off. Items with an automatic bid get a calendar alarm at each.
    qint32 firstAlertHours = 0;
    qint32 secondAlertMinutes = 0;
};

// The watch list as an iCalendar file: one event per item that has a known end still ahead
// of `now` and that the last page did not call over, at its end (in UTC, lasting no time),
// with the title as summary, the item page as address, price and bids (and the automatic
// bid) in the description, and an identity that depends on the item number alone, so that a
// calendar reading the file again updates its events instead of adding new ones. UTF-8,
// lines ended by CR LF and folded at 75 octets.
QByteArray calendarFile(const QList<ListEntry> &entries, const CalendarOptions &options);

// A text value escaped for a calendar property: backslash, semicolon, comma and line breaks
// become escapes; other control characters become blanks.
QString calendarText(const QString &text);

// A content line folded as calendars read it: at most 75 octets a line before its CR LF,
// each continuation line starting with a blank, never inside a UTF-8 sequence.
QByteArray foldedCalendarLine(const QString &line);

} // namespace th
