#pragma once

#include <QDBusUnixFileDescriptor>

#include "platform/ISleepGuard.h"

namespace th {

// The sleep lock of systemd-logind on the system bus: a "sleep" inhibitor in "block" mode,
// held for as long as the file descriptor logind hands out stays open. Waking up is logind's
// PrepareForSleep signal with false.
class LogindSleepGuard final : public ISleepGuard {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LogindSleepGuard)

public:
    explicit LogindSleepGuard(QObject *parent = nullptr);
    void hold(const QString &why) override;
    void release() override;

private Q_SLOTS:
    void onPrepareForSleep(bool goingToSleep);

private:
    // The reason of the lock held or asked for; empty when none is.
    QString m_why;
    // Tells the answer to the latest request from answers to requests overtaken since.
    quint64 m_request = 0;
    // Closing the last copy of the descriptor gives the lock back.
    QDBusUnixFileDescriptor m_lock;
};

} // namespace th
