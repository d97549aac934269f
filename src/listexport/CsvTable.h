#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace th {

struct ListEntry;

// The column names of the CSV table: the list's visible columns, then the automatic bid.
QStringList csvHeader();

// The watch list as a CSV table (a header line, then one line per row in list order):
// UTF-8 without a byte-order mark, every line ended by CR LF, a field in double quotes
// (its quotes doubled) when it holds a comma, a quote, a line break or blanks at either end.
// The end is written in ISO 8601 with its offset from UTC, so that a spreadsheet sorts it;
// an unknown end and the automatic-bid fields of an item without one stay empty.
QByteArray csvTable(const QList<ListEntry> &entries);

// "2026-12-08T18:30:00-08:00": the date-time with its offset from UTC; empty when invalid.
QString isoDateTimeWithOffset(const QDateTime &when);

// One field as the table writes it.
QString csvField(const QString &text);

} // namespace th
