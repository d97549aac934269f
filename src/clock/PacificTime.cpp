#include "clock/PacificTime.h"

#include <algorithm>
#include <optional>

#include <QList>

namespace th {

namespace {

// The zone names of the desktop are at most this long.
constexpr qsizetype kMaxZoneNameLength = 32;

constexpr int kPacificStandardOffset = -8 * 3600;
constexpr int kPacificDaylightOffset = -7 * 3600;

std::optional<int> offsetOfLabel(QStringView label)
{
    const QStringView trimmed = label.trimmed();
    if (trimmed.compare(u"PST", Qt::CaseInsensitive) == 0)
        return kPacificStandardOffset;
    if (trimmed.compare(u"PDT", Qt::CaseInsensitive) == 0)
        return kPacificDaylightOffset;
    return std::nullopt;
}

} // namespace

QTimeZone usPacificTimeZone()
{
    static const QTimeZone zone = [] {
        QTimeZone pacific(QByteArrayLiteral("America/Los_Angeles"));
        if (pacific.isValid())
            return pacific;
        // The US rule since 2007: daylight time from the second Sunday of March to the
        // first Sunday of November, changing at 02:00 local time.
        return QTimeZone(QByteArrayLiteral("PST8PDT,M3.2.0,M11.1.0"));
    }();
    return zone;
}

qint16 pacificOffsetHoursAt(const QDateTime &instant)
{
    const int localOffset = instant.toLocalTime().offsetFromUtc();
    const int pacificOffset = usPacificTimeZone().offsetFromUtc(instant);
    // Integer division truncates toward zero, as the hour count must.
    return qint16((localOffset - pacificOffset) / 3600);
}

QDateTime toUsPacificTime(const QDateTime &instant)
{
    return instant.toTimeZone(usPacificTimeZone());
}

QDateTime pacificToLocal(const QDate &date, const QTime &time, QStringView zoneLabel)
{
    if (!date.isValid() || !time.isValid())
        return {};
    const QTimeZone pacific = usPacificTimeZone();
    const QDateTime wallAsUtc(date, time, Qt::UTC);
    // The offsets in force a day either side of the wall time include both offsets of a
    // change on that day. Each instant that shows this wall time is a candidate.
    const int offsetBefore = pacific.offsetFromUtc(wallAsUtc.addDays(-1));
    const int offsetAfter = pacific.offsetFromUtc(wallAsUtc.addDays(1));
    QList<QDateTime> candidates;
    for (const int offset : { offsetBefore, offsetAfter }) {
        const QDateTime instant = wallAsUtc.addSecs(-offset);
        if (pacific.offsetFromUtc(instant) == offset && !candidates.contains(instant))
            candidates.append(instant);
    }
    const std::optional<int> labelOffset = offsetOfLabel(zoneLabel);
    QDateTime chosen;
    if (candidates.size() == 1) {
        chosen = candidates.first();
    } else if (!candidates.isEmpty()) {
        // The repeated hour: the label picks its instant, otherwise the earlier one.
        chosen = *std::min_element(candidates.cbegin(), candidates.cend());
        for (const QDateTime &candidate : std::as_const(candidates)) {
            if (labelOffset && pacific.offsetFromUtc(candidate) == *labelOffset)
                chosen = candidate;
        }
    } else {
        // The skipped hour: the label's offset, otherwise the larger offset, which gives
        // the earlier instant.
        chosen = wallAsUtc.addSecs(-labelOffset.value_or(std::max(offsetBefore, offsetAfter)));
    }
    return chosen.toLocalTime();
}

QString timeZoneNameOf(const TimeZoneInformation &info)
{
    switch (info.mode) {
    case ZoneMode::Standard:
        return info.standardName.left(kMaxZoneNameLength);
    case ZoneMode::Daylight:
        return info.daylightName.left(std::min(kMaxZoneNameLength, info.standardName.size()));
    case ZoneMode::Unknown:
        break;
    }
    return {};
}

QString timeZoneAbbrevOf(const QString &timeZoneName)
{
    QString abbrev;
    for (const QChar c : timeZoneName) {
        if (c.unicode() >= 33 && c.unicode() <= 96)
            abbrev.append(c);
    }
    return abbrev;
}

} // namespace th
