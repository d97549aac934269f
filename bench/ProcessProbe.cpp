#include "ProcessProbe.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QHash>

namespace th::bench {

double processCpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

long peakResidentKiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

namespace {

struct ProcessEntry {
    qint64 parent = 0;
    QByteArray name;
};

// /proc/<pid>/stat: "pid (name) state ppid ...". The name may hold blanks and parentheses;
// it ends at the last ')'.
bool readStat(const QString &pid, ProcessEntry *entry)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray stat = file.readAll();
    const qsizetype open = stat.indexOf('(');
    const qsizetype close = stat.lastIndexOf(')');
    if (open < 0 || close < open)
        return false;
    entry->name = stat.mid(open + 1, close - open - 1);
    const QList<QByteArray> rest = stat.mid(close + 2).split(' ');
    if (rest.size() < 2)
        return false;
    entry->parent = rest[1].toLongLong();
    return true;
}

} // namespace

QStringList webProcessesBelowUs()
{
    QHash<qint64, ProcessEntry> processes;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &pid : pids) {
        bool numeric = false;
        const qint64 id = pid.toLongLong(&numeric);
        ProcessEntry entry;
        if (numeric && readStat(pid, &entry))
            processes.insert(id, entry);
    }
    const qint64 self = getpid();
    QStringList found;
    for (auto it = processes.cbegin(); it != processes.cend(); ++it) {
        if (!it->name.contains("QtWebEngine"))
            continue;
        // Walk up the parents; a cycle cannot occur, but the walk is bounded all the same.
        qint64 up = it->parent;
        for (int depth = 0; depth < 64 && up > 1 && up != self; ++depth)
            up = processes.value(up).parent;
        if (up == self)
            found.append(QStringLiteral("%1 (%2)").arg(QString::fromLocal8Bit(it->name)).arg(it.key()));
    }
    return found;
}

namespace {

long proportionalKiB(qint64 pid)
{
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!rollup.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : rollup.readAll().split('\n')) {
        if (line.startsWith("Pss:"))
            return line.mid(4).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

} // namespace

long memoryWithWebProcessesKiB()
{
    long total = proportionalKiB(getpid());
    for (const QString &process : webProcessesBelowUs()) {
        const qsizetype open = process.lastIndexOf(u'(');
        total += proportionalKiB(process.mid(open + 1, process.size() - open - 2).toLongLong());
    }
    return total;
}

bool webEngineLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return false;
    return maps.readAll().contains("WebEngine");
}

} // namespace th::bench
