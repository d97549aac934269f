#pragma once

#include <QDateTime>
#include <QString>

#include "common/Result.h"

namespace th {

// The local end date-time of an item from the end text of its page, "Apr-10-03 18:30:00 PDT":
// month name, day and two-digit year joined by hyphens (00-29 are 2000-2029, 30-99 are
// 1930-1999), the 24-hour time, and the Pacific zone label. The wall time is US Pacific time
// and is converted to local time with the time-zone database. An empty text is the zero
// date (1899-12-30 00:00); a text that cannot be read is an error.
Result<QDateTime> endDateFromPage(const QString &endsText);

} // namespace th
