#include "TestSupport.h"

#include <ctime>

#include <QDir>
#include <QtGlobal>

#include "watchlist/RegistryFunctions.h"
#include "watchlist/RegistryStore.h"
#include "watchlist/WatchStore.h"

namespace th::test {

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

} // namespace th::test
