#pragma once

#include "sim/AuctionRules.h"
#include "sim/BotBidders.h"
#include "sim/Catalogue.h"

#include <QList>
#include <QMap>

#include <optional>

namespace th::sim {

class SimClock;

enum class ItemStatus {
    Pending, // not started yet: the site does not show it
    Active,
    Ended, // ran out of time, or sold out / bought at its Buy It Now price
    Closed, // the seller ended it early
};

// An item as the pages show it at one instant.
struct ItemSnapshot {
    Listing listing;
    QList<Bid> bids;
    AuctionState state;
    ItemStatus status = ItemStatus::Active;
    // The effective end: the planned one, or the moment a purchase or the seller ended it.
    QDateTime endTime;
    QDateTime now;
    int sellerRating = 0;
    int highBidderRating = 0;

    bool isOver() const { return status == ItemStatus::Ended || status == ItemStatus::Closed; }
    // Who won a single-unit item that has ended: the high bidder, if the reserve was met.
    QString winner() const;
};

struct BidOutcome {
    enum class Problem { None, NoSuchItem, NotRunning, Rejected };
    Problem problem = Problem::None;
    BidRejection rejection = BidRejection::None;
    // The page text that explains a problem.
    QString message;
    // The item after the bid (or as it was, when the bid was refused).
    std::optional<ItemSnapshot> item;

    bool accepted() const { return problem == Problem::None; }
};

// The simulated site's members, items and bids, and the life of every auction: the other
// bidders' bids as time passes, the ends, the winners. Time comes from the simulator clock;
// everything that should have happened by "now" is carried out before anything is read.
class AuctionHouse final {
public:
    explicit AuctionHouse(SimClock &clock);

    // The seed and speed of the other bidders; they apply to items added afterwards.
    void setSeed(quint64 seed) { m_seed = seed; }
    quint64 seed() const { return m_seed; }
    void setSpeed(double speed) { m_speed = speed > 0 ? speed : 1.0; }
    double speed() const { return m_speed; }

    // Removes every item and member.
    void clear();

    // Adds a member, or replaces the one with the same id.
    void addUser(const SimUser &user);
    std::optional<SimUser> user(const QString &id) const;
    QList<SimUser> users() const;
    // True for a known member with a password, signing in with that password.
    bool checkPassword(const QString &id, const QString &password) const;
    // The feedback rating of a member or of one of the other bidders; 0 when unknown.
    int ratingOf(const QString &id) const;

    // Adds an item with the bids it already has (in the order of their times). An item needs
    // a positive, unused number, a title and an end; an unset start means now.
    bool addItem(const Listing &listing, QString *error, const QList<Bid> &initialBids = {});
    // Replaces what the seller listed, keeping the bids.
    bool updateItem(const Listing &listing, QString *error);
    bool removeItem(qint64 number);
    bool hasItem(qint64 number) const { return m_items.contains(number); }
    QList<qint64> itemNumbers() const { return m_items.keys(); }

    std::optional<ItemSnapshot> snapshot(qint64 number);
    QList<ItemSnapshot> snapshots();

    // A bid (or, for a fixed-price item, a purchase) by a member now.
    BidOutcome placeBid(qint64 number, const QString &bidder, Cents amount, int quantity = 1);
    BidOutcome buyItNow(qint64 number, const QString &buyer);
    // The seller ends the listing now.
    bool closeEarly(qint64 number);

    // Carries out the other bidders' bids due by now.
    void catchUp();

private:
    struct Record {
        Listing listing;
        QList<Bid> bids;
        QList<BotEvent> botPlan;
        int nextBotEvent = 0;
        QDateTime addedAt;
        // The other bidders have had their turns up to this instant.
        QDateTime botsDoneUntil;
    };

    ItemStatus statusAt(const Record &record, const AuctionState &state, const QDateTime &at) const;
    ItemSnapshot snapshotOf(const Record &record) const;
    void planBots(Record &record);
    void runBots(Record &record, const QDateTime &until);
    void runBot(Record &record, const BotEvent &event);
    BidOutcome submit(qint64 number, const QString &bidder, Cents amount, int quantity, bool purchase);

    SimClock &m_clock;
    quint64 m_seed = 1;
    double m_speed = 1.0;
    qint64 m_nextSequence = 1;
    QMap<QString, SimUser> m_users;
    QMap<qint64, Record> m_items;
};

} // namespace th::sim
