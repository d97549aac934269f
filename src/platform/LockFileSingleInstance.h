#pragma once

#include <memory>

#include <QString>

#include "platform/ISingleInstance.h"

class QLockFile;

namespace th {

class ShowRequestChannel;

// A lock file in the data folder itself ("tallyhawk.lock" in its canonical path), so that
// every program using the folder finds it whatever its environment (a restore from a shell
// without the desktop's runtime folder included). A lock left by a crashed process is taken
// over. The local socket through which later starts ask for the window lies beside it
// ("tallyhawk.sock"); where that path would be too long for a socket, and for the lock where
// the folder cannot hold one, a name derived from the canonical path in the user's runtime
// folder serves instead.
class LockFileSingleInstance final : public ISingleInstance {
public:
    explicit LockFileSingleInstance(const QString &dataFolder);
    ~LockFileSingleInstance() override;
    bool tryAcquire() override;
    void listenForShowRequests(std::function<void()> showRequested) override;
    bool askHolderToShow() override;
    QString lockPath() const { return m_lockPath; }
    QString socketPath() const { return m_socketPath; }

private:
    QString m_lockPath;
    QString m_fallbackLockPath;
    QString m_socketPath;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<ShowRequestChannel> m_channel;
};

} // namespace th
