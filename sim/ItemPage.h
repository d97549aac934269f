#pragma once

#include "sim/AuctionHouse.h"
#include "sim/PageChrome.h"

#include <QString>

namespace th::sim {

// The item page in the layout the program's page reader knows: the end date in the title,
// the labelled values of the item table each followed by its bold value, the status text
// near the top of an ended or closed item, the search form first and the bid form second.
QString itemPage(const ItemSnapshot &item, SiteSection section);

// "eBay item N (Ends Mar-04-26 09:00:00 PST) - Title".
QString itemPageTitle(const ItemSnapshot &item, SiteSection section);

// The page for a number the site does not know (or does not show yet).
QString itemNotFoundPage(qint64 number);

} // namespace th::sim
