#include "app/CommandWiring.h"

#include "alerts/AlertCentre.h"
#include "app/AlertCommands.h"
#include "app/AppParts.h"
#include "app/BidCommands.h"
#include "app/BidReports.h"
#include "app/BidSettingsCommands.h"
#include "app/ClockCommands.h"
#include "app/ExchangeCommands.h"
#include "app/ListExportCommands.h"
#include "app/Platform.h"
#include "app/SearchCommands.h"
#include "app/SettingsCommands.h"
#include "app/UpdateCommands.h"
#include "app/UserNotifier.h"
#include "app/WatchListCommands.h"
#include "app/frmResource.h"
#include "app/frmWatch.h"
#include "autobid/AutoBidTrigger.h"
#include "autobid/BidGroupBook.h"
#include "autobid/BidGroupResults.h"
#include "autobid/BidLogModel.h"
#include "autobid/BidRecordStore.h"
#include "autobid/BidRunner.h"
#include "autobid/BrowserWarmUp.h"
#include "autobid/SleepGuardPolicy.h"
#include "autobid/ui/frmAutoBid.h"
#include "config/HostConfig.h"
#include "config/cIniFile.h"
#include "engine/UpdateEngine.h"
#include "platform/ISleepGuard.h"

namespace th {

namespace {

// The groups are read again whenever the list or an automatic bid changes, and learn their
// members' results; owned by the trigger.
void wireBidGroups(AppParts &p)
{
    BidGroupBook *book = p.bidGroups.get();
    QObject::connect(p.listCommands.get(), &WatchListCommands::listChanged, book, &BidGroupBook::reload);
    QObject::connect(p.bidSettings.get(), &BidSettingsCommands::autoBidChanged, book, &BidGroupBook::reload);
    auto *results
        = new BidGroupResults(BidGroupResults::Context { *book, *p.autoBidTrigger, *p.bidRunner, *p.engine,
                                  *p.records, *p.listModel, *p.store, *p.platform->clock },
            p.autoBidTrigger.get());
    QObject::connect(p.bidRunner.get(), &BidRunner::bidEnded, results, &BidGroupResults::bidEnded);
    QObject::connect(p.engine.get(), &UpdateEngine::oneItemUpdated, results, &BidGroupResults::itemUpdated);
    QObject::connect(results, &BidGroupResults::userNotice, p.notifier.get(), &UserNotifier::tellUser);
    book->reload();
}

// The automatic bids, the commands on one item's bid, and the computer kept awake for them.
void buildBidCommands(AppParts &p)
{
    Platform &os = *p.platform;
    const auto openSettings = [&p] { p.settingsCommands->openSettings(p.mainWindow.get()); };
    const HostConfig &hosts = *p.hosts;
    p.bidRecords = std::make_unique<RegistryBidRecordStore>(*p.store);
    p.bidLog = std::make_unique<BidLogModel>();
    // The account is read at every bid: the user may set it while bids are armed.
    const AppSettings *settings = p.settings.get();
    p.bidRunner = std::make_unique<BidRunner>(BidRunner::Context { *os.browser, *os.clock,
        [settings] {
            return BidAccount { settings->EBayID, settings->EBayPWD };
        },
        hosts.host(HostConfig::Host::ItemPage), p.bidRecords.get() });
    p.bidGroups = std::make_unique<BidGroupBook>(BidGroupBook::Context { *p.store, *p.records });
    // After the book: the dialog offers its groups and stores the item's choice in it.
    p.bidSettings = std::make_unique<BidSettingsCommands>(BidSettingsCommands::Context { *p.mainWindow,
        *p.listModel, *p.records, *p.store, *p.settings, *os.prompter, *os.clock, *p.bidGroups, openSettings,
        [&p](const AutoBidDialogValues &values) -> std::optional<AutoBidEntry> {
            frmAutoBid dialog(values, *p.platform->prompter, p.mainWindow.get());
            dialog.exec();
            return dialog.entry();
        } });
    p.autoBidTrigger = std::make_unique<AutoBidTrigger>(AutoBidTrigger::Context { *p.records, *p.store,
        *p.settings, *os.clock, *p.engine, p.resources->clockCheck, *p.bidRunner, p.bidGroups.get() });
    wireBidGroups(p);
    p.bidReports = std::make_unique<BidReports>(
        BidReports::Context { *p.bidRunner, *p.autoBidTrigger, *p.bidRecords, *p.bidLog, *p.mainWindow,
            *p.notifier, *p.engine, *p.records, *p.listModel, *p.store, *os.clock });
    BidRunner *runner = p.bidRunner.get();
    QObject::connect(p.listCommands.get(), &WatchListCommands::itemRemoved, runner, &BidRunner::itemRemoved);
    BidReports *reports = p.bidReports.get();
    p.listCommands->bidNote = [reports](const QString &item) { return reports->lastOutcome(item); };
    p.sleepGuard = std::make_unique<SleepGuardPolicy>(
        SleepGuardPolicy::Context { *p.records, *os.clock, *os.sleepGuard, *p.engine, *p.autoBidTrigger });
    p.bidCommands = std::make_unique<BidCommands>(
        BidCommands::Context { *p.mainWindow, *p.listModel, *p.records, *p.store, *p.settings, *os.prompter,
            *os.shell, *os.clock, *p.autoBidTrigger, *p.bidRunner, *p.bidLog, *os.browser, *p.engine,
            *p.sleepGuard, p.resources->alerts(), *p.notifier, hosts.host(HostConfig::Host::BidHistory),
            hosts.host(HostConfig::Host::Hotmail), hosts.host(HostConfig::Host::YahooMail), openSettings });
    QObject::connect(
        p.resources.get(), &frmResource::bidLogRequested, p.bidCommands.get(), &BidCommands::openBidLog);
}

// The browser starts shortly before the first armed bid, not at it; owned by the window.
void buildBrowserWarmUp(AppParts &p)
{
    Platform &os = *p.platform;
    auto *warmUp = new BrowserWarmUp(
        BrowserWarmUp::Context { *os.browser, *os.clock, p.hosts->host(HostConfig::Host::ItemPage),
            [&p] { return BrowserWarmUp::firstArmedMoment(*p.records); } },
        p.mainWindow.get());
    QObject::connect(warmUp, &BrowserWarmUp::signInPageChanged, p.notifier.get(), &UserNotifier::tellUser);
    QObject::connect(os.sleepGuard.get(), &ISleepGuard::resumed, warmUp, &BrowserWarmUp::resumed);
}

} // namespace

void buildCommands(AppParts &p, const QString &dataFolder, const QString &resourceFolder)
{
    Platform &os = *p.platform;
    frmWatch &window = *p.mainWindow;
    p.updateCommands = std::make_unique<UpdateCommands>(UpdateCommands::Context { window, *p.resources,
        *p.engine, *p.listCommands, *p.clockSync, *p.settings, *os.prompter, *os.clock, *os.tray });
    p.updateCommands->tmShowSysClock_Timer();
    p.settingsCommands = std::make_unique<SettingsCommands>(
        SettingsCommands::Context { *p.settings, *p.store, *os.prompter, *os.sound, *os.startupEntry,
            *p.engine, *p.listModel, *p.liveTimeLeft, resourceFolder, configIniPath(dataFolder) });
    p.settingsCommands->connectMenus(*p.resources, window);
    p.clockCommands = std::make_unique<ClockCommands>(ClockCommands::Context { *p.resources, window,
        *p.clockSync, *p.clockState, *p.settings, *p.store, *p.hosts, *os.clock, *os.connection, *p.notifier,
        *os.prompter, *p.listCommands, *p.records, dataFolder + u"/config.ini", resourceFolder });
    p.alertCommands = std::make_unique<AlertCommands>(window, *p.resources, *p.listCommands, *os.tray);
    p.search = std::make_unique<SearchCommands>(SearchCommands::Context { window, *os.shell, *os.browser,
        SearchCommands::hostsOf(*p.hosts), dataFolder + u"/IntelliSense/iSense.dat",
        p.hosts->host(HostConfig::Host::Hotmail).text, p.hosts->host(HostConfig::Host::Paypal).text });
    p.search->LoadSearchHistory();
    QObject::connect(
        p.search.get(), &SearchCommands::historyNotSaved, p.notifier.get(), &UserNotifier::tellFileNotSaved);
    buildBidCommands(p);
    buildBrowserWarmUp(p);
    p.exchange = std::make_unique<ExchangeCommands>(
        ExchangeCommands::Context { window, *p.store, *os.prompter, *os.clock, *p.listCommands, dataFolder });
    // The calendar and CSV exports.
    UserNotifier *notifier = p.notifier.get();
    ListExportCommands::Context exports { window, *p.listModel, *p.records, *p.settings, *p.store,
        *os.prompter, *os.clock, *p.engine,
        [notifier](const QString &why) { notifier->tellFileNotSaved(why); },
        p.hosts->host(HostConfig::Host::ItemPage).text, dataFolder };
    new ListExportCommands(std::move(exports), &window); // owned by the window
}

} // namespace th
