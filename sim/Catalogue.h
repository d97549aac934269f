#pragma once

#include "sim/Amount.h"

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace th::sim {

// A member of the simulated site. Members with a password can sign in and bid through the
// pages; the simulated other bidders have none.
struct SimUser {
    QString id;
    QString password;
    int rating = 0;
};

enum class ListingFormat { Auction, FixedPrice };

// What a seller put on the site: everything about an item except the bids it collects.
struct Listing {
    qint64 number = 0;
    QString title;
    QString seller = QStringLiteral("seller");
    QString category = QStringLiteral("Collectibles");
    QString location = QStringLiteral("San Jose, California");
    QString country = QStringLiteral("United States");
    QString currency = QStringLiteral("USD");
    ListingFormat format = ListingFormat::Auction;
    // Auction: the opening bid. Fixed price: the price of one unit.
    Cents startPrice = 100;
    // 0 when the auction has no reserve.
    Cents reservePrice = 0;
    // 0 when the auction offers no Buy It Now.
    Cents buyItNowPrice = 0;
    // More than 1: a multi-quantity auction, or several units at a fixed price.
    int quantity = 1;
    // Listed in the motors section: the ordinary item address only points there.
    bool motors = false;
    // UTC. An invalid start means "when the item was added".
    QDateTime startTime;
    QDateTime endTime;
    // The seller ended the listing early: the page says the auction is closed.
    bool closedEarly = false;
    // Other bidders: bids an hour on average (before the speed factor), none at 0.
    double botBidsPerHour = 0;
    // The most any other bidder will offer; 0 lets the simulator choose.
    Cents botCeiling = 0;
    // The seller's description (HTML); empty gives a generated one of realistic length.
    QString description;
    bool acceptsPaypal = true;

    bool isAuction() const { return format == ListingFormat::Auction; }
    bool isMultiQuantityAuction() const { return isAuction() && quantity > 1; }
};

// One bid as the site received it. For a multi-quantity auction the maximum is the price per
// unit; for a fixed-price item and a Buy It Now purchase it is the price paid per unit.
struct Bid {
    QString bidder;
    Cents maximum = 0;
    int quantity = 1;
    QDateTime placedAt;
    // Arrival order; breaks ties between bids of the same instant.
    qint64 sequence = 0;
    bool purchase = false;
};

// A catalogue as a file holds it: members, and items with the bids they start with.
struct CatalogueItem {
    Listing listing;
    QList<Bid> bids;
};

struct Catalogue {
    QList<SimUser> users;
    QList<CatalogueItem> items;
};

// Reads a catalogue document. Relative times ("endsInMinutes", "startedMinutesAgo",
// "minutesAgo" of a bid) count from `now`. Returns false with a message for a malformed one.
bool catalogueFromJson(
    const QJsonObject &document, const QDateTime &now, Catalogue *catalogue, QString *error);

// Reads one item description; fields that are absent keep the values of `base`.
bool listingFromJson(
    const QJsonObject &object, const QDateTime &now, const Listing &base, Listing *listing, QString *error);
bool bidFromJson(const QJsonObject &object, const QDateTime &now, Bid *bid, QString *error);
bool userFromJson(const QJsonObject &object, SimUser *user, QString *error);

QJsonObject listingToJson(const Listing &listing);
QJsonObject bidToJson(const Bid &bid);

// An amount in a document: a number of dollars (12.5) or a text ("12.50", "$1,200").
bool amountFromJson(const QJsonValue &value, Cents *amount);

} // namespace th::sim
