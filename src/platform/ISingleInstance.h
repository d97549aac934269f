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

// A lock file whose name derives from the canonical path of the data folder, kept in the
// user's runtime folder (it is not inside the data folder, which may be read-only or on a
// network share). A lock left by a crashed process is taken over. The local socket through
// which later starts ask for the window lies beside it, named the same way.
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
    QString m_socketPath;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<ShowRequestChannel> m_channel;
};

} // namespace th
