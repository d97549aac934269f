#pragma once

#include <QTimer>

namespace th {

// Switching a timer on never restarts a cycle that is already running: the update
// engine's time-outs rely on a re-armed timer keeping its first deadline.
inline void enableTimer(QTimer &timer)
{
    if (!timer.isActive())
        timer.start();
}

inline void disableTimer(QTimer &timer)
{
    timer.stop();
}

// Creates a timer with its name, interval and state at creation.
inline void setUpTimer(
    QTimer &timer, const char *name, int intervalMsecs, bool enabled, bool singleShot = false)
{
    timer.setObjectName(QString::fromLatin1(name));
    timer.setInterval(intervalMsecs);
    timer.setSingleShot(singleShot);
    if (enabled)
        timer.start();
}

} // namespace th
