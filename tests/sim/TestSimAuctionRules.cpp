#include <QTest>
#include <QTimeZone>

#include "sim/AuctionHouse.h"
#include "sim/AuctionRules.h"
#include "sim/SimClock.h"

using namespace th::sim;

namespace {

Listing auctionListing(Cents start, Cents reserve = 0)
{
    Listing listing;
    listing.number = 5000001;
    listing.title = QStringLiteral("Lamp");
    listing.seller = QStringLiteral("seller");
    listing.startPrice = start;
    listing.reservePrice = reserve;
    return listing;
}

// "alice:2000,bob:1500" -> bids in that order, one second apart.
QList<Bid> bidsFrom(const QString &text)
{
    QList<Bid> bids;
    const QDateTime start(QDate(2026, 3, 2), QTime(12, 0), QTimeZone::utc());
    for (const QString &entry : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        Bid bid;
        bid.bidder = entry.section(QLatin1Char(':'), 0, 0);
        bid.maximum = entry.section(QLatin1Char(':'), 1, 1).toLongLong();
        bid.quantity = entry.section(QLatin1Char(':'), 2, 2).isEmpty()
            ? 1
            : entry.section(QLatin1Char(':'), 2, 2).toInt();
        bid.sequence = bids.size() + 1;
        bid.placedAt = start.addSecs(bids.size());
        bids.append(bid);
    }
    return bids;
}

} // namespace

class TestSimAuctionRules final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void incrementFollowsTheTable_data();
    void incrementFollowsTheTable();
    void proxyBidding_data();
    void proxyBidding();
    void bidAcceptance_data();
    void bidAcceptance();
    void multiQuantityWinnersPayTheLowestWinningBid();
    void fixedPriceSalesCountDownUnits();
    void buyItNowEndsTheAuctionAndDisappearsWithBids();
    void amountsParseAndFormat_data();
    void amountsParseAndFormat();
    void auctionEndsAndTheHighBidderWins();
    void reserveNotMetLeavesNoWinner();
    void otherBiddersAreReproducibleFromTheSeed();
    void speedFactorMakesOtherBiddersBusier();
};

void TestSimAuctionRules::incrementFollowsTheTable_data()
{
    QTest::addColumn<qint64>("price");
    QTest::addColumn<qint64>("increment");
    QTest::newRow("0.01") << 1LL << 5LL;
    QTest::newRow("0.99") << 99LL << 5LL;
    QTest::newRow("1.00") << 100LL << 25LL;
    QTest::newRow("4.99") << 499LL << 25LL;
    QTest::newRow("5.00") << 500LL << 50LL;
    QTest::newRow("24.99") << 2499LL << 50LL;
    QTest::newRow("25.00") << 2500LL << 100LL;
    QTest::newRow("99.99") << 9999LL << 100LL;
    QTest::newRow("100.00") << 10000LL << 250LL;
    QTest::newRow("249.99") << 24999LL << 250LL;
    QTest::newRow("250.00") << 25000LL << 500LL;
    QTest::newRow("499.99") << 49999LL << 500LL;
    QTest::newRow("500.00") << 50000LL << 1000LL;
    QTest::newRow("999.99") << 99999LL << 1000LL;
    QTest::newRow("1000.00") << 100000LL << 2500LL;
    QTest::newRow("2499.99") << 249999LL << 2500LL;
    QTest::newRow("2500.00") << 250000LL << 5000LL;
    QTest::newRow("4999.99") << 499999LL << 5000LL;
    QTest::newRow("5000.00") << 500000LL << 10000LL;
    QTest::newRow("75000.00") << 7500000LL << 10000LL;
}

void TestSimAuctionRules::incrementFollowsTheTable()
{
    QFETCH(qint64, price);
    QFETCH(qint64, increment);
    QCOMPARE(bidIncrement(price), increment);
}

void TestSimAuctionRules::proxyBidding_data()
{
    QTest::addColumn<qint64>("start");
    QTest::addColumn<qint64>("reserve");
    QTest::addColumn<QString>("bids");
    QTest::addColumn<qint64>("price");
    QTest::addColumn<QString>("highBidder");
    QTest::addColumn<bool>("reserveMet");
    QTest::addColumn<qint64>("minimumBid");

    QTest::newRow("no bids: the opening bid") << 1000LL << 0LL << "" << 1000LL << "" << true << 1000LL;
    QTest::newRow("one bidder pays the opening bid")
        << 1000LL << 0LL << "alice:5000" << 1000LL << "alice" << true << 1050LL;
    QTest::newRow("higher maximum wins one increment above the second")
        << 1000LL << 0LL << "alice:2000,bob:1500" << 1550LL << "alice" << true << 1600LL;
    QTest::newRow("later higher maximum takes over")
        << 1000LL << 0LL << "alice:2000,bob:3000" << 2050LL << "bob" << true << 2100LL;
    QTest::newRow("capped at the winner's maximum")
        << 1000LL << 0LL << "alice:1525,bob:1500" << 1525LL << "alice" << true << 1575LL;
    QTest::newRow("tie goes to the earlier bid")
        << 1000LL << 0LL << "alice:2000,bob:2000" << 2000LL << "alice" << true << 2050LL;
    QTest::newRow("increment of the runner-up's band")
        << 100LL << 0LL << "alice:10000,bob:9999" << 10000LL << "alice" << true << 10250LL;
    QTest::newRow("raising one's own maximum moves nothing")
        << 1000LL << 0LL << "alice:2000,bob:1500,alice:4000" << 1550LL << "alice" << true << 1600LL;
    QTest::newRow("reserve not met") << 1000LL << 5000LL << "alice:4000" << 1000LL << "alice" << false
                                     << 1050LL;
    QTest::newRow("reserve not met by the best of two")
        << 1000LL << 5000LL << "alice:4000,bob:4500" << 4100LL << "bob" << false << 4200LL;
    QTest::newRow("meeting the reserve lifts the price to it")
        << 1000LL << 5000LL << "alice:6000" << 5000LL << "alice" << true << 5100LL;
    QTest::newRow("reserve met above a low runner-up")
        << 1000LL << 5000LL << "bob:3000,alice:6000" << 5000LL << "alice" << true << 5100LL;
    QTest::newRow("reserve met, runner-up above it")
        << 1000LL << 5000LL << "bob:5500,alice:6000" << 5600LL << "alice" << true << 5700LL;
}

void TestSimAuctionRules::proxyBidding()
{
    QFETCH(qint64, start);
    QFETCH(qint64, reserve);
    QFETCH(QString, bids);
    QFETCH(qint64, price);
    QFETCH(QString, highBidder);
    QFETCH(bool, reserveMet);
    QFETCH(qint64, minimumBid);
    const QList<Bid> list = bidsFrom(bids);
    const AuctionState state = auctionState(auctionListing(start, reserve), list);
    QCOMPARE(state.currentPrice, price);
    QCOMPARE(state.highBidder, highBidder);
    QCOMPARE(state.reserveMet, reserveMet);
    QCOMPARE(state.minimumBid, minimumBid);
    QCOMPARE(state.bidCount, int(list.size()));
}

void TestSimAuctionRules::bidAcceptance_data()
{
    QTest::addColumn<QString>("bids");
    QTest::addColumn<QString>("bidder");
    QTest::addColumn<qint64>("amount");
    QTest::addColumn<int>("quantity");
    QTest::addColumn<int>("rejection");

    QTest::newRow("first bid at the opening bid") << ""
                                                  << "carol" << 1000LL << 1 << int(BidRejection::None);
    QTest::newRow("first bid below the opening bid") << ""
                                                     << "carol" << 999LL << 1 << int(BidRejection::TooLow);
    QTest::newRow("exactly one increment above") << "alice:2000,bob:1500"
                                                 << "carol" << 1600LL << 1 << int(BidRejection::None);
    QTest::newRow("one cent short of the minimum") << "alice:2000,bob:1500"
                                                   << "carol" << 1599LL << 1 << int(BidRejection::TooLow);
    QTest::newRow("high bidder raising his maximum") << "alice:2000,bob:1500"
                                                     << "alice" << 2001LL << 1 << int(BidRejection::None);
    QTest::newRow("high bidder not above his maximum")
        << "alice:2000,bob:1500"
        << "alice" << 2000LL << 1 << int(BidRejection::NotAboveOwnMaximum);
    QTest::newRow("seller on his own item") << ""
                                            << "Seller" << 5000LL << 1 << int(BidRejection::SellersOwnItem);
    QTest::newRow("two units of a single item") << ""
                                                << "carol" << 5000LL << 2 << int(BidRejection::BadQuantity);
}

void TestSimAuctionRules::bidAcceptance()
{
    QFETCH(QString, bids);
    QFETCH(QString, bidder);
    QFETCH(qint64, amount);
    QFETCH(int, quantity);
    QFETCH(int, rejection);
    const Listing listing = auctionListing(1000);
    const QList<Bid> list = bidsFrom(bids);
    QCOMPARE(int(checkBid(listing, list, auctionState(listing, list), bidder, amount, quantity, false)),
        rejection);
}

void TestSimAuctionRules::multiQuantityWinnersPayTheLowestWinningBid()
{
    Listing listing = auctionListing(500);
    listing.quantity = 3;
    AuctionState state = auctionState(listing, bidsFrom(QStringLiteral("alice:1000:2,bob:1200:1")));
    QCOMPARE(state.winners, QStringList({ QStringLiteral("bob"), QStringLiteral("alice") }));
    QCOMPARE(state.winnerUnits, QList<int>({ 1, 2 }));
    QCOMPARE(state.currentPrice, 1000);
    QCOMPARE(state.minimumBid, 1050);
    QVERIFY(state.highBidder.isEmpty());

    state = auctionState(listing, bidsFrom(QStringLiteral("alice:1000:2,bob:1200:1,carol:1100:1")));
    QCOMPARE(state.winners,
        QStringList({ QStringLiteral("bob"), QStringLiteral("carol"), QStringLiteral("alice") }));
    QCOMPARE(state.winnerUnits, QList<int>({ 1, 1, 1 }));
    QCOMPARE(state.currentPrice, 1000);

    state = auctionState(listing, bidsFrom(QStringLiteral("alice:800:1")));
    QCOMPARE(state.currentPrice, 800);
    QCOMPARE(state.minimumBid, 500);
}

void TestSimAuctionRules::fixedPriceSalesCountDownUnits()
{
    Listing listing = auctionListing(1999);
    listing.format = ListingFormat::FixedPrice;
    listing.quantity = 3;
    QList<Bid> bids = bidsFrom(QStringLiteral("alice:1999:2"));
    AuctionState state = auctionState(listing, bids);
    QCOMPARE(state.unitsAvailable, 1);
    QVERIFY(!state.soldOutAt.isValid());
    QCOMPARE(checkBid(listing, bids, state, QStringLiteral("bob"), 1999, 2, true), BidRejection::BadQuantity);
    QCOMPARE(checkBid(listing, bids, state, QStringLiteral("bob"), 1998, 1, true), BidRejection::TooLow);
    bids = bidsFrom(QStringLiteral("alice:1999:2,bob:1999:1"));
    state = auctionState(listing, bids);
    QCOMPARE(state.unitsAvailable, 0);
    QCOMPARE(state.soldOutAt, bids.last().placedAt);
    QVERIFY(state.highBidder.isEmpty());

    listing.quantity = 1;
    state = auctionState(listing, bidsFrom(QStringLiteral("carol:1999:1")));
    QCOMPARE(state.highBidder, QStringLiteral("carol"));
}

void TestSimAuctionRules::buyItNowEndsTheAuctionAndDisappearsWithBids()
{
    SimClock clock;
    AuctionHouse house(clock);
    Listing listing = auctionListing(1000);
    listing.buyItNowPrice = 5000;
    listing.endTime = clock.now().addDays(3);
    QString error;
    QVERIFY2(house.addItem(listing, &error), qPrintable(error));
    QVERIFY(house.snapshot(listing.number)->state.buyItNowAvailable);

    listing.number = 5000002;
    QVERIFY(house.addItem(listing, &error));
    QVERIFY(house.placeBid(listing.number, QStringLiteral("alice"), 1200).accepted());
    QVERIFY(!house.snapshot(listing.number)->state.buyItNowAvailable);
    QCOMPARE(house.buyItNow(listing.number, QStringLiteral("bob")).rejection, BidRejection::NoBuyItNow);

    clock.advanceSeconds(60);
    const BidOutcome bought = house.buyItNow(5000001, QStringLiteral("bob"));
    QVERIFY(bought.accepted());
    QCOMPARE(bought.item->status, ItemStatus::Ended);
    QCOMPARE(bought.item->winner(), QStringLiteral("bob"));
    QCOMPARE(bought.item->state.currentPrice, 5000);
    QCOMPARE(bought.item->endTime, clock.now());
}

void TestSimAuctionRules::amountsParseAndFormat_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("cents");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain") << "25.5" << 2550LL << "$25.50";
    QTest::newRow("dollar sign and blanks") << " $1,234.56 " << 123456LL << "$1,234.56";
    QTest::newRow("US prefix") << "US $12.50" << 1250LL << "$12.50";
    QTest::newRow("whole") << "1000000" << 100000000LL << "$1,000,000.00";
    QTest::newRow("cents only") << ".05" << 5LL << "$0.05";
    QTest::newRow("three decimals") << "1.005" << -1LL << "";
    QTest::newRow("letters") << "12a" << -1LL << "";
    QTest::newRow("empty") << "" << -1LL << "";
    QTest::newRow("misplaced comma") << "12,34" << -1LL << "";
}

void TestSimAuctionRules::amountsParseAndFormat()
{
    QFETCH(QString, text);
    QFETCH(qint64, cents);
    QFETCH(QString, shown);
    const std::optional<Cents> parsed = parseAmount(text);
    QCOMPARE(parsed.value_or(-1), cents);
    if (parsed)
        QCOMPARE(formatMoney(*parsed, QStringLiteral("USD")), shown);
}

void TestSimAuctionRules::auctionEndsAndTheHighBidderWins()
{
    SimClock clock;
    AuctionHouse house(clock);
    Listing listing = auctionListing(1000);
    listing.endTime = clock.now().addSecs(600);
    QString error;
    QVERIFY(house.addItem(listing, &error));
    QVERIFY(house.placeBid(listing.number, QStringLiteral("alice"), 2000).accepted());
    clock.advanceSeconds(300);
    const BidOutcome bob = house.placeBid(listing.number, QStringLiteral("bob"), 1800);
    QVERIFY(bob.accepted());
    QCOMPARE(bob.item->state.highBidder, QStringLiteral("alice"));
    QCOMPARE(bob.item->state.currentPrice, 1850);

    clock.advanceSeconds(299);
    QCOMPARE(house.snapshot(listing.number)->status, ItemStatus::Active);
    QVERIFY(house.snapshot(listing.number)->winner().isEmpty());
    clock.advanceSeconds(1);
    const ItemSnapshot ended = *house.snapshot(listing.number);
    QCOMPARE(ended.status, ItemStatus::Ended);
    QCOMPARE(ended.winner(), QStringLiteral("alice"));
    const BidOutcome late = house.placeBid(listing.number, QStringLiteral("carol"), 9000);
    QCOMPARE(late.problem, BidOutcome::Problem::NotRunning);
    QCOMPARE(house.snapshot(listing.number)->bids.size(), 2);

    QVERIFY(house.closeEarly(listing.number));
    QCOMPARE(house.snapshot(listing.number)->status, ItemStatus::Closed);
}

void TestSimAuctionRules::reserveNotMetLeavesNoWinner()
{
    SimClock clock;
    AuctionHouse house(clock);
    Listing listing = auctionListing(1000, 5000);
    listing.endTime = clock.now().addSecs(60);
    QString error;
    QVERIFY(house.addItem(listing, &error));
    QVERIFY(house.placeBid(listing.number, QStringLiteral("alice"), 4000).accepted());
    clock.advanceSeconds(60);
    const ItemSnapshot ended = *house.snapshot(listing.number);
    QCOMPARE(ended.status, ItemStatus::Ended);
    QCOMPARE(ended.state.highBidder, QStringLiteral("alice"));
    QVERIFY(ended.winner().isEmpty());
}

void TestSimAuctionRules::otherBiddersAreReproducibleFromTheSeed()
{
    auto run = [](quint64 seed) {
        SimClock clock;
        AuctionHouse house(clock);
        house.setSeed(seed);
        Listing listing = auctionListing(1000);
        listing.startTime = clock.now();
        listing.endTime = clock.now().addSecs(6 * 3600);
        listing.botBidsPerHour = 4;
        QString error;
        house.addItem(listing, &error);
        // Time moves in uneven steps; the outcome must not depend on them.
        for (int step = 1; step <= 7; ++step) {
            clock.advanceSeconds(step * 600);
            house.catchUp();
        }
        clock.setNow(listing.endTime);
        return house.snapshot(listing.number)->bids;
    };
    const QList<Bid> first = run(7);
    const QList<Bid> second = run(7);
    QVERIFY(first.size() > 3);
    QCOMPARE(first.size(), second.size());
    for (qsizetype i = 0; i < first.size(); ++i) {
        QCOMPARE(first.at(i).bidder, second.at(i).bidder);
        QCOMPARE(first.at(i).maximum, second.at(i).maximum);
        QCOMPARE(first.at(i).placedAt, second.at(i).placedAt);
    }
    const QList<Bid> other = run(8);
    bool differs = other.size() != first.size();
    for (qsizetype i = 0; !differs && i < first.size(); ++i)
        differs = other.at(i).placedAt != first.at(i).placedAt;
    QVERIFY(differs);
}

void TestSimAuctionRules::speedFactorMakesOtherBiddersBusier()
{
    auto plannedBids = [](double speed) {
        Listing listing = auctionListing(1000);
        listing.startTime = QDateTime(QDate(2026, 3, 2), QTime(12, 0), QTimeZone::utc());
        listing.endTime = listing.startTime.addSecs(6 * 3600);
        listing.botBidsPerHour = 2;
        return planBotBids(3, listing, speed, listing.startTime).size();
    };
    QVERIFY(plannedBids(10) > 3 * plannedBids(1));
    Listing quiet = auctionListing(1000);
    quiet.startTime = QDateTime(QDate(2026, 3, 2), QTime(12, 0), QTimeZone::utc());
    quiet.endTime = quiet.startTime.addDays(7);
    QVERIFY(planBotBids(3, quiet, 10, quiet.startTime).isEmpty());
}

QTEST_APPLESS_MAIN(TestSimAuctionRules)
#include "TestSimAuctionRules.moc"
