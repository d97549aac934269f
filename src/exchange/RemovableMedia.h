#pragma once

#include <functional>

#include <QList>
#include <QString>
#include <QStringList>

namespace th {

// One line of the mount table: which device is mounted where.
struct MountEntry {
    QString device;
    QString mountPoint;
};

// The mount table as the system lists it ("/proc/self/mounts": device, mount point, type,
// options …, blanks inside names written as "\040").
QList<MountEntry> parseMountTable(const QByteArray &table);

// The system's mount table now.
QList<MountEntry> readMountTable();

// Whether the system calls a block device ("/dev/sdb1") removable; a partition answers for
// its disk.
bool isRemovableDevice(const QString &device);

// The folders of removable media mounted now, in mount-table order: every mount under
// /media or /run/media (where the desktop mounts what the user plugs in; many USB disks do not
// call themselves removable), and every mount of a device that does.
QStringList removableFolders(
    const QList<MountEntry> &mounts, const std::function<bool(const QString &device)> &isRemovable);

} // namespace th
