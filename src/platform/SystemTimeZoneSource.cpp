#include "platform/SystemTimeZoneSource.h"

#include <QLocale>

namespace th {

namespace {

// Zones renamed in the time-zone database after the table of Windows-style names was drawn
// up: the table still knows them under their former names.
struct RenamedZone {
    const char *current;
    const char *former;
};

constexpr RenamedZone kRenamedZones[] = {
    { "Africa/Asmara", "Africa/Asmera" },
    { "America/Argentina/Buenos_Aires", "America/Buenos_Aires" },
    { "America/Argentina/Catamarca", "America/Catamarca" },
    { "America/Argentina/Cordoba", "America/Cordoba" },
    { "America/Argentina/Jujuy", "America/Jujuy" },
    { "America/Argentina/Mendoza", "America/Mendoza" },
    { "America/Atikokan", "America/Coral_Harbour" },
    { "America/Indiana/Indianapolis", "America/Indianapolis" },
    { "America/Kentucky/Louisville", "America/Louisville" },
    { "America/Nuuk", "America/Godthab" },
    { "Asia/Ho_Chi_Minh", "Asia/Saigon" },
    { "Asia/Kathmandu", "Asia/Katmandu" },
    { "Asia/Kolkata", "Asia/Calcutta" },
    { "Asia/Yangon", "Asia/Rangoon" },
    { "Atlantic/Faroe", "Atlantic/Faeroe" },
    { "Europe/Kyiv", "Europe/Kiev" },
    { "Pacific/Chuuk", "Pacific/Truk" },
    { "Pacific/Kanton", "Pacific/Enderbury" },
    { "Pacific/Pohnpei", "Pacific/Ponape" },
    { "UTC", "Etc/UTC" },
    { "Universal", "Etc/UTC" },
    { "Zulu", "Etc/UTC" },
    { "Etc/Universal", "Etc/UTC" },
    { "Etc/Zulu", "Etc/UTC" },
};

QByteArray windowsIdOf(const QByteArray &ianaId)
{
    const QByteArray direct = QTimeZone::ianaIdToWindowsId(ianaId);
    if (!direct.isEmpty())
        return direct;
    for (const RenamedZone &renamed : kRenamedZones) {
        if (ianaId == renamed.current)
            return QTimeZone::ianaIdToWindowsId(renamed.former);
    }
    return {};
}

QString daylightNameFor(const QString &standardName)
{
    if (!standardName.contains(u"Standard"))
        return standardName;
    return QString(standardName).replace(QStringLiteral("Standard"), QStringLiteral("Daylight"));
}

} // namespace

TimeZoneInformation SystemTimeZoneSource::information(const QDateTime &at) const
{
    return informationFor(QTimeZone::systemTimeZone(), at);
}

QString SystemTimeZoneSource::standardNameOf(const QTimeZone &zone)
{
    const QByteArray windowsId = windowsIdOf(zone.id());
    if (!windowsId.isEmpty())
        return QString::fromLatin1(windowsId);
    const QString english = zone.displayName(
        QTimeZone::StandardTime, QTimeZone::LongName, QLocale(QLocale::English, QLocale::UnitedStates));
    if (!english.isEmpty())
        return english;
    return QString::fromLatin1(zone.id());
}

TimeZoneInformation SystemTimeZoneSource::informationFor(const QTimeZone &zone, const QDateTime &at)
{
    TimeZoneInformation info;
    if (!zone.isValid() || !at.isValid())
        return info;
    info.zone = zone;
    info.standardName = standardNameOf(zone);
    info.daylightName = daylightNameFor(info.standardName);

    // The biases always add up to the zone's offset at `at`, so that local time plus the
    // biases is exactly UTC whatever the zone's history.
    const int offsetNow = zone.offsetFromUtc(at);
    const int shiftNow = zone.daylightTimeOffset(at);
    // The zone's usual shift, for the half of the year without it.
    const int shiftAway = zone.daylightTimeOffset(at.addMonths(6));
    int standardOffset = offsetNow;
    int shift = 0;
    if (shiftNow < 0 || shiftAway < 0) {
        // Negative saving: the database calls the winter time daylight time; the desktop
        // shows the winter time as standard and the summer time as daylight time.
        shift = -(shiftNow < 0 ? shiftNow : shiftAway);
        info.mode = shiftNow < 0 ? ZoneMode::Standard : ZoneMode::Daylight;
        if (info.mode == ZoneMode::Daylight)
            standardOffset = offsetNow - shift;
    } else if (shiftNow > 0) {
        shift = shiftNow;
        info.mode = ZoneMode::Daylight;
        standardOffset = offsetNow - shift;
    } else {
        // Standard time, also all year round in a zone without daylight-saving rules.
        shift = shiftAway;
        info.mode = ZoneMode::Standard;
    }
    info.biasMinutes = -standardOffset / 60;
    info.daylightBiasMinutes = -shift / 60;
    return info;
}

} // namespace th
