#include "sim/BotBidders.h"

#include <array>
#include <cmath>
#include <random>

namespace th::sim {

namespace {

constexpr std::array<const char *, 24> kBotNames = {
    "oakridge_finds",
    "mrs.pettibone",
    "dealhound77",
    "blue_heron_antiques",
    "kwik-trader",
    "sandcastle4",
    "tinman_jones",
    "vinyl.vault",
    "grandmas-attic",
    "porchlight22",
    "redbarn_co",
    "quietstorm9",
    "bargainbetty",
    "lakeside.lou",
    "coppertop_toys",
    "maplewood-mike",
    "northstar_rx",
    "sunnyacres",
    "the_tin_cup",
    "harborview88",
    "penny-wise",
    "rustbelt_relic",
    "wildflower.kim",
    "zenith_zack",
};

std::mt19937_64 itemRandom(quint64 seed, qint64 itemNumber)
{
    std::seed_seq sequence { quint32(seed), quint32(seed >> 32), quint32(quint64(itemNumber)),
        quint32(quint64(itemNumber) >> 32), 0x5eedu };
    return std::mt19937_64(sequence);
}

} // namespace

int botCount()
{
    return int(kBotNames.size());
}

QString botName(int index)
{
    return QString::fromLatin1(kBotNames.at(size_t(index) % kBotNames.size()));
}

int botRating(int index)
{
    // Stable, varied ratings without a table of their own.
    return 3 + (index * 97 + 41) % 900;
}

Cents defaultBotCeiling(const Listing &listing)
{
    Cents ceiling = listing.startPrice * 4;
    if (listing.reservePrice > 0)
        ceiling = qMax(ceiling, listing.reservePrice + listing.reservePrice / 5);
    if (listing.buyItNowPrice > 0)
        ceiling = qMin(ceiling, listing.buyItNowPrice - bidIncrement(listing.buyItNowPrice));
    return qMax(ceiling, listing.startPrice);
}

QList<BotEvent> planBotBids(quint64 seed, const Listing &listing, double speed, const QDateTime &speedFrom)
{
    QList<BotEvent> events;
    const QDateTime from = listing.startTime;
    const double perHour = listing.botBidsPerHour;
    speed = qMax(1.0, speed);
    if (perHour <= 0 || !listing.endTime.isValid() || !from.isValid() || from >= listing.endTime)
        return events;

    std::mt19937_64 random = itemRandom(seed, listing.number);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::uniform_int_distribution<int> bidder(0, botCount() - 1);
    std::uniform_int_distribution<int> steps(0, 3);

    // Bidders crowd in at the end: the rate doubles in the last tenth of the auction and is
    // six times the base in its last hour; from `speedFrom` on it is also multiplied by the
    // speed. Candidates are drawn at the highest rate and kept in proportion to the rate at
    // their moment.
    const QDateTime lastHour = listing.endTime.addSecs(-3600);
    const QDateTime lastTenth = listing.endTime.addMSecs(-from.msecsTo(listing.endTime) / 10);
    auto factor = [&](const QDateTime &at) {
        const double shape = at >= lastHour ? 6.0 : at >= lastTenth ? 2.0 : 1.0;
        return speedFrom.isValid() && at >= speedFrom ? shape * speed : shape;
    };
    const double peakFactor = 6.0 * speed;
    const double peakPerMsec = peakFactor * perHour / (3600.0 * 1000.0);
    QDateTime at = from;
    // A long auction at a brisk rate would plan thousands of bids; the busiest items of the
    // time saw a few hundred.
    while (events.size() < 500) {
        const double waitMsecs = -std::log(1.0 - unit(random)) / peakPerMsec;
        if (waitMsecs >= double(at.msecsTo(listing.endTime)))
            break;
        at = at.addMSecs(qMax<qint64>(1, qint64(waitMsecs)));
        const int who = bidder(random);
        const int extra = steps(random);
        if (unit(random) * peakFactor < factor(at))
            events.append({ at, who, extra });
    }
    return events;
}

} // namespace th::sim
