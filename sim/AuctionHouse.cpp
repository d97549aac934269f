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

bool AuctionHouse::addItem(const ItemSpec &spec, QString *error, const QList<Bid> &initialBids)
{
    if (spec.number <= 0 || m_items.contains(spec.number)) {
        *error = spec.number <= 0 ? QStringLiteral("an item needs a positive number")
                                  : QStringLiteral("item %1 exists already").arg(spec.number);
        return false;
    }
    Record record;
    record.spec = spec;
    record.addedAt = m_clock.now();
    if (!record.spec.startTime.isValid())
        record.spec.startTime = m_clock.now();
    if (record.spec.title.isEmpty() || !record.spec.endTime.isValid() || record.spec.quantity < 1) {
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
    m_items.insert(spec.number, record);
    return true;
}

bool AuctionHouse::updateItem(const ItemSpec &spec, QString *error)
{
    const auto it = m_items.find(spec.number);
    if (it == m_items.end()) {
        *error = QStringLiteral("no item %1").arg(spec.number);
        return false;
    }
    if (spec.title.isEmpty() || !spec.endTime.isValid() || spec.quantity < 1) {
        *error = QStringLiteral("an item needs a title, an end time and a quantity of at least 1");
        return false;
    }
    runBots(*it, m_clock.now());
    it->spec = spec;
    if (!it->spec.startTime.isValid())
        it->spec.startTime = m_clock.now();
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
    const bool fixedPrice = it != m_items.constEnd() && !it->spec.isAuction();
    return submit(number, bidder, amount, quantity, fixedPrice);
}

BidOutcome AuctionHouse::buyItNow(qint64 number, const QString &buyer)
{
    const auto it = m_items.constFind(number);
    if (it != m_items.constEnd() && !it->spec.isAuction())
        return submit(number, buyer, it->spec.startPrice, 1, true);
    const Cents price = it == m_items.constEnd() ? 0 : it->spec.buyItNowPrice;
    return submit(number, buyer, price, 1, true);
}

bool AuctionHouse::closeEarly(qint64 number)
{
    const auto it = m_items.find(number);
    if (it == m_items.end())
        return false;
    runBots(*it, m_clock.now());
    it->spec.closedEarly = true;
    it->spec.endTime = m_clock.now();
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
    if (record.spec.closedEarly)
        return at < record.spec.startTime ? ItemStatus::Pending : ItemStatus::Closed;
    if (at < record.spec.startTime)
        return ItemStatus::Pending;
    if (state.soldOutAt.isValid() && state.soldOutAt <= at)
        return ItemStatus::Ended;
    return at >= record.spec.endTime ? ItemStatus::Ended : ItemStatus::Active;
}

ItemSnapshot AuctionHouse::snapshotOf(const Record &record) const
{
    ItemSnapshot snapshot;
    snapshot.spec = record.spec;
    snapshot.bids = record.bids;
    snapshot.state = auctionState(record.spec, record.bids);
    snapshot.now = m_clock.now();
    snapshot.status = statusAt(record, snapshot.state, snapshot.now);
    snapshot.endTime = record.spec.endTime;
    if (snapshot.state.soldOutAt.isValid() && snapshot.state.soldOutAt < snapshot.endTime)
        snapshot.endTime = snapshot.state.soldOutAt;
    snapshot.sellerRating = ratingOf(record.spec.seller);
    snapshot.highBidderRating = ratingOf(snapshot.state.highBidder);
    return snapshot;
}

void AuctionHouse::planBots(Record &record)
{
    // The plan depends on the seed, the speed and the listing alone; bids already carried
    // out stay, and only those still ahead are taken from the new plan.
    record.botPlan = planBotBids(m_seed, record.spec, m_speed, record.addedAt);
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
    const AuctionState state = auctionState(record.spec, record.bids);
    if (statusAt(record, state, event.at) != ItemStatus::Active)
        return;
    // Fixed-price items sell more slowly than auctions draw bids: one turn in four is a sale.
    if (!record.spec.isAuction() && event.extraSteps != 0)
        return;
    QString bidder = botName(event.bidderIndex);
    // A bidder does not bid against himself: the next one on the roster takes his turn.
    if (bidder == state.highBidder || bidder.compare(record.spec.seller, Qt::CaseInsensitive) == 0)
        bidder = botName(event.bidderIndex + 1);
    const Cents ceiling
        = record.spec.botCeiling > 0 ? record.spec.botCeiling : defaultBotCeiling(record.spec);
    Cents amount = state.minimumBid;
    for (int i = 0; i < event.extraSteps; ++i)
        amount += bidIncrement(amount);
    amount = qMin(amount, ceiling);
    if (amount < state.minimumBid)
        return;
    Bid bid;
    bid.bidder = bidder;
    bid.maximum = record.spec.isAuction() ? amount : record.spec.startPrice;
    bid.quantity = 1;
    bid.placedAt = event.at;
    bid.sequence = m_nextSequence++;
    bid.purchase = !record.spec.isAuction();
    if (checkBid(record.spec, record.bids, state, bidder, bid.maximum, 1, bid.purchase) == BidRejection::None)
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
    const AuctionState state = auctionState(it->spec, it->bids);
    if (statusAt(*it, state, now) != ItemStatus::Active) {
        outcome.problem = BidOutcome::Problem::NotRunning;
        outcome.message = QStringLiteral("Bidding is over for this item; no more bids are taken.");
        outcome.item = snapshotOf(*it);
        return outcome;
    }
    const BidRejection rejection = checkBid(it->spec, it->bids, state, bidder, amount, quantity, purchase);
    if (rejection != BidRejection::None) {
        outcome.problem = BidOutcome::Problem::Rejected;
        outcome.rejection = rejection;
        outcome.message = rejectionText(rejection, it->spec, state);
        outcome.item = snapshotOf(*it);
        return outcome;
    }
    Bid bid;
    bid.bidder = user(bidder) ? user(bidder)->id : bidder;
    // A fixed-price buyer pays the price, whatever he typed above it.
    bid.maximum = it->spec.isAuction() ? amount : it->spec.startPrice;
    bid.quantity = quantity;
    bid.placedAt = now;
    bid.sequence = m_nextSequence++;
    bid.purchase = purchase;
    it->bids.append(bid);
    outcome.item = snapshotOf(*it);
    return outcome;
}

} // namespace th::sim
