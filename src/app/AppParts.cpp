#include "app/AppParts.h"

#include "alerts/AlertState.h"
#include "alerts/ui/BidNotifier.h"
#include "app/AlertCommands.h"
#include "app/BidCommands.h"
#include "app/BidReports.h"
#include "app/BidSettingsCommands.h"
#include "app/ClockCommands.h"
#include "app/ColumnWidthMemory.h"
#include "app/ExchangeCommands.h"
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
#include "autobid/BidLogModel.h"
#include "autobid/BidRecordStore.h"
#include "autobid/BidRunner.h"
#include "autobid/SleepGuardPolicy.h"
#include "clock/ClockState.h"
#include "clock/ClockSync.h"
#include "config/AppSettings.h"
#include "config/HostConfig.h"
#include "engine/UpdateEngine.h"
#include "store/RegistryStore.h"
#include "watchlist/LiveTimeLeft.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListActions.h"
#include "watchlist/WatchListModel.h"

namespace th {

AppParts::AppParts(std::unique_ptr<Platform> seams)
    : platform(std::move(seams))
    , alerts(std::make_unique<AlertState>())
    , listModel(std::make_unique<WatchListModel>())
    , records(std::make_unique<WatchItems>())
    , settings(std::make_unique<AppSettings>())
    , clockState(std::make_unique<ClockState>())
{
}

// The parts go in the reverse order of their declaration: commands, windows and the engine
// before the seams and the store they use.
AppParts::~AppParts() = default;

} // namespace th
