#pragma once

#include <QDateTime>
#include <QString>
#include <QTimeZone>

#include "platform/ITimeZoneSource.h"

namespace th {

// The zone the PC runs in (QTimeZone::systemTimeZone()).
class SystemTimeZoneSource final : public ITimeZoneSource {
public:
    TimeZoneInformation information(const QDateTime &at) const override;
    // The same computation for any zone. An invalid zone or instant gives the mode Unknown
    // and no names. A zone that observes no daylight saving at `at`'s time of year, or never,
    // reports Standard. Where a zone's saving is negative (its winter time is the
    // "daylight" one in the database), the winter time counts as standard, as the desktop
    // shows it everywhere else.
    static TimeZoneInformation informationFor(const QTimeZone &zone, const QDateTime &at);
    // The Windows-style standard name of a zone ("Pacific Standard Time", "India Standard
    // Time", "UTC"); for a zone the Windows names do not cover, its English long name.
    static QString standardNameOf(const QTimeZone &zone);
};

} // namespace th
