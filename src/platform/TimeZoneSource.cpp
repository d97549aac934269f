#include "platform/ITimeZoneSource.h"

namespace th {

TimeZoneInformation SystemTimeZoneSource::information(const QDateTime &at) const
{
    return informationFor(QTimeZone::systemTimeZone(), at);
}

TimeZoneInformation SystemTimeZoneSource::informationFor(const QTimeZone &zone, const QDateTime &at)
{
    TimeZoneInformation info;
    if (!zone.isValid())
        return info;
    info.zone = zone;
    QString windowsId = QString::fromLatin1(QTimeZone::ianaIdToWindowsId(zone.id()));
    if (windowsId.isEmpty())
        windowsId = QString::fromLatin1(zone.id());
    info.standardName = windowsId;
    info.daylightName = windowsId.contains(u"Standard")
        ? QString(windowsId).replace(QStringLiteral("Standard"), QStringLiteral("Daylight"))
        : windowsId;
    info.biasMinutes = -zone.standardTimeOffset(at) / 60;
    // A zone without daylight-saving rules is simply on standard time all year.
    if (zone.hasDaylightTime()) {
        info.daylightBiasMinutes = -zone.daylightTimeOffset(at) / 60;
        if (info.daylightBiasMinutes == 0) {
            // Outside daylight time Qt reports no shift; the zone's usual shift is what the
            // information should carry, found half a year away.
            info.daylightBiasMinutes = -zone.daylightTimeOffset(at.addMonths(6)) / 60;
        }
        info.mode = zone.isDaylightTime(at) ? ZoneMode::Daylight : ZoneMode::Standard;
    } else {
        info.mode = ZoneMode::Standard;
    }
    return info;
}

} // namespace th
