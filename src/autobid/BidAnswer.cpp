#include "autobid/BidAnswer.h"

#include <QStringList>

namespace th {

namespace {

bool has(QStringView text, QStringView part)
{
    return text.contains(part, Qt::CaseInsensitive);
}

// The site's page titles are "eBay - " and the page's heading; the heading also stands as a
// line of the page, and the site's sentence is the first line below it.
QString messageBelowHeading(QStringView title, QStringView text)
{
    QStringView heading = title.trimmed();
    const qsizetype dash = heading.indexOf(u" - ");
    if (dash >= 0)
        heading = heading.mid(dash + 3).trimmed();
    const QStringList lines = text.toString().split(u'\n');
    bool below = false;
    for (const QString &line : lines) {
        const QStringView trimmed = QStringView(line).trimmed();
        if (below && !trimmed.isEmpty())
            return trimmed.toString();
        if (!heading.isEmpty() && trimmed.compare(heading, Qt::CaseInsensitive) == 0)
            below = true;
    }
    return {};
}

} // namespace

BidAnswer readBidAnswer(QStringView title, QStringView text)
{
    const QString message = messageBelowHeading(title, text);
    if (has(title, u"Bid Confirmation")) {
        // "Your bid was accepted, but other bids are higher" is a bid taken and already beaten.
        if (has(message, u"outbid") || has(message, u"other bids are higher"))
            return { BidOutcome::Outbid, message };
        if (has(message, u"high bidder") || has(message, u"winning bidders")
            || has(message, u"bid was accepted") || has(message, u"thank you for your purchase"))
            return { BidOutcome::Placed, message };
        return { BidOutcome::Unknown, message.isEmpty() ? title.toString() : message };
    }
    if (has(title, u"Sign In failed"))
        return { BidOutcome::SignInRefused, message };
    if (has(title, u"Problem with your bid") || has(title, u"Invalid item"))
        return { BidOutcome::Refused, message };
    QString shown = title.trimmed().toString();
    if (!message.isEmpty())
        shown += u": " + message;
    return { BidOutcome::Unknown, shown };
}

} // namespace th
