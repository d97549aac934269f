#include "sim/SimClock.h"

#include <QTimeZone>

namespace th::sim {

SimClock::SimClock(const QDateTime &start)
    : m_manualNow(start.toUTC())
{
}

QDateTime SimClock::defaultStart()
{
    // Noon in New York on 2 March 2026, the default "now" of the program's test clock, so an
    // in-process simulator and the program agree on the time unless a test moves them.
    return QDateTime(QDate(2026, 3, 2), QTime(17, 0), QTimeZone::utc());
}

QDateTime SimClock::now() const
{
    if (m_mode == Mode::Real)
        return QDateTime::currentDateTimeUtc().addMSecs(m_realOffsetMsecs);
    return m_manualNow;
}

void SimClock::setNow(const QDateTime &instant)
{
    const QDateTime utc = instant.toUTC();
    if (m_mode == Mode::Real)
        m_realOffsetMsecs = QDateTime::currentDateTimeUtc().msecsTo(utc);
    else
        m_manualNow = utc;
}

void SimClock::advanceMsecs(qint64 msecs)
{
    if (m_mode == Mode::Real)
        m_realOffsetMsecs += msecs;
    else
        m_manualNow = m_manualNow.addMSecs(msecs);
}

void SimClock::useRealTime()
{
    m_mode = Mode::Real;
    m_realOffsetMsecs = 0;
}

void SimClock::useManualTime()
{
    if (m_mode == Mode::Manual)
        return;
    m_manualNow = now();
    m_mode = Mode::Manual;
}

} // namespace th::sim
