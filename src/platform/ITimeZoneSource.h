#pragma once

#include <QDateTime>
#include <QString>
#include <QTimeZone>

namespace th {

// Which part of the year the PC's zone is in.
enum class ZoneMode {
    Unknown, // the zone could not be read
    Standard, // standard time, also for a zone without daylight-saving rules
    Daylight, // daylight-saving time
};

// The PC's time-zone information in the form the clock code reasons in: the names, biases
// and mode the desktop reports for its zone.
struct TimeZoneInformation {
    ZoneMode mode = ZoneMode::Unknown;
    // Windows-style names ("Eastern Standard Time", "Eastern Daylight Time"). The daylight
    // name is the standard one with "Standard" swapped for "Daylight"; a name without
    // "Standard" serves for both.
    QString standardName;
    QString daylightName;
    // Minutes to add to local standard time to get UTC (480 for US Pacific), and the
    // further minutes while daylight time is in effect (-60 for a one-hour shift; 0 for a
    // zone that keeps standard time all year).
    int biasMinutes = 0;
    int daylightBiasMinutes = 0;
    // The zone itself; invalid when the mode is Unknown.
    QTimeZone zone;
};

// Where the PC's time-zone information comes from.
class ITimeZoneSource {
public:
    virtual ~ITimeZoneSource() = default;
    // The information as it holds at the instant `at`.
    virtual TimeZoneInformation information(const QDateTime &at) const = 0;
};

} // namespace th
