#pragma once

#include "sim/Catalogue.h"

#include <QList>
#include <QString>

namespace th::sim {

// Where an item stands after the bids it has received: the pure rules of the site, with no
// clock and no storage, so they can be checked case by case.
struct AuctionState {
    int bidCount = 0;
    Cents currentPrice = 0;
    // Single-unit items: who would win if the item ended now (the buyer of a sold fixed-price
    // item, the Buy It Now buyer). Empty without bids and for multi-quantity items.
    QString highBidder;
    Cents highMaximum = 0;
    // True when there is no reserve.
    bool reserveMet = true;
    // The least a new bid must offer (a higher maximum, for the high bidder himself).
    Cents minimumBid = 0;
    // Units still offered: a fixed-price item's unsold units, otherwise the quantity.
    int unitsAvailable = 1;
    // Multi-quantity auctions: the bidders who would get units now, in order, and how many.
    QStringList winners;
    QList<int> winnerUnits;
    bool buyItNowAvailable = false;
    // Set when a purchase ended the listing early (Buy It Now, the last fixed-price unit).
    QDateTime soldOutAt;
};

AuctionState auctionState(const Listing &listing, const QList<Bid> &bids);

enum class BidRejection {
    None,
    TooLow, // below the minimum bid, or below a fixed price
    NotAboveOwnMaximum, // the high bidder may only raise his maximum
    BadQuantity, // more units than offered, or several on a single item
    SellersOwnItem,
    NoBuyItNow, // Buy It Now is not (or no longer) offered
};

// Whether the site accepts this bid (or purchase) now. Does not look at time: whether the item
// is still running is the caller's question.
BidRejection checkBid(const Listing &listing, const QList<Bid> &bids, const AuctionState &state,
    const QString &bidder, Cents amount, int quantity, bool purchase);

// The page text for a rejection, with the amounts that apply.
QString rejectionText(BidRejection rejection, const Listing &listing, const AuctionState &state);

} // namespace th::sim
