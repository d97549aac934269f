#pragma once

#include <QDateTime>

namespace th::sim {

// The simulator's notion of "now" (UTC). In tests it stands still until it is set or moved,
// so every end, bid and daytime line is reproducible; the program runs it on real time, and
// setting it there shifts it by a fixed offset from the real clock.
class SimClock final {
public:
    enum class Mode { Manual, Real };

    // A manual clock standing at the given instant (converted to UTC).
    explicit SimClock(const QDateTime &start = defaultStart());

    static QDateTime defaultStart();

    Mode mode() const { return m_mode; }
    QDateTime now() const;

    // Manual mode: jumps to the instant. Real mode: keeps running from the instant on.
    void setNow(const QDateTime &instant);
    void advanceSeconds(qint64 seconds) { advanceMsecs(seconds * 1000); }
    void advanceMsecs(qint64 msecs);

    // Switches to the real clock (no offset until the clock is set).
    void useRealTime();
    // Freezes the clock at the instant it shows now.
    void useManualTime();

private:
    Mode m_mode = Mode::Manual;
    QDateTime m_manualNow;
    qint64 m_realOffsetMsecs = 0;
};

} // namespace th::sim
