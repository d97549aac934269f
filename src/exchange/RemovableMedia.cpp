#include "exchange/RemovableMedia.h"

#include <QFile>
#include <QFileInfo>

namespace th {

namespace {

// "\040" and the like: the mount table's way of writing blanks, tabs and backslashes.
QString unescapeMountField(const QByteArray &field)
{
    QByteArray text;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                text.append(char(code));
                i += 3;
                continue;
            }
        }
        text.append(field[i]);
    }
    return QString::fromUtf8(text);
}

QString readTrimmed(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).trimmed() : QString();
}

} // namespace

QList<MountEntry> parseMountTable(const QByteArray &table)
{
    QList<MountEntry> mounts;
    for (const QByteArray &line : table.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 2 || fields[0].isEmpty())
            continue;
        mounts.append(MountEntry { unescapeMountField(fields[0]), unescapeMountField(fields[1]) });
    }
    return mounts;
}

QList<MountEntry> readMountTable()
{
    QFile file(QStringLiteral("/proc/self/mounts"));
    return file.open(QIODevice::ReadOnly) ? parseMountTable(file.readAll()) : QList<MountEntry>();
}

bool isRemovableDevice(const QString &device)
{
    if (!device.startsWith(u"/dev/"))
        return false;
    const QString block = u"/sys/class/block/" + QFileInfo(device).fileName();
    if (!QFileInfo::exists(block))
        return false;
    QString flag = readTrimmed(block + u"/removable");
    if (flag.isEmpty()) // a partition: its disk is the folder above it
        flag = readTrimmed(QFileInfo(QFileInfo(block).canonicalFilePath()).absolutePath() + u"/removable");
    return flag == u"1";
}

QStringList removableFolders(
    const QList<MountEntry> &mounts, const std::function<bool(const QString &device)> &isRemovable)
{
    QStringList folders;
    for (const MountEntry &mount : mounts) {
        const bool desktopMount
            = mount.mountPoint.startsWith(u"/media/") || mount.mountPoint.startsWith(u"/run/media/");
        if ((desktopMount || (isRemovable && isRemovable(mount.device)))
            && !folders.contains(mount.mountPoint))
            folders.append(mount.mountPoint);
    }
    return folders;
}

} // namespace th
