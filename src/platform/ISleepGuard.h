#pragma once

#include <QObject>
#include <QString>

namespace th {

// Keeps the computer from going to sleep while the program has work that must not be slept
// through, and tells when the computer has woken up again. A lid closed on a laptop may still
// put it to sleep: the system decides that, not the program.
class ISleepGuard : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Asks the system to refuse to sleep from now on; `why` is what the system shows anyone
    // who asks what keeps it awake. Asking again with the same reason keeps the lock as it is;
    // another reason replaces it. The answer may come later: a refusal, or a system that
    // offers no such lock, comes as `unavailable`.
    virtual void hold(const QString &why) = 0;
    // The computer may sleep again. Nothing happens when no lock is held or asked for.
    virtual void release() = 0;

Q_SIGNALS:
    // The computer has woken up from sleep.
    void resumed();
    // No lock could be taken; `reason` says why in a few words.
    void unavailable(const QString &reason);
};

} // namespace th
