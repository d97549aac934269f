#pragma once

#include <QObject>

#include "platform/IClockSetter.h"

namespace th {

// Moves the clock through systemd-timedated on the system bus. timedated asks the desktop
// for the user's authorisation (only for an interactive request) and refuses while network
// time synchronisation is on; a refusal comes back as a failure with timedated's own
// message, the one for network time synchronisation with kKeptByNetworkTime.
class TimedatedClockSetter final : public QObject, public IClockSetter {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TimedatedClockSetter)

public:
    explicit TimedatedClockSetter(QObject *parent = nullptr);
    void adjustBy(qint64 offsetMsecs, bool interactive, std::function<void(Result<void>)> done) override;
};

} // namespace th
