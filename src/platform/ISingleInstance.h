#pragma once

#include <memory>

#include <QString>

class QLockFile;

namespace th {

// One running program per data folder.
class ISingleInstance {
public:
    virtual ~ISingleInstance() = default;
    // True when this process now holds the data folder; false when another one does.
    virtual bool tryAcquire() = 0;
};

// A lock file whose name derives from the canonical path of the data folder, kept in the
// user's runtime folder (it is not inside the data folder, which may be read-only or on a
// network share). A lock left by a crashed process is taken over.
class LockFileSingleInstance final : public ISingleInstance {
public:
    explicit LockFileSingleInstance(const QString &dataFolder);
    ~LockFileSingleInstance() override;
    bool tryAcquire() override;
    QString lockPath() const { return m_lockPath; }

private:
    QString m_lockPath;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace th
