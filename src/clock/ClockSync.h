#pragma once

#include <functional>

#include <QDateTime>
#include <QObject>
#include <QStringView>

#include "clock/ClockState.h"
#include "clock/DaytimeReply.h"
#include "common/Result.h"

namespace th {

class IClock;
class IClockSetter;
class ITimeZoneSource;

// Turns time-server replies into the clock offset, corrects the PC clock when asked, and
// keeps the zone values (Pacific offset, zone name and abbreviation) of the shared state.
// The automatic check and the clock dialog each feed it the replies of their own query.
class ClockSync final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClockSync)

public:
    ClockSync(ClockState &state, const IClock &clock, const ITimeZoneSource &zones, IClockSetter &clockSetter,
        QObject *parent = nullptr);

    // Sets ClockOffsetSeconds to the seconds the PC clock must move to match the server's
    // `record`. Returns false and leaves the offset as it was when the PC's zone cannot be
    // read or the offset does not fit 32 bits. With `setClock`, then asks for the whole
    // date-time to move by the offset; clockCorrected (offset back to 0) or
    // clockCorrectionFailed (offset kept) follows. Nothing is asked when the offset is 0,
    // nor while an earlier correction is still waiting for its answer (two relative moves
    // would add up).
    bool ComputeClockOffset(const DaytimeRecord &record, bool setClock);

    // ParseDaytimeReply, then ComputeClockOffset; false for a reply that cannot be read.
    bool applyDaytimeReply(QStringView reply, bool setClock);

    // Reads the PC's zone now: sets TimeZoneName, TimeZoneAbbrev and PacificOffsetHours
    // (hours local time is ahead of US Pacific time, truncated toward zero) and returns
    // the hours. The hours come from the local time itself, so they hold even when the
    // zone's names cannot be read (the names are then empty).
    qint16 GetPacificOffsetHours();

    // Now as US Pacific wall time, exactly: the auction site's clock.
    QDateTime auctionSiteNow() const;

    // A correction the user asked for in the clock dialog: moves the whole date-time by
    // `msecs`, letting the desktop ask for authorisation. ClockOffsetSeconds is left as it
    // is; `done` gets the outcome (not called when this object is gone by then).
    void moveClockByUser(qint64 msecs, std::function<void(Result<void>)> done);

    // True while a correction waits for the clock setter's answer.
    bool isCorrecting() const { return m_correcting; }

Q_SIGNALS:
    // The PC clock was moved by `seconds`.
    void clockCorrected(qint32 seconds);
    // The PC clock could not be moved; ClockOffsetSeconds still holds the offset.
    void clockCorrectionFailed(const QString &message);
    // The same, with the setter's error code (IClockSetter::kKeptByNetworkTime and others).
    void clockCorrectionRefused(const Error &error);

private:
    void startCorrection();

    ClockState &m_state;
    const IClock &m_clock;
    const ITimeZoneSource &m_zones;
    IClockSetter &m_clockSetter;
    bool m_correcting = false;
};

} // namespace th
