#include "cli/ListPages.h"

#include <QEventLoop>

#include "clock/ClockState.h"
#include "clock/ClockSync.h"
#include "config/HostConfig.h"
#include "engine/UpdateEngine.h"
#include "platform/AppPaths.h"
#include "platform/IClockSetter.h"
#include "platform/SystemClock.h"
#include "platform/SystemTimeZoneSource.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListActions.h"
#include "watchlist/WatchListModel.h"

namespace th::cli {

namespace {

// The command line tools never move the PC's clock.
class NoClockSetter final : public IClockSetter {
public:
    void adjustBy(qint64, bool, std::function<void(Result<void>)> done) override
    {
        done(makeError(1, QStringLiteral("The command line tools do not set the clock.")));
    }
};

} // namespace

ListPages readListPages(RegistryStore &store, const QString &dataFolder, QTextStream &err)
{
    ListPages pages;
    pages.settings = loadAppSettings(store, AppPaths::resourceFolder());
    const HostConfig hosts = HostConfig::load(AppPaths::join(dataFolder, QStringLiteral("config.ini")));
    pages.itemPageHost = hosts.host(HostConfig::Host::ItemPage).text;

    WatchListModel model;
    model.ensureRuntimeColumns();
    WatchItems records;
    keepRecordsWithRows(model, records, &model);
    WatchListActions(store, model, records).fillFromStore(false);

    SystemClock clock;
    SystemTimeZoneSource zones;
    NoClockSetter setter;
    ClockState clockState;
    ClockSync clockSync(clockState, clock, zones, setter);
    clockSync.GetPacificOffsetHours();
    UpdateEngine engine(UpdateEngine::Context { model, records, store, pages.settings, clockSync, clock });
    engine.setHosts(hosts.host(HostConfig::Host::ItemPage), hosts.host(HostConfig::Host::Main));
    QObject::connect(&engine, &UpdateEngine::passPagesNotApplied, &engine,
        [&err](const QString &message) { err << "tallyhawk-cli: " << message << '\n'; });
    QObject::connect(&engine, &UpdateEngine::pagesReadEmpty, &engine,
        [&err](const QString &message) { err << "tallyhawk-cli: " << message << '\n'; });
    if (model.rowCount() > 0) {
        // Every pass ends: an item whose page does not come in time counts as failed.
        QEventLoop loop;
        QObject::connect(&engine, &UpdateEngine::passFinished, &loop, &QEventLoop::quit);
        engine.subActive2();
        loop.exec();
    }
    engine.shutDown();

    pages.entries = listEntries(model, records);
    for (const ListEntry &entry : std::as_const(pages.entries)) {
        if (!entry.end.isValid())
            err << "tallyhawk-cli: the page of item " << entry.item << " could not be read\n";
    }
    return pages;
}

} // namespace th::cli
