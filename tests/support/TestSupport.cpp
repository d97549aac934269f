#include "TestSupport.h"

#include <csignal>
#include <ctime>
#include <sys/resource.h>

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTest>
#include <QtGlobal>

#include "store/RegistryFunctions.h"
#include "store/RegistryStore.h"
#include "watchlist/WatchStore.h"

namespace th::test {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

void setTimeZone(const char *ianaId)
{
    qputenv("TZ", ianaId);
    tzset();
}

std::unique_ptr<RegistryStore> openTestStore(const QString &folder)
{
    QDir().mkpath(folder);
    Result<std::unique_ptr<RegistryStore>> opened = RegistryStore::openInFolder(folder);
    if (!opened.ok()) {
        qWarning("%s", qPrintable(opened.errorMessage()));
        return nullptr;
    }
    return std::move(opened).value();
}

bool storeWatchedItems(const QString &folder, const QStringList &items)
{
    const std::unique_ptr<RegistryStore> store = openTestStore(folder);
    if (!store)
        return false;
    for (const QString &item : items)
        SaveRegString(*store, RegRoot::CurrentUser, itemKeyPath(item), QStringLiteral("Item"), item);
    return store->subKeyNames(RegRoot::CurrentUser, QString::fromUtf16(kWatchListKey)).size() >= items.size();
}

int webEngineProcessCount()
{
    int count = 0;
    const QString self = QString::number(getpid());
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &pid : entries) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromLatin1(stat.readAll());
        // pid (comm) state ppid ...
        const qsizetype close = text.lastIndexOf(u')');
        const QStringList rest = text.mid(close + 2).split(u' ');
        if (rest.size() > 1 && rest[1] == self && text.contains(u"QtWebEngine"))
            ++count;
    }
    return count;
}

FileSizeLimit::FileSizeLimit(qint64 bytes)
{
    // The system would end the process at the limit; the write is to fail instead.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit {};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    m_before = limit.rlim_cur == RLIM_INFINITY ? -1 : qint64(limit.rlim_cur);
    limit.rlim_cur = rlim_t(bytes);
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    rlimit limit {};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = m_before < 0 ? RLIM_INFINITY : rlim_t(m_before);
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

} // namespace th::test
