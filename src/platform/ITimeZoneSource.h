#pragma once

#include <QDateTime>
#include <QString>
#include <QTimeZone>

namespace th {

// Which part of the year the PC's zone is in.
enum class ZoneMode {
    Unknown,  // the zone could not be read
    Standard, // standard time, also for a zone without daylight-saving rules
    Daylight, // daylight-saving time
};

// The PC's time-zone information in the form the clock code reasons in.
struct TimeZoneInformation
{
    ZoneMode mode = ZoneMode::Unknown;
    // Windows-style names ("Eastern Standard Time", "Eastern Daylight Time").
    QString standardName;
    QString daylightName;
    // Minutes to add to local standard time to get UTC (480 for US Pacific), and the
    // further minutes while daylight time is in effect (-60 for a one-hour shift).
    int biasMinutes = 0;
    int daylightBiasMinutes = 0;
    // The zone itself, for exact conversions between local and other zones' wall times.
    QTimeZone zone;
};

class ITimeZoneSource
{
public:
    virtual ~ITimeZoneSource() = default;
    // The information as it holds at the instant `at`.
    virtual TimeZoneInformation information(const QDateTime &at) const = 0;
};

// The zone the PC runs in (QTimeZone::systemTimeZone(), names through the IANA-to-Windows
// mapping).
class SystemTimeZoneSource final : public ITimeZoneSource
{
public:
    TimeZoneInformation information(const QDateTime &at) const override;
    // The same computation for any zone, so that tests can check each zone.
    static TimeZoneInformation informationFor(const QTimeZone &zone, const QDateTime &at);
};

} // namespace th
