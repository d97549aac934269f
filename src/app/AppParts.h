#pragma once

#include <memory>

namespace th {

struct AlertState;
struct AppSettings;
struct ClockState;
struct Platform;
class AlertCommands;
class AutoBidTrigger;
class BidCommands;
class BidGroupBook;
class BidNotifier;
class BidLogModel;
class BidReports;
class BidRunner;
class RegistryBidRecordStore;
class BidSettingsCommands;
class ClockCommands;
class ClockSync;
class ColumnWidthMemory;
class ExchangeCommands;
class frmResource;
class frmWatch;
class HostConfig;
class LiveTimeLeft;
class RegistryStore;
class SearchCommands;
class SettingsCommands;
class SleepGuardPolicy;
class UpdateCommands;
class UpdateEngine;
class UserNotifier;
class WatchItems;
class WatchListActions;
class WatchListCommands;
class WatchListModel;

// What the program is made of. The seams and the state shared by all are there from the
// start; start() makes the rest (null before). Declared in the order of building, so that
// each part goes before those it uses.
struct AppParts {
    explicit AppParts(std::unique_ptr<Platform> seams);
    ~AppParts();
    AppParts(const AppParts &) = delete;
    AppParts &operator=(const AppParts &) = delete;

    std::unique_ptr<Platform> platform;
    std::unique_ptr<AlertState> alerts;
    std::unique_ptr<WatchListModel> listModel;
    std::unique_ptr<WatchItems> records;
    std::unique_ptr<AppSettings> settings;
    std::unique_ptr<ClockState> clockState;
    std::unique_ptr<RegistryStore> store;
    std::unique_ptr<HostConfig> hosts;
    std::unique_ptr<WatchListActions> listActions;
    std::unique_ptr<ClockSync> clockSync;
    std::unique_ptr<frmResource> resources;
    std::unique_ptr<frmWatch> mainWindow;
    std::unique_ptr<UserNotifier> notifier;
    std::unique_ptr<LiveTimeLeft> liveTimeLeft;
    std::unique_ptr<ColumnWidthMemory> columnWidths;
    std::unique_ptr<WatchListCommands> listCommands;
    std::unique_ptr<UpdateEngine> engine;
    std::unique_ptr<UpdateCommands> updateCommands;
    std::unique_ptr<ClockCommands> clockCommands;
    std::unique_ptr<SettingsCommands> settingsCommands;
    std::unique_ptr<BidNotifier> bidNotifier;
    std::unique_ptr<AlertCommands> alertCommands;
    std::unique_ptr<SearchCommands> search;
    std::unique_ptr<ExchangeCommands> exchange;
    std::unique_ptr<BidSettingsCommands> bidSettings;
    std::unique_ptr<RegistryBidRecordStore> bidRecords;
    std::unique_ptr<BidLogModel> bidLog;
    std::unique_ptr<BidRunner> bidRunner;
    std::unique_ptr<BidGroupBook> bidGroups;
    std::unique_ptr<AutoBidTrigger> autoBidTrigger;
    std::unique_ptr<BidReports> bidReports;
    std::unique_ptr<BidCommands> bidCommands;
    std::unique_ptr<SleepGuardPolicy> sleepGuard;
};

} // namespace th
