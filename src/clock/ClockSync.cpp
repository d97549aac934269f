#include "clock/ClockSync.h"

#include <limits>

#include <QPointer>

#include "clock/ClockLog.h"
#include "clock/PacificTime.h"
#include "common/DateTimeMath.h"
#include "platform/IClock.h"
#include "platform/IClockSetter.h"
#include "platform/ITimeZoneSource.h"

namespace th {

Q_LOGGING_CATEGORY(lcClock, "tallyhawk.clock")

ClockSync::ClockSync(ClockState &state, const IClock &clock, const ITimeZoneSource &zones,
    IClockSetter &clockSetter, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_clock(clock)
    , m_zones(zones)
    , m_clockSetter(clockSetter)
{
}

bool ClockSync::ComputeClockOffset(const DaytimeRecord &record, bool setClock)
{
    const QDateTime now = m_clock.now().toLocalTime();
    const TimeZoneInformation info = m_zones.information(now);
    const QDateTime serverUtc = daytimeRecordToUtc(record);
    // The PC's wall time against the server's UTC wall time; the zone's biases then turn
    // that difference into the offset of the PC clock itself.
    const QDateTime pcWall(now.date(), now.time(), Qt::UTC);
    const qint64 wallDifference = secondBoundaries(pcWall, serverUtc);
    qint64 offset = 0;
    switch (info.mode) {
    case ZoneMode::Standard:
        offset = wallDifference - qint64(info.biasMinutes) * 60;
        break;
    case ZoneMode::Daylight:
        offset = wallDifference - qint64(info.biasMinutes) * 60 - qint64(info.daylightBiasMinutes) * 60;
        break;
    case ZoneMode::Unknown:
        qCInfo(lcClock) << "The time zone cannot be read; the clock offset stays"
                        << m_state.ClockOffsetSeconds;
        return false;
    }
    if (offset < std::numeric_limits<qint32>::min() || offset > std::numeric_limits<qint32>::max()) {
        qCInfo(lcClock) << "A time-server date of" << serverUtc << "is out of reach; ignored";
        return false;
    }
    m_state.ClockOffsetSeconds = qint32(offset);
    if (setClock)
        startCorrection();
    return true;
}

bool ClockSync::applyDaytimeReply(QStringView reply, bool setClock)
{
    const std::optional<DaytimeRecord> record = ParseDaytimeReply(reply);
    if (!record)
        return false;
    return ComputeClockOffset(*record, setClock);
}

void ClockSync::startCorrection()
{
    const qint32 seconds = m_state.ClockOffsetSeconds;
    if (seconds == 0 || m_correcting)
        return;
    m_correcting = true;
    // A relative move: the date goes along when the correction crosses midnight. Automatic
    // work never makes the desktop ask the user for authorisation.
    m_clockSetter.adjustBy(
        qint64(seconds) * 1000, false, [self = QPointer<ClockSync>(this), seconds](Result<void> result) {
            if (!self)
                return;
            self->m_correcting = false;
            if (!result) {
                qCWarning(lcClock) << "Clock correction by" << seconds
                                   << "s failed:" << result.errorMessage();
                Q_EMIT self->clockCorrectionFailed(result.errorMessage());
                if (self)
                    Q_EMIT self->clockCorrectionRefused(result.error());
                return;
            }
            self->m_state.ClockOffsetSeconds = 0;
            Q_EMIT self->clockCorrected(seconds);
        });
}

void ClockSync::moveClockByUser(qint64 msecs, std::function<void(Result<void>)> done)
{
    m_clockSetter.adjustBy(
        msecs, true, [self = QPointer<ClockSync>(this), done = std::move(done)](Result<void> result) {
            if (!result)
                qCWarning(lcClock) << "Clock setting asked by the user failed:" << result.errorMessage();
            if (self && done)
                done(result);
        });
}

qint16 ClockSync::GetPacificOffsetHours()
{
    const QDateTime now = m_clock.now();
    const TimeZoneInformation info = m_zones.information(now);
    m_state.TimeZoneName = timeZoneNameOf(info);
    m_state.TimeZoneAbbrev = timeZoneAbbrevOf(m_state.TimeZoneName);
    m_state.PacificOffsetHours = pacificOffsetHoursAt(now);
    return m_state.PacificOffsetHours;
}

QDateTime ClockSync::auctionSiteNow() const
{
    return toUsPacificTime(m_clock.now());
}

} // namespace th
