#include "alerts/BidAnnouncement.h"

#include "watchlist/AppSettings.h"

namespace th {

BidAnnouncement BidAnnouncement::from(const AppSettings &settings)
{
    return BidAnnouncement { settings.PlayBidIncrementNotifySound != 0,
        settings.chkShowBidNotification != 0 };
}

} // namespace th
