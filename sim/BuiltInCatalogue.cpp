#include "sim/BuiltInCatalogue.h"

#include "sim/BotBidders.h"

#include <array>
#include <random>

namespace th::sim {

namespace {

constexpr std::array<const char *, 24> kTitles = {
    "Vintage Brass Desk Lamp with Green Glass Shade",
    "O Gauge Steam Locomotive and Tender, Boxed",
    "Sterling Silver Charm Bracelet, 12 Charms",
    "1965 Offset-Waist Electric Guitar, Sunburst",
    "Milk Glass Mixing Bowl Set of 4, Butterprint",
    "1977 Space Villain Action Figure, Carded",
    "35mm SLR Camera Body with 50mm f/1.8 Lens",
    "Porcelain Figurine \"Girl in Apple Tree\", Signed",
    "Antique Oak Library Table with Drawer",
    "15in Titanium Laptop, 1GHz, 1GB Memory",
    "Signed Baseball, 1998 Home Run Season",
    "Handwoven Market Basket with Cloth Liner",
    "Cast Iron Skillet No. 8, Smooth Bottom",
    "Trading Card Booster Pack, 1st Print, Sealed",
    "1942 Black Crackle Windproof Lighter",
    "Plush Purple Bear with Rose, Tag Protector",
    "Bone China Child's Plate and Bowl, Bunnies",
    "Handheld Game Console, Cobalt, Flip Screen",
    "Stained Glass Window Panel, Dragonfly Pattern",
    "First Edition Hardcover, Dust Jacket, 1951",
    "Oriental Wool Rug 5x8, Hand Knotted",
    "Automatic Diver's Watch, Black Dial, 1970s",
    "Depression Glass Cake Plate, Pink",
    "Mid Century Teak Sideboard, Danish",
};

constexpr std::array<const char *, 8> kLocations = {
    "San Jose, California",
    "Portland, Oregon",
    "Austin, Texas",
    "Columbus, Ohio",
    "Tampa, Florida",
    "Denver, Colorado",
    "Albany, New York",
    "Madison, Wisconsin",
};

struct Shape {
    const char *kind;
    qint64 endsInMinutes;
    int bids;
};

// One row per item: what kind it is, when it ends (negative: ended that long ago) and how
// many bids it starts with.
constexpr std::array<Shape, 20> kShapes = { {
    { "auction", 3 * 24 * 60, 0 },
    { "auction", 4, 6 },
    { "reserve-not-met", 2 * 24 * 60, 3 },
    { "reserve-met", 26 * 60, 5 },
    { "buy-it-now", 5 * 24 * 60, 0 },
    { "fixed", 7 * 24 * 60, 0 },
    { "fixed-multi", 9 * 24 * 60, 2 },
    { "dutch", 30 * 60, 3 },
    { "auction", -90, 8 },
    { "won", -30, 4 },
    { "closed", -10, 2 },
    { "motors", 6 * 60, 4 },
    { "pounds", 3 * 60, 2 },
    { "auction", 12, 9 },
    { "auction", 25, 2 },
    { "reserve-not-met", 8, 1 },
    { "auction", 55, 0 },
    { "buy-it-now", 2, 0 },
    { "auction", 2 * 60, 12 },
    { "auction", 20 * 60, 1 },
} };

QList<Bid> openingBids(const Listing &listing, int count, const QDateTime &now, std::mt19937 &random)
{
    QList<Bid> bids;
    Cents amount = listing.startPrice;
    const qint64 span = qMax<qint64>(60, listing.startTime.secsTo(qMin(now, listing.endTime)));
    for (int i = 0; i < count; ++i) {
        Bid bid;
        bid.bidder = botName(int(random() % quint32(botCount())));
        if (!bids.isEmpty() && bid.bidder == bids.last().bidder)
            bid.bidder = botName(int(random() % quint32(botCount())) + 1);
        bid.maximum = amount;
        bid.placedAt = listing.startTime.addSecs(span * (i + 1) / (count + 1));
        bids.append(bid);
        amount += bidIncrement(amount) * (1 + Cents(random() % 3));
    }
    return bids;
}

// Gives an item the traits of its kind.
void applyKind(Listing &listing, const QString &kind)
{
    if (kind == QLatin1String("reserve-not-met")) {
        listing.reservePrice = listing.startPrice * 6;
        listing.botCeiling = listing.reservePrice - bidIncrement(listing.reservePrice);
    } else if (kind == QLatin1String("reserve-met")) {
        listing.reservePrice = listing.startPrice + 100;
    } else if (kind == QLatin1String("buy-it-now")) {
        listing.buyItNowPrice = listing.startPrice * 3;
    } else if (kind == QLatin1String("fixed") || kind == QLatin1String("fixed-multi")) {
        listing.format = ListingFormat::FixedPrice;
        listing.quantity = kind == QLatin1String("fixed") ? 1 : 10;
    } else if (kind == QLatin1String("dutch")) {
        listing.quantity = 5;
    } else if (kind == QLatin1String("closed")) {
        listing.closedEarly = true;
    } else if (kind == QLatin1String("motors")) {
        listing.motors = true;
        listing.title = QStringLiteral("1967 Fastback Coupe, 289 V8, Runs Great");
        listing.seller = QStringLiteral("westcoast_wheels");
        listing.category = QStringLiteral("eBay Motors > Cars & Trucks > Classics");
        listing.startPrice = 450000;
        listing.reservePrice = 900000;
    } else if (kind == QLatin1String("pounds")) {
        listing.currency = QStringLiteral("GBP");
        listing.country = QStringLiteral("United Kingdom");
        listing.location = QStringLiteral("Leeds, West Yorkshire");
    }
}

// The bids an item starts with: opening bids of the other bidders on an auction, sales of
// a fixed-price item, and the demo member's winning bid on the won item.
QList<Bid> startingBids(Listing &listing, const Shape &shape, const QDateTime &now, std::mt19937 &random)
{
    QList<Bid> bids = openingBids(listing, listing.isAuction() ? shape.bids : 0, now, random);
    if (!listing.isAuction()) {
        for (int b = 0; b < shape.bids; ++b) {
            Bid purchase;
            purchase.bidder = botName(b * 5);
            purchase.maximum = listing.startPrice;
            purchase.purchase = true;
            purchase.placedAt = now.addSecs(-3600 * (b + 1));
            bids.append(purchase);
        }
    }
    if (QLatin1String(shape.kind) == QLatin1String("won")) {
        Bid winning;
        winning.bidder = QStringLiteral("demo_buyer");
        winning.maximum = listing.startPrice * 10;
        winning.placedAt = listing.endTime.addSecs(-45);
        bids.append(winning);
        listing.botBidsPerHour = 0;
    }
    return bids;
}

} // namespace

Catalogue builtInCatalogue(quint64 seed, const QDateTime &now)
{
    std::mt19937 random(quint32(seed) ^ quint32(seed >> 32) ^ 0xca7a1u);
    Catalogue catalogue;
    catalogue.users = {
        { QStringLiteral("demo_buyer"), QStringLiteral("demo"), 42 },
        { QStringLiteral("second_buyer"), QStringLiteral("secret"), 7 },
        { QStringLiteral("attic-treasures"), QString(), 1287 },
        { QStringLiteral("westcoast_wheels"), QString(), 356 },
        { QStringLiteral("bobs.collectibles"), QString(), 88 },
    };
    const QStringList sellers = { QStringLiteral("attic-treasures"), QStringLiteral("bobs.collectibles") };
    const qint64 base = 2407600000 + qint64(seed % 997) * 1000;
    for (size_t i = 0; i < kShapes.size(); ++i) {
        const Shape &shape = kShapes.at(i);
        const QString kind = QString::fromLatin1(shape.kind);
        CatalogueItem item;
        Listing &listing = item.listing;
        listing.number = base + qint64(i) * 37 + qint64(random() % 30);
        listing.title = QString::fromLatin1(kTitles.at((i + seed) % kTitles.size()));
        listing.seller = sellers.at(int(random() % 2));
        listing.location = QString::fromLatin1(kLocations.at(random() % kLocations.size()));
        listing.startPrice = (1 + Cents(random() % 60)) * 100 - 1;
        listing.endTime = now.addSecs(shape.endsInMinutes * 60);
        listing.startTime = listing.endTime.addDays(shape.endsInMinutes > 3 * 24 * 60 ? -10 : -7);
        if (listing.startTime > now)
            listing.startTime = now.addSecs(-3600);
        // Items meant to show no bids, or an offer that bids take away, stay quiet.
        listing.botBidsPerHour = shape.bids == 0 || kind == QLatin1String("fixed") ? 0 : 0.06;
        applyKind(listing, kind);
        item.bids = startingBids(listing, shape, now, random);
        catalogue.items.append(item);
    }
    return catalogue;
}

} // namespace th::sim
