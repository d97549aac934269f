#pragma once

#include <QString>
#include <QtGlobal>

namespace th {

// The clock values the whole program shares for its run. Owned by the application and
// handed by reference to the clock sync, the update engine and the main window.
struct ClockState {
    // Whole seconds to add to the PC clock to match the time server; 0 again once the
    // clock has been corrected.
    qint32 ClockOffsetSeconds = 0;
    // Hours the PC's local time is ahead of US Pacific time at the last look, truncated
    // toward zero (a half-hour zone 12.5 hours ahead reads 12).
    qint16 PacificOffsetHours = 0;
    // The PC's zone name as the desktop shows it ("Eastern Daylight Time") and its
    // abbreviation ("EDT").
    QString TimeZoneName;
    QString TimeZoneAbbrev;
};

} // namespace th
