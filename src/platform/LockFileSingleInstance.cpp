#include "platform/ISingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#include "platform/ShowRequestChannel.h"

namespace th {

LockFileSingleInstance::LockFileSingleInstance(const QString &dataFolder)
{
    QString canonical = QFileInfo(dataFolder).canonicalFilePath();
    if (canonical.isEmpty())
        canonical = QFileInfo(dataFolder).absoluteFilePath();
    const QByteArray hash
        = QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    const QString base = folder + u"/tallyhawk-" + QString::fromLatin1(hash);
    m_lockPath = base + u".lock";
    m_socketPath = base + u".sock";
}

LockFileSingleInstance::~LockFileSingleInstance() = default;

bool LockFileSingleInstance::tryAcquire()
{
    if (m_lock && m_lock->isLocked())
        return true;
    m_lock = std::make_unique<QLockFile>(m_lockPath);
    // A lock whose owner died is stale at once: QLockFile checks the owner's process.
    m_lock->setStaleLockTime(0);
    return m_lock->tryLock(0);
}

void LockFileSingleInstance::listenForShowRequests(std::function<void()> showRequested)
{
    Q_ASSERT(m_lock && m_lock->isLocked());
    m_channel = std::make_unique<ShowRequestChannel>(m_socketPath);
    QObject::connect(m_channel.get(), &ShowRequestChannel::showRequested, m_channel.get(),
        [showRequested = std::move(showRequested)] { showRequested(); });
    m_channel->listen();
}

bool LockFileSingleInstance::askHolderToShow()
{
    return ShowRequestChannel::sendShowRequest(m_socketPath);
}

} // namespace th
