#include "platform/LockFileSingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#include "platform/ShowRequestChannel.h"

namespace th {

namespace {

// Longest socket path the system takes (sun_path holds 108 bytes with the final NUL), with
// room to spare.
constexpr qsizetype kMaxSocketPathBytes = 100;

// A name in the user's runtime folder derived from the canonical data-folder path, for what
// cannot live in the data folder itself.
QString runtimeName(const QString &canonical, const QString &suffix)
{
    const QByteArray hash
        = QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + u"/tallyhawk-" + QString::fromLatin1(hash) + suffix;
}

} // namespace

LockFileSingleInstance::LockFileSingleInstance(const QString &dataFolder)
{
    QString canonical = QFileInfo(dataFolder).canonicalFilePath();
    if (canonical.isEmpty())
        canonical = QFileInfo(dataFolder).absoluteFilePath();
    // Every program that uses the data folder sees the folder itself, whatever its
    // environment says: the lock lies there.
    m_lockPath = canonical + u"/tallyhawk.lock";
    m_fallbackLockPath = runtimeName(canonical, QStringLiteral(".lock"));
    m_socketPath = canonical + u"/tallyhawk.sock";
    if (QFile::encodeName(m_socketPath).size() > kMaxSocketPathBytes)
        m_socketPath = runtimeName(canonical, QStringLiteral(".sock"));
}

LockFileSingleInstance::~LockFileSingleInstance() = default;

bool LockFileSingleInstance::tryAcquire()
{
    if (m_lock && m_lock->isLocked())
        return true;
    m_lock = std::make_unique<QLockFile>(m_lockPath);
    // A lock whose owner died is stale at once: QLockFile checks the owner's process.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return true;
    if (m_lock->error() == QLockFile::LockFailedError)
        return false;
    // A data folder where no lock can be made (read-only, say) cannot be written by anyone;
    // the lock in the runtime folder keeps starts in one session apart until the store
    // itself reports the folder.
    m_lock = std::make_unique<QLockFile>(m_fallbackLockPath);
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
