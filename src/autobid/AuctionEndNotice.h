#pragma once

#include <optional>

#include <QSet>
#include <QString>

namespace th {

// How an item with an automatic bid ended, as its pages show it after the end.
struct AuctionEnd {
    QString item;
    QString title;
    bool ended = false; // the end has passed
    bool won = false; // the user is the high bidder at the end
    QString finalPrice; // as the page shows it
    // Why the automatic bid never reached the site (its outcome); empty when it was placed or
    // outbid, or when no bid of this run is known.
    QString notPlaced;
};

// Tells the result of each item with an automatic bid once, as soon as a page after its end
// has been applied: won, or lost to a higher bid with the final price. An item whose bid never
// reached the site is not "lost to a higher bid": the sentence says the bid was not placed.
class AuctionEndNotice final {
public:
    // The sentence to tell, the first time the end of `end.item` is known; none otherwise.
    std::optional<QString> check(const AuctionEnd &end);

private:
    QSet<QString> m_told;
};

} // namespace th
