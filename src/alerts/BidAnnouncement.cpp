#include "alerts/BidAnnouncement.h"

#include "config/AppSettings.h"

namespace th {

BidAnnouncement BidAnnouncement::from(const AppSettings &settings)
{
    return BidAnnouncement { settings.PlayBidIncrementNotifySound != 0,
        settings.chkShowBidNotification != 0 };
}

} // namespace th
