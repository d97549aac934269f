#pragma once

#include "sim/Catalogue.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace th::sim {

// A planned bid of one of the site's other bidders. The amount is decided only when the
// moment comes, from the item's price then: `extraSteps` increments above the minimum bid.
struct BotEvent {
    QDateTime at;
    int bidderIndex = 0;
    int extraSteps = 0;
};

// The other bidders' activity on one item from its start to its end: a random process drawn
// from the seed and the item number alone, so the same seed gives the same auction every
// run. Bids come more often towards the end, as they did on the site. From `speedFrom` on
// (when the simulator took the item over) the speed factor multiplies the rate, so a past
// that a catalogue describes keeps its ordinary pace.
QList<BotEvent> planBotBids(quint64 seed, const Listing &listing, double speed, const QDateTime &speedFrom);

// The other bidders: a fixed roster of user ids, with their feedback ratings.
int botCount();
QString botName(int index);
int botRating(int index);

// The most the other bidders will pay for an item when its catalogue does not say.
Cents defaultBotCeiling(const Listing &listing);

} // namespace th::sim
