#pragma once

#include "sim/AuctionHouse.h"
#include "sim/PageChrome.h"

#include <QString>

namespace th::sim {

// How the site draws its item pages: the layout the program's page reader knows, or a
// changed one, as after a redesign of the site: every label the reader looks for has another
// name, the status texts are worded anew, the dollar amounts carry a class and the page
// title has another form (no end date, no " - "). The forms stay as they are.
enum class PageLayout { Known, Changed };

// The item page in the layout the program's page reader knows: the end date in the title,
// the labelled values of the item table each followed by its bold value, the status text
// near the top of an ended or closed item, the search form first and the bid form second.
// In the changed layout the same page is drawn with the changes named above.
QString itemPage(const ItemSnapshot &item, SiteSection section, PageLayout layout = PageLayout::Known);

// "eBay item N (Ends Mar-04-26 09:00:00 PST) - Title".
QString itemPageTitle(const ItemSnapshot &item, SiteSection section);

// The page for a number the site does not know (or does not show yet).
QString itemNotFoundPage(qint64 number);

} // namespace th::sim
