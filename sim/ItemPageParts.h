#pragma once

#include "sim/AuctionHouse.h"
#include "sim/PageChrome.h"

namespace th::sim {

// The lower half of an item page: seller box, description, shipping and payment, and the
// bid form (the page's second form) while the item is running.
QString itemPageBody(const ItemSnapshot &item, SiteSection section);

// The address the bid and sign-in forms post to in a section of the site.
QString bidFormAction(SiteSection section);

} // namespace th::sim
