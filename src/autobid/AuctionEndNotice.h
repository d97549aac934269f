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
};

// Tells the result of each item with an automatic bid once, as soon as a page after its end
// has been applied: won, or lost to a higher bid with the final price.
class AuctionEndNotice final {
public:
    // The sentence to tell, the first time the end of `end.item` is known; none otherwise.
    std::optional<QString> check(const AuctionEnd &end);

private:
    QSet<QString> m_told;
};

} // namespace th
