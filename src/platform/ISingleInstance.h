#pragma once

#include <functional>
#include <memory>

#include <QString>

class QLockFile;

namespace th {

class ShowRequestChannel;

// One running program per data folder.
class ISingleInstance {
public:
    virtual ~ISingleInstance() = default;
    // True when this process now holds the data folder; false when another one does.
    virtual bool tryAcquire() = 0;
    // The holder only: from now on `showRequested` runs whenever a later start asks for
    // the main window.
    virtual void listenForShowRequests(std::function<void()> showRequested) = 0;
    // A later start only: asks the holder to show and raise its main window. False when
    // the holder could not be reached; the caller ends either way.
    virtual bool askHolderToShow() = 0;
};

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
