#include "store/StoreBackups.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "store/RegistryStore.h"
#include "store/StoreLog.h"

namespace th::StoreBackups {

namespace {

const QString kDayFormat = QStringLiteral("yyyy-MM-dd");
const QString kTimeFormat = QStringLiteral("HHmmss");

// registry-2026-03-02-091500.db (daily), registry-2026-03-02-import-143005.db and, for a
// second import within the same second, registry-2026-03-02-import-143005-2.db. Daily copies
// of older versions are named by their day alone: registry-2026-03-02.db.
const QRegularExpression &copyName()
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^registry-(\d{4}-\d{2}-\d{2})(?:-(import-)?(\d{6})(?:-(\d+))?)?\.db$)"));
    return pattern;
}

struct Named {
    StoreCopy copy;
    int serial = 0; // orders the copies of one second
};

// When a daily copy named by its day alone was taken: the time its file was written, when
// that lies on the day of its name (the copy was written then and renamed as it was), else
// the start of the day.
QDateTime takenOnDay(const QDate &day, const QFileInfo &file)
{
    const QDateTime written = file.lastModified();
    return written.date() == day ? written : QDateTime(day, QTime(0, 0));
}

std::optional<Named> parse(const QFileInfo &file)
{
    const QRegularExpressionMatch match = copyName().match(file.fileName());
    if (!match.hasMatch())
        return std::nullopt;
    const QDate day = QDate::fromString(match.captured(1), kDayFormat);
    const bool beforeImport = match.hasCaptured(2);
    const bool timed = match.hasCaptured(3);
    const QTime time = timed ? QTime::fromString(match.captured(3), kTimeFormat) : QTime(0, 0);
    if (!day.isValid() || !time.isValid())
        return std::nullopt;
    Named named;
    named.copy.path = file.absoluteFilePath();
    named.copy.kind = beforeImport ? StoreCopy::Kind::BeforeImport : StoreCopy::Kind::Daily;
    named.copy.taken = timed ? QDateTime(day, time) : takenOnDay(day, file);
    named.serial = match.hasCaptured(4) ? match.captured(4).toInt() : 0;
    return named;
}

QList<Named> namedCopies(const QString &folder)
{
    QList<Named> copies;
    const QFileInfoList files = QDir(folder).entryInfoList({ QStringLiteral("registry-*.db") }, QDir::Files);
    for (const QFileInfo &file : files) {
        if (std::optional<Named> named = parse(file))
            copies.append(*named);
    }
    std::sort(copies.begin(), copies.end(), [](const Named &a, const Named &b) {
        if (a.copy.taken != b.copy.taken)
            return a.copy.taken > b.copy.taken;
        if (a.serial != b.serial)
            return a.serial > b.serial;
        // A daily copy is taken at start-up, before any import of that day.
        return a.copy.kind == StoreCopy::Kind::BeforeImport && b.copy.kind == StoreCopy::Kind::Daily;
    });
    return copies;
}

// Deletes the copies of `kind` beyond the newest `kept`.
void prune(const QString &folder, StoreCopy::Kind kind, int kept)
{
    int seen = 0;
    for (const Named &named : namedCopies(folder)) {
        if (named.copy.kind == kind && ++seen > kept)
            QFile::remove(named.copy.path);
    }
}

Result<QString> ensureFolder(const QString &storePath)
{
    const QString folder = folderFor(storePath);
    if (QFileInfo(folder).isDir())
        return folder;
    if (!QDir().mkpath(folder))
        return makeError(StoreError::CopyFailed,
            QStringLiteral("The folder %1 for the store's copies cannot be created.")
                .arg(QDir::toNativeSeparators(folder)));
    // The copies hold what the store holds: only the user reads them.
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return folder;
}

Result<QString> takeCopy(const RegistryStore &store, const QString &path)
{
    if (Result<void> copied = store.copyTo(path); !copied)
        return copied.error();
    return path;
}

// Moves a store that cannot be opened, with the journal files beside it, out of the way.
Result<QString> moveAside(const QString &storePath, const QDateTime &now)
{
    const QString aside = storePath + u".damaged-" + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (const QString &suffix : { QString(), QStringLiteral("-wal"), QStringLiteral("-shm") }) {
        if (!QFileInfo::exists(storePath + suffix))
            continue;
        if (std::rename(QFile::encodeName(storePath + suffix).constData(),
                QFile::encodeName(aside + suffix).constData())
            != 0)
            return makeError(StoreError::WriteFailed,
                QStringLiteral("The store %1 cannot be moved aside.")
                    .arg(QDir::toNativeSeparators(storePath)));
    }
    return aside;
}

// Whether nobody writes the part file at `path` any more: a copy being written holds a lock
// on it all along (see RegistryStore::copyTo); one that was cut off (a killed restore or
// import) holds none. A part younger than a minute is left alone too, as it may be one
// whose writer has not taken its lock yet.
bool isStalePart(const QString &path)
{
    const QFileInfo info(path);
    // File times are the system's, whatever clock the program keeps.
    if (info.lastModified().secsTo(QDateTime::currentDateTime()) < 60)
        return false;
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool stale = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    struct stat opened { };
    struct stat named { };
    // Still the same file under that name: it was not replaced meanwhile.
    stale = stale && ::fstat(fd, &opened) == 0 && ::stat(name.constData(), &named) == 0
        && opened.st_ino == named.st_ino && opened.st_dev == named.st_dev;
    if (stale)
        ::unlink(name.constData());
    ::close(fd);
    return stale;
}

} // namespace

void removeStaleParts(const QString &folder)
{
    const QFileInfoList parts
        = QDir(folder).entryInfoList({ QStringLiteral("registry-*.db.part") }, QDir::Files | QDir::Hidden);
    for (const QFileInfo &part : parts) {
        if (isStalePart(part.absoluteFilePath()))
            qCInfo(lcStore, "Removed %s, left by a copy of the store that was cut off",
                qPrintable(part.fileName()));
    }
}

QString folderFor(const QString &storePath)
{
    return QFileInfo(storePath).absoluteDir().filePath(QStringLiteral("backups"));
}

Result<QString> takeDailyCopy(const RegistryStore &store, const QDateTime &now)
{
    const Result<QString> folder = ensureFolder(store.path());
    if (!folder)
        return folder;
    removeStaleParts(folder.value());
    for (const Named &named : namedCopies(folder.value())) {
        if (named.copy.kind == StoreCopy::Kind::Daily && named.copy.taken.date() == now.date())
            return QString();
    }
    // Named with the time too, so that it sorts among the copies taken before imports of the
    // same day by the moment it was taken.
    const QString path = QDir(folder.value())
                             .filePath(u"registry-" + now.date().toString(kDayFormat) + u'-'
                                 + now.time().toString(kTimeFormat) + u".db");
    if (QFileInfo::exists(path))
        return QString();
    Result<QString> taken = takeCopy(store, path);
    if (taken)
        prune(folder.value(), StoreCopy::Kind::Daily, kDailyKept);
    return taken;
}

Result<QString> takeImportCopy(const RegistryStore &store, const QDateTime &now)
{
    const Result<QString> folder = ensureFolder(store.path());
    if (!folder)
        return folder;
    const QString stem = QDir(folder.value())
                             .filePath(u"registry-" + now.date().toString(kDayFormat) + u"-import-"
                                 + now.time().toString(kTimeFormat));
    QString path = stem + u".db";
    for (int serial = 2; QFileInfo::exists(path); ++serial)
        path = stem + u'-' + QString::number(serial) + u".db";
    return takeCopy(store, path);
}

void settleImportCopy(const QString &copyPath, bool storeChanged)
{
    if (storeChanged)
        prune(QFileInfo(copyPath).absolutePath(), StoreCopy::Kind::BeforeImport, kBeforeImportKept);
    else
        QFile::remove(copyPath);
}

QList<StoreCopy> list(const QString &folder)
{
    QList<StoreCopy> copies;
    for (const Named &named : namedCopies(folder))
        copies.append(named.copy);
    return copies;
}

std::optional<StoreCopy> newestSound(const QString &folder)
{
    for (const StoreCopy &copy : list(folder)) {
        if (RegistryStore::checkCopy(copy.path))
            return copy;
    }
    return std::nullopt;
}

Result<Restored> restore(const QString &storePath, const QString &copyPath, const QDateTime &now)
{
    const QString canonical = QFileInfo(copyPath).canonicalFilePath();
    if (!canonical.isEmpty() && canonical == QFileInfo(storePath).canonicalFilePath())
        return makeError(StoreError::NotASoundCopy,
            QStringLiteral("%1 is the store itself, not a copy of it.")
                .arg(QDir::toNativeSeparators(copyPath)));
    if (Result<void> checked = RegistryStore::checkCopy(copyPath); !checked)
        return checked.error();
    Restored restored;
    Result<std::unique_ptr<RegistryStore>> store = RegistryStore::open(storePath);
    if (store) {
        const Result<QString> before = takeImportCopy(*store.value(), now);
        if (!before)
            return before.error();
        restored.copyBefore = before.value();
    } else if (store.error().code == StoreError::Damaged || store.error().code == StoreError::NotAStore) {
        const Result<QString> aside = moveAside(storePath, now);
        if (!aside)
            return aside.error();
        restored.movedAside = aside.value();
        store = RegistryStore::open(storePath);
    }
    if (!store)
        return store.error();
    const Result<void> replaced = store.value()->replaceWith(copyPath);
    if (!restored.copyBefore.isEmpty())
        settleImportCopy(restored.copyBefore, replaced.ok());
    if (!replaced)
        return replaced.error();
    return restored;
}

} // namespace th::StoreBackups
