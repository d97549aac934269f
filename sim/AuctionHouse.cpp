#include "sim/AuctionHouse.h"

#include "sim/SimClock.h"

#include <algorithm>

namespace th::sim {

QString ItemSnapshot::winner() const
{
    if (status != ItemStatus::Ended || !state.reserveMet)
        return QString();
    return state.highBidder;
}

AuctionHouse::AuctionHouse(SimClock &clock)
    : m_clock(clock)
{
}

void AuctionHouse::clear()
{
    m_items.clear();
    m_users.clear();
}

void AuctionHouse::addUser(const SimUser &user)
{
    m_users.insert(user.id.toLower(), user);
}

std::optional<SimUser> AuctionHouse::user(const QString &id) const
{
    const auto it = m_users.constFind(id.toLower());
    if (it == m_users.constEnd())
        return std::nullopt;
    return *it;
}

QList<SimUser> AuctionHouse::users() const
{
    return m_users.values();
}

bool AuctionHouse::checkPassword(const QString &id, const QString &password) const
{
    const std::optional<SimUser> member = user(id);
    return member && !member->password.isEmpty() && member->password == password;
}

int AuctionHouse::ratingOf(const QString &id) const
{
    if (const std::optional<SimUser> member = user(id))
        return member->rating;
    for (int i = 0; i < botCount(); ++i) {
        if (botName(i).compare(id, Qt::CaseInsensitive) == 0)
            return botRating(i);
    }
    return 0;
}

bool AuctionHouse::addItem(const Listing &listing, QString *error, const QList<Bid> &initialBids)
{
    if (listing.number <= 0 || m_items.contains(listing.number)) {
        *error = listing.number <= 0 ? QStringLiteral("an item needs a positive number")
                                     : QStringLiteral("item %1 exists already").arg(listing.number);
        return false;
    }
    Record record;
    record.listing = listing;
    record.addedAt = m_clock.now();
    if (!record.listing.startTime.isValid())
        record.listing.startTime = m_clock.now();
    if (record.listing.title.isEmpty() || !record.listing.endTime.isValid() || record.listing.quantity < 1) {
        *error = QStringLiteral("an item needs a title, an end time and a quantity of at least 1");
        return false;
    }
    QList<Bid> bids = initialBids;
    std::stable_sort(
        bids.begin(), bids.end(), [](const Bid &a, const Bid &b) { return a.placedAt < b.placedAt; });
    for (Bid &bid : bids) {
        bid.sequence = m_nextSequence++;
        record.bids.append(bid);
    }
    planBots(record);
    m_items.insert(listing.number, record);
    return true;
}

bool AuctionHouse::updateItem(const Listing &listing, QString *error)
{
    const auto it = m_items.find(listing.number);
    if (it == m_items.end()) {
        *error = QStringLiteral("no item %1").arg(listing.number);
        return false;
    }
    if (listing.title.isEmpty() || !listing.endTime.isValid() || listing.quantity < 1) {
        *error = QStringLiteral("an item needs a title, an end time and a quantity of at least 1");
        return false;
    }
    runBots(*it, m_clock.now());
    it->listing = listing;
    if (!it->listing.startTime.isValid())
        it->listing.startTime = m_clock.now();
    planBots(*it);
    return true;
}

bool AuctionHouse::removeItem(qint64 number)
{
    return m_items.remove(number) > 0;
}

std::optional<ItemSnapshot> AuctionHouse::snapshot(qint64 number)
{
    const auto it = m_items.find(number);
    if (it == m_items.end())
        return std::nullopt;
    runBots(*it, m_clock.now());
    return snapshotOf(*it);
}

QList<ItemSnapshot> AuctionHouse::snapshots()
{
    catchUp();
    QList<ItemSnapshot> result;
    for (const Record &record : std::as_const(m_items))
        result.append(snapshotOf(record));
    return result;
}

BidOutcome AuctionHouse::placeBid(qint64 number, const QString &bidder, Cents amount, int quantity)
{
    const auto it = m_items.constFind(number);
    const bool fixedPrice = it != m_items.constEnd() && !it->listing.isAuction();
    return submit(number, bidder, amount, quantity, fixedPrice);
}

BidOutcome AuctionHouse::buyItNow(qint64 number, const QString &buyer)
{
    const auto it = m_items.constFind(number);
    if (it != m_items.constEnd() && !it->listing.isAuction())
        return submit(number, buyer, it->listing.startPrice, 1, true);
    const Cents price = it == m_items.constEnd() ? 0 : it->listing.buyItNowPrice;
    return submit(number, buyer, price, 1, true);
}

bool AuctionHouse::closeEarly(qint64 number)
{
    const auto it = m_items.find(number);
    if (it == m_items.end())
        return false;
    runBots(*it, m_clock.now());
    it->listing.closedEarly = true;
    it->listing.endTime = m_clock.now();
    return true;
}

void AuctionHouse::catchUp()
{
    const QDateTime now = m_clock.now();
    for (Record &record : m_items)
        runBots(record, now);
}

ItemStatus AuctionHouse::statusAt(const Record &record, const AuctionState &state, const QDateTime &at) const
{
    if (record.listing.closedEarly)
        return at < record.listing.startTime ? ItemStatus::Pending : ItemStatus::Closed;
    if (at < record.listing.startTime)
        return ItemStatus::Pending;
    if (state.soldOutAt.isValid() && state.soldOutAt <= at)
        return ItemStatus::Ended;
    return at >= record.listing.endTime ? ItemStatus::Ended : ItemStatus::Active;
}

ItemSnapshot AuctionHouse::snapshotOf(const Record &record) const
{
    ItemSnapshot snapshot;
    snapshot.listing = record.listing;
    snapshot.bids = record.bids;
    snapshot.state = auctionState(record.listing, record.bids);
    snapshot.now = m_clock.now();
    snapshot.status = statusAt(record, snapshot.state, snapshot.now);
    snapshot.endTime = record.listing.endTime;
    if (snapshot.state.soldOutAt.isValid() && snapshot.state.soldOutAt < snapshot.endTime)
        snapshot.endTime = snapshot.state.soldOutAt;
    snapshot.sellerRating = ratingOf(record.listing.seller);
    snapshot.highBidderRating = ratingOf(snapshot.state.highBidder);
    return snapshot;
}

void AuctionHouse::planBots(Record &record)
{
    // The plan depends on the seed, the speed and the listing alone; bids already carried
    // out stay, and only those still ahead are taken from the new plan.
    record.botPlan = planBotBids(m_seed, record.listing, m_speed, record.addedAt);
    record.nextBotEvent = 0;
    if (!record.botsDoneUntil.isValid())
        return;
    while (record.nextBotEvent < record.botPlan.size()
        && record.botPlan.at(record.nextBotEvent).at <= record.botsDoneUntil)
        ++record.nextBotEvent;
}

void AuctionHouse::runBots(Record &record, const QDateTime &until)
{
    while (record.nextBotEvent < record.botPlan.size()) {
        const BotEvent event = record.botPlan.at(record.nextBotEvent);
        if (event.at > until)
            break;
        ++record.nextBotEvent;
        runBot(record, event);
    }
    if (!record.botsDoneUntil.isValid() || until > record.botsDoneUntil)
        record.botsDoneUntil = until;
}

void AuctionHouse::runBot(Record &record, const BotEvent &event)
{
    const AuctionState state = auctionState(record.listing, record.bids);
    if (statusAt(record, state, event.at) != ItemStatus::Active)
        return;
    // Fixed-price items sell more slowly than auctions draw bids: one turn in four is a sale.
    if (!record.listing.isAuction() && event.extraSteps != 0)
        return;
    QString bidder = botName(event.bidderIndex);
    // A bidder does not bid against himself: the next one on the roster takes his turn.
    if (bidder == state.highBidder || bidder.compare(record.listing.seller, Qt::CaseInsensitive) == 0)
        bidder = botName(event.bidderIndex + 1);
    const Cents ceiling
        = record.listing.botCeiling > 0 ? record.listing.botCeiling : defaultBotCeiling(record.listing);
    Cents amount = state.minimumBid;
    for (int i = 0; i < event.extraSteps; ++i)
        amount += bidIncrement(amount);
    amount = qMin(amount, ceiling);
    if (amount < state.minimumBid)
        return;
    Bid bid;
    bid.bidder = bidder;
    bid.maximum = record.listing.isAuction() ? amount : record.listing.startPrice;
    bid.quantity = 1;
    bid.placedAt = event.at;
    bid.sequence = m_nextSequence++;
    bid.purchase = !record.listing.isAuction();
    if (checkBid(record.listing, record.bids, state, bidder, bid.maximum, 1, bid.purchase)
        == BidRejection::None)
        record.bids.append(bid);
}

BidOutcome AuctionHouse::submit(
    qint64 number, const QString &bidder, Cents amount, int quantity, bool purchase)
{
    BidOutcome outcome;
    const auto it = m_items.find(number);
    if (it == m_items.end()) {
        outcome.problem = BidOutcome::Problem::NoSuchItem;
        outcome.message
            = QStringLiteral("Item %1 is invalid, still pending, or no longer in our database.").arg(number);
        return outcome;
    }
    const QDateTime now = m_clock.now();
    runBots(*it, now);
    const AuctionState state = auctionState(it->listing, it->bids);
    if (statusAt(*it, state, now) != ItemStatus::Active) {
        outcome.problem = BidOutcome::Problem::NotRunning;
        outcome.message = QStringLiteral("Bidding is over for this item; no more bids are taken.");
        outcome.item = snapshotOf(*it);
        return outcome;
    }
    const BidRejection rejection = checkBid(it->listing, it->bids, state, bidder, amount, quantity, purchase);
    if (rejection != BidRejection::None) {
        outcome.problem = BidOutcome::Problem::Rejected;
        outcome.rejection = rejection;
        outcome.message = rejectionText(rejection, it->listing, state);
        outcome.item = snapshotOf(*it);
        return outcome;
    }
    Bid bid;
    bid.bidder = user(bidder) ? user(bidder)->id : bidder;
    // A fixed-price buyer pays the price, whatever he typed above it.
    bid.maximum = it->listing.isAuction() ? amount : it->listing.startPrice;
    bid.quantity = quantity;
    bid.placedAt = now;
    bid.sequence = m_nextSequence++;
    bid.purchase = purchase;
    it->bids.append(bid);
    outcome.item = snapshotOf(*it);
    return outcome;
}

} // namespace th::sim
