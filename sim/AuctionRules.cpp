#include "sim/AuctionRules.h"

#include <algorithm>

namespace th::sim {

namespace {

// One bidder's position in an auction: his best offer and when he first made it.
struct Standing {
    QString bidder;
    Cents amount = 0;
    int quantity = 1;
    qint64 sequence = 0;
};

QList<Bid> inArrivalOrder(QList<Bid> bids)
{
    std::stable_sort(
        bids.begin(), bids.end(), [](const Bid &a, const Bid &b) { return a.sequence < b.sequence; });
    return bids;
}

// Proxy auctions: a bidder's standing is his highest maximum; a later bid with the same
// maximum does not move him back in the queue.
QList<Standing> proxyStandings(const QList<Bid> &bids)
{
    QList<Standing> standings;
    for (const Bid &bid : inArrivalOrder(bids)) {
        auto it = std::find_if(
            standings.begin(), standings.end(), [&](const Standing &s) { return s.bidder == bid.bidder; });
        if (it == standings.end())
            standings.append({ bid.bidder, bid.maximum, 1, bid.sequence });
        else if (bid.maximum > it->amount)
            *it = { bid.bidder, bid.maximum, 1, bid.sequence };
    }
    std::stable_sort(standings.begin(), standings.end(), [](const Standing &a, const Standing &b) {
        return a.amount != b.amount ? a.amount > b.amount : a.sequence < b.sequence;
    });
    return standings;
}

// Multi-quantity auctions: a bidder's latest bid replaces his earlier one.
QList<Standing> dutchStandings(const QList<Bid> &bids)
{
    QList<Standing> standings;
    for (const Bid &bid : inArrivalOrder(bids)) {
        auto it = std::find_if(
            standings.begin(), standings.end(), [&](const Standing &s) { return s.bidder == bid.bidder; });
        const Standing standing { bid.bidder, bid.maximum, bid.quantity, bid.sequence };
        if (it == standings.end())
            standings.append(standing);
        else
            *it = standing;
    }
    std::stable_sort(standings.begin(), standings.end(), [](const Standing &a, const Standing &b) {
        return a.amount != b.amount ? a.amount > b.amount : a.sequence < b.sequence;
    });
    return standings;
}

AuctionState fixedPriceState(const Listing &listing, const QList<Bid> &bids)
{
    AuctionState state;
    state.currentPrice = listing.startPrice;
    state.minimumBid = listing.startPrice;
    int sold = 0;
    for (const Bid &bid : inArrivalOrder(bids)) {
        sold += bid.quantity;
        ++state.bidCount;
        if (sold >= listing.quantity && !state.soldOutAt.isValid()) {
            state.soldOutAt = bid.placedAt;
            if (listing.quantity == 1) {
                state.highBidder = bid.bidder;
                state.highMaximum = bid.maximum;
            }
        }
    }
    state.unitsAvailable = qMax(0, listing.quantity - sold);
    return state;
}

AuctionState dutchState(const Listing &listing, const QList<Bid> &bids)
{
    AuctionState state;
    state.bidCount = int(bids.size());
    state.unitsAvailable = listing.quantity;
    int remaining = listing.quantity;
    Cents lowestWinning = 0;
    for (const Standing &standing : dutchStandings(bids)) {
        if (remaining == 0)
            break;
        const int units = qMin(standing.quantity, remaining);
        remaining -= units;
        state.winners.append(standing.bidder);
        state.winnerUnits.append(units);
        lowestWinning = standing.amount;
    }
    // Every winner pays the lowest successful bid; a new bid has to beat it only once all
    // units are spoken for.
    state.currentPrice = state.winners.isEmpty() ? listing.startPrice : lowestWinning;
    state.minimumBid
        = remaining == 0 ? state.currentPrice + bidIncrement(state.currentPrice) : listing.startPrice;
    return state;
}

AuctionState proxyState(const Listing &listing, const QList<Bid> &bids)
{
    AuctionState state;
    state.bidCount = int(bids.size());
    state.currentPrice = listing.startPrice;
    state.reserveMet = listing.reservePrice <= 0;

    const auto purchase = std::find_if(bids.begin(), bids.end(), [](const Bid &b) { return b.purchase; });
    if (purchase != bids.end()) {
        state.highBidder = purchase->bidder;
        state.highMaximum = purchase->maximum;
        state.currentPrice = purchase->maximum;
        state.reserveMet = true;
        state.soldOutAt = purchase->placedAt;
        state.minimumBid = state.currentPrice + bidIncrement(state.currentPrice);
        return state;
    }

    const QList<Standing> standings = proxyStandings(bids);
    if (!standings.isEmpty()) {
        const Standing &top = standings.first();
        state.highBidder = top.bidder;
        state.highMaximum = top.amount;
        if (standings.size() > 1) {
            // The winner pays one increment over the runner-up's maximum, never more than
            // his own maximum; at a tie the earlier bid wins at that very amount.
            const Cents second = standings.at(1).amount;
            state.currentPrice = qMin(top.amount, second + bidIncrement(second));
        }
        if (listing.reservePrice > 0 && top.amount >= listing.reservePrice) {
            state.reserveMet = true;
            state.currentPrice = qMax(state.currentPrice, listing.reservePrice);
        }
    }
    state.minimumBid
        = standings.isEmpty() ? listing.startPrice : state.currentPrice + bidIncrement(state.currentPrice);
    state.buyItNowAvailable = listing.buyItNowPrice > 0 && (standings.isEmpty() || !state.reserveMet);
    return state;
}

} // namespace

AuctionState auctionState(const Listing &listing, const QList<Bid> &bids)
{
    if (!listing.isAuction())
        return fixedPriceState(listing, bids);
    if (listing.isMultiQuantityAuction())
        return dutchState(listing, bids);
    return proxyState(listing, bids);
}

BidRejection checkBid(const Listing &listing, const QList<Bid> &bids, const AuctionState &state,
    const QString &bidder, Cents amount, int quantity, bool purchase)
{
    if (bidder.compare(listing.seller, Qt::CaseInsensitive) == 0)
        return BidRejection::SellersOwnItem;
    if (!listing.isAuction()) {
        if (quantity < 1 || quantity > state.unitsAvailable)
            return BidRejection::BadQuantity;
        return amount < listing.startPrice ? BidRejection::TooLow : BidRejection::None;
    }
    if (purchase)
        return state.buyItNowAvailable ? BidRejection::None : BidRejection::NoBuyItNow;
    if (listing.isMultiQuantityAuction()) {
        if (quantity < 1 || quantity > listing.quantity)
            return BidRejection::BadQuantity;
        for (const Bid &bid : bids) {
            if (bid.bidder == bidder && amount <= bid.maximum && quantity <= bid.quantity)
                return BidRejection::NotAboveOwnMaximum;
        }
        return amount < state.minimumBid ? BidRejection::TooLow : BidRejection::None;
    }
    if (quantity != 1)
        return BidRejection::BadQuantity;
    if (!state.highBidder.isEmpty() && state.highBidder == bidder)
        return amount > state.highMaximum ? BidRejection::None : BidRejection::NotAboveOwnMaximum;
    return amount < state.minimumBid ? BidRejection::TooLow : BidRejection::None;
}

QString rejectionText(BidRejection rejection, const Listing &listing, const AuctionState &state)
{
    switch (rejection) {
    case BidRejection::None:
        return QString();
    case BidRejection::TooLow:
        if (!listing.isAuction())
            return QStringLiteral("The price of this item is %1.")
                .arg(formatMoney(listing.startPrice, listing.currency));
        return QStringLiteral("Your bid must be at least %1.")
            .arg(formatMoney(state.minimumBid, listing.currency));
    case BidRejection::NotAboveOwnMaximum:
        return QStringLiteral("You are already the high bidder. To raise your maximum, enter more than %1.")
            .arg(formatMoney(state.highMaximum, listing.currency));
    case BidRejection::BadQuantity:
        return QStringLiteral("Please enter a quantity from 1 to %1.")
            .arg(listing.isMultiQuantityAuction() ? listing.quantity : qMax(1, state.unitsAvailable));
    case BidRejection::SellersOwnItem:
        return QStringLiteral("Sellers may not bid on their own items.");
    case BidRejection::NoBuyItNow:
        return QStringLiteral("Buy It Now is no longer offered for this item.");
    }
    return QString();
}

} // namespace th::sim
