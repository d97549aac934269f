#include "common/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

namespace th {

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

Error writeError(const QString &path, const QString &why)
{
    return makeError(
        kFileWriteFailed, QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), why));
}

// Writes all of `bytes`, going on after a short write; false with errno set when the system
// refuses (ENOSPC, EFBIG, EIO, ...).
bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

// A name beside `path` that no other writer uses: the file name, the process and a random
// part.
QString temporaryNameFor(const QString &path)
{
    const QFileInfo info(path);
    return info.absolutePath() + u"/." + info.fileName() + u".tmp-" + QString::number(::getpid()) + u'-'
        + QString::number(QRandomGenerator::global()->generate(), 36);
}

// Makes the rename itself durable: the folder's entry is written through too. A folder that
// cannot be synced (some file systems refuse) changes nothing about the outcome.
void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

Result<void> writeFileAtomically(const QString &path, const QByteArray &bytes, int newFileMode)
{
    const QByteArray target = QFile::encodeName(path);
    struct stat existing { };
    const bool replacing = ::stat(target.constData(), &existing) == 0;
    if (replacing && S_ISDIR(existing.st_mode))
        return writeError(path, QStringLiteral("it is a folder"));

    const QString temporary = temporaryNameFor(path);
    const QByteArray temporaryName = QFile::encodeName(temporary);
    const int fd = ::open(temporaryName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
        mode_t(replacing ? 0600 : newFileMode));
    if (fd < 0)
        return writeError(path, systemReason(errno));

    // Each step runs only when the one before went well; the first failure is the reason.
    // A full disk may show only in the flush, when the data is written out.
    int failure = 0;
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0
        || (replacing && ::fchmod(fd, existing.st_mode & 07777) != 0))
        failure = errno;
    if (::close(fd) != 0 && failure == 0)
        failure = errno;
    if (failure != 0) {
        ::unlink(temporaryName.constData());
        return writeError(path, systemReason(failure));
    }
    if (::rename(temporaryName.constData(), target.constData()) != 0) {
        const int renameError = errno;
        ::unlink(temporaryName.constData());
        return writeError(path, systemReason(renameError));
    }
    syncFolder(QFileInfo(path).absolutePath());
    return {};
}

} // namespace th
