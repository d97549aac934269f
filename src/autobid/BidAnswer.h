#pragma once

#include <QString>
#include <QStringView>

#include "autobid/BidRecord.h"

namespace th {

// What the site said about a bid, read from the page it showed after the bid or sign-in
// form: its title and its visible text.
struct BidAnswer {
    BidOutcome outcome = BidOutcome::Unknown;
    // The site's own sentence: why it refused, or what it confirmed.
    QString message;
};

// Reads the site's answer page. Only an answer the program recognises as a confirmation of
// the bid counts as placed; anything it does not recognise is unknown, never placed.
BidAnswer readBidAnswer(QStringView title, QStringView text);

} // namespace th
