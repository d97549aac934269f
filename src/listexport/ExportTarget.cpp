#include "listexport/ExportTarget.h"

#include <QDir>
#include <QFileInfo>

#include "common/AtomicFile.h"

namespace th {

namespace {

// The form of a path that every spelling of the same file shares: the folder it lies in
// with its links resolved, and its name, or the file a link at the path points to.
QString resolvedPath(const QString &path)
{
    const QFileInfo info(path);
    const QString target = info.canonicalFilePath();
    if (!target.isEmpty())
        return target;
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QString() : folder + u'/' + info.fileName();
}

} // namespace

bool isDataFolderFile(const QString &path, const QString &dataFolder)
{
    const QString folder = QFileInfo(dataFolder).canonicalFilePath();
    const QString target = resolvedPath(path);
    if (folder.isEmpty() || target.isEmpty())
        return false;
    // A link at the path that points nowhere yet would be replaced, not followed: the name
    // it stands under is what counts then, and so is where it points.
    QStringList candidates { target };
    if (const QFileInfo link(path); link.isSymLink())
        candidates << resolvedPath(link.symLinkTarget());
    static const QStringList kOwnFiles { QStringLiteral("registry.db"), QStringLiteral("registry.db-wal"),
        QStringLiteral("registry.db-shm"), QStringLiteral("registry.db-journal"),
        QStringLiteral("config.ini"), QStringLiteral("IntelliSense/iSense.dat"),
        QStringLiteral("tallyhawk.lock"), QStringLiteral("tallyhawk.sock") };
    for (const QString &candidate : std::as_const(candidates)) {
        if (candidate.isEmpty())
            continue;
        if (candidate.startsWith(folder + u"/backups/"))
            return true;
        for (const QString &own : kOwnFiles) {
            if (candidate == folder + u'/' + own)
                return true;
        }
    }
    return false;
}

Result<void> checkExportTarget(const QString &path, const QString &dataFolder)
{
    if (!isDataFolderFile(path, dataFolder))
        return {};
    return makeError(kExportTargetRefused,
        QStringLiteral("Cannot write %1: it is one of Tallyhawk's own files in its data folder")
            .arg(QDir::toNativeSeparators(path)));
}

Result<void> writeExportFile(const QString &path, const QByteArray &bytes, const QString &dataFolder)
{
    if (Result<void> allowed = checkExportTarget(path, dataFolder); !allowed)
        return allowed;
    return writeFileAtomically(path, bytes);
}

} // namespace th
