#include "sim/ItemPage.h"

#include "sim/HttpMessage.h"
#include "sim/ItemPageParts.h"

namespace th::sim {

namespace {

// Pounds are shown with their rough dollar value beside them, as the site did for foreign
// listings.
constexpr Cents kDollarsPerHundredPounds = 160;

bool isPounds(const QString &currency)
{
    return currency.compare(QLatin1String("GBP"), Qt::CaseInsensitive) == 0;
}

QString label(const QString &text)
{
    return QLatin1String("<td width=\"15%\" valign=\"top\"><font size=\"2\">") + text
        + QLatin1String("</font></td>\n");
}

QString boldValue(const QString &html, const QString &size = QStringLiteral("2"))
{
    return QLatin1String("<td width=\"35%\" valign=\"top\"><font size=\"") + size + QLatin1String("\"><b>")
        + html + QLatin1String("</b></font>");
}

QString plainValue(const QString &html)
{
    return QLatin1String("<td width=\"35%\" valign=\"top\"><font size=\"2\">") + html
        + QLatin1String("</font></td>\n");
}

QString emptyCells()
{
    return QStringLiteral("<td>&nbsp;</td>\n<td>&nbsp;</td>\n");
}

QString feedbackLink(const QString &userId, const QString &extraQuery)
{
    return QLatin1String("<a href=\"/aw-cgi/eBayISAPI.dll?ViewFeedback&userid=") + encodeFormText(userId)
        + extraQuery + QLatin1String("\">") + escapeHtml(userId) + QLatin1String("</a>");
}

QString feedbackStar(int rating)
{
    if (rating < 10)
        return QString();
    const char *colour = rating >= 1000 ? "red"
        : rating >= 500                 ? "green"
        : rating >= 100                 ? "purple"
                                        : "yellow";
    return QLatin1String(" <img src=\"/aw/pics/star-") + QLatin1String(colour)
        + QLatin1String(".gif\" width=\"16\" height=\"16\" border=\"0\" alt=\"Feedback star\">");
}

QString bidsPath(const ItemSnapshot &item)
{
    return QLatin1String("/aw-cgi/eBayISAPI.dll?ViewBids&item=") + QString::number(item.listing.number);
}

QString statusBanner(const ItemSnapshot &item)
{
    if (item.status == ItemStatus::Ended) {
        QString banner = QStringLiteral(
            "<table border=\"0\" cellpadding=\"6\" cellspacing=\"0\" width=\"100%\" bgcolor=\"#FFFFCC\">\n"
            "<tr><td><font size=\"3\" color=\"#CC0000\"><b>This auction has ended.</b></font>\n");
        const QString winner = item.winner();
        if (!winner.isEmpty())
            banner += QLatin1String("<font size=\"2\">&nbsp;Winning buyer: ") + escapeHtml(winner)
                + QLatin1String("</font>\n");
        banner += QLatin1String("<br><font size=\"2\">Sell an item like this one, or look for similar items "
                                "with the search box above.</font></td></tr>\n</table>\n");
        return banner;
    }
    if (item.status == ItemStatus::Closed)
        return QStringLiteral(
            "<table border=\"0\" cellpadding=\"6\" cellspacing=\"0\" width=\"100%\" bgcolor=\"#FFFFCC\">\n"
            "<tr><td><font size=\"3\" color=\"#CC0000\"><b>This auction is closed.</b></font>\n"
            "<br><font size=\"2\">The seller took this listing off the site before its planned end. "
            "No more bids are taken.</font></td></tr>\n</table>\n");
    return QString();
}

QString itemHeading(const ItemSnapshot &item)
{
    // The title sits inside the font tag, so a title that starts with "US" never reads as a
    // bold dollar amount.
    return QLatin1String(
               "<table border=\"0\" cellpadding=\"4\" cellspacing=\"0\" width=\"100%\" class=\"itemhead\">\n"
               "<tr><td><b><font face=\"Arial\" size=\"4\">")
        + escapeHtml(item.listing.title)
        + QLatin1String("</font></b></td>\n<td align=\"right\" nowrap><font size=\"2\">Item #")
        + QString::number(item.listing.number)
        + QLatin1String("</font></td></tr>\n</table>\n"
                        "<table border=\"0\" cellpadding=\"2\" cellspacing=\"0\" width=\"100%\">\n"
                        "<tr><td><font size=\"2\">Listed in category: <a href=\"/category/index.html\">")
        + escapeHtml(item.listing.category)
        + QLatin1String("</a></font></td>\n<td align=\"right\"><font size=\"2\">"
                        "<a href=\"/aw-cgi/eBayISAPI.dll?MakeTrack&item=")
        + QString::number(item.listing.number)
        + QLatin1String("\">Watch this item</a> <span class=\"pipe\">|</span> "
                        "<a href=\"/aw-cgi/eBayISAPI.dll?ShowEmailAuctionToFriend&item=")
        + QString::number(item.listing.number)
        + QLatin1String("\">Email to a friend</a></font></td></tr>\n</table>\n");
}

QString priceCell(const ItemSnapshot &item)
{
    const Listing &listing = item.listing;
    if (!listing.isAuction()) {
        // A fixed price is written as the US dollar amount in bold right after a tag; a price
        // in pounds gets its dollar value in that form beside it.
        if (!isPounds(listing.currency))
            return boldValue(QLatin1String("US ") + formatMoney(listing.startPrice, listing.currency),
                       QStringLiteral("3"))
                + QLatin1String("</td>\n");
        return boldValue(formatMoney(listing.startPrice, listing.currency), QStringLiteral("3"))
            + QLatin1String("<font size=\"2\"> (approximately </font><font size=\"2\"><b>US ")
            + formatMoney(listing.startPrice * kDollarsPerHundredPounds / 100, QStringLiteral("USD"))
            + QLatin1String("</b></font><font size=\"2\">)</font></td>\n");
    }
    QString cell = boldValue(formatMoney(item.state.currentPrice, listing.currency), QStringLiteral("3"));
    if (listing.reservePrice > 0)
        cell += item.state.reserveMet ? QLatin1String(" <font size=\"2\">(Reserve met)</font>")
                                      : QLatin1String(" <font size=\"2\">(Reserve not met)</font>");
    return cell + QLatin1String("</td>\n");
}

QString timeLeftCell(const ItemSnapshot &item)
{
    if (item.status == ItemStatus::Ended)
        return boldValue(QStringLiteral("Auction has ended.")) + QLatin1String("</td>\n");
    if (item.status == ItemStatus::Closed)
        return boldValue(QStringLiteral("Closed")) + QLatin1String("</td>\n");
    return boldValue(timeLeftText(item.now.secsTo(item.endTime))) + QLatin1String("</td>\n");
}

QString quantityText(const ItemSnapshot &item)
{
    if (item.listing.isAuction())
        return QString::number(item.listing.quantity);
    return QString::number(item.state.unitsAvailable) + QLatin1String(" available");
}

QString buyItNowRow(const ItemSnapshot &item)
{
    const Listing &listing = item.listing;
    const bool fixed = !listing.isAuction();
    if (item.isOver() || (!fixed && !item.state.buyItNowAvailable))
        return QString();
    const Cents price = fixed ? listing.startPrice : listing.buyItNowPrice;
    const QString amount = fixed && !isPounds(listing.currency)
        ? QLatin1String("US ") + formatMoney(price, listing.currency)
        : formatMoney(price, listing.currency);
    return QLatin1String("<tr>\n")
        + label(QLatin1String("<img src=\"/aw/pics/buyItNow_15x54.gif\" width=\"54\" "
                              "height=\"15\" border=\"0\" alt=\"\"><br><font size=\"2\">Buy It Now</font>"))
        + boldValue(amount, QStringLiteral("3")) + QLatin1String(" <font size=\"2\"><a href=\"")
        + QLatin1String("/aw-cgi/eBayISAPI.dll?BinConfirm&item=") + QString::number(listing.number)
        + QLatin1String("\">Buy It Now</a></font></td>\n") + emptyCells() + QLatin1String("</tr>\n");
}

QString bidderRows(const ItemSnapshot &item)
{
    QString rows = QLatin1String("<tr>\n") + label(QStringLiteral("Seller (Rating)"))
        + QLatin1String("<td colspan=\"3\" valign=\"top\"><font size=\"2\"><b>")
        + feedbackLink(item.listing.seller, QString()) + QLatin1String("</b> (")
        + QString::number(item.sellerRating) + QLatin1Char(')') + feedbackStar(item.sellerRating)
        + QLatin1String("</font></td>\n</tr>\n");
    if (item.listing.isMultiQuantityAuction()) {
        rows += QLatin1String("<tr>\n") + label(QStringLiteral("Winning bidders"))
            + QLatin1String("<td colspan=\"3\"><font size=\"2\"><a href=\"") + bidsPath(item)
            + QLatin1String("\">see winning bidders list</a></font></td>\n</tr>\n");
    } else if (!item.state.highBidder.isEmpty()) {
        rows += QLatin1String("<tr>\n") + label(QStringLiteral("High bidder"))
            + QLatin1String("<td colspan=\"3\" valign=\"top\"><font size=\"2\"><b>")
            + feedbackLink(
                item.state.highBidder, QLatin1String("&iid=") + QString::number(item.listing.number))
            + QLatin1String("</b> (") + QString::number(item.highBidderRating) + QLatin1Char(')')
            + feedbackStar(item.highBidderRating) + QLatin1String("</font></td>\n</tr>\n");
    }
    return rows;
}

QString itemTable(const ItemSnapshot &item)
{
    const Listing &listing = item.listing;
    QString table
        = QStringLiteral("<table border=\"0\" cellpadding=\"3\" cellspacing=\"0\" width=\"100%\">\n");
    table += QLatin1String("<tr>\n")
        + label(listing.isAuction() ? QStringLiteral("Current bid") : QStringLiteral("Price"))
        + priceCell(item);
    if (listing.isAuction())
        table += label(QStringLiteral("Starting bid"))
            + boldValue(formatMoney(listing.startPrice, listing.currency)) + QLatin1String("</td>\n");
    else
        table += emptyCells();
    table += QLatin1String("</tr>\n<tr>\n") + label(QStringLiteral("Quantity"))
        + boldValue(quantityText(item)) + QLatin1String("</td>\n");
    if (listing.isAuction())
        table += label(QStringLiteral("# of bids")) + boldValue(QString::number(item.state.bidCount))
            + QLatin1String(" <font size=\"1\">(<a href=\"") + bidsPath(item)
            + QLatin1String("\">bid history</a>)</font></td>\n");
    else
        table += label(QStringLiteral("Sales")) + boldValue(QString::number(item.state.bidCount))
            + QLatin1String(" <font size=\"1\">(<a href=\"") + bidsPath(item)
            + QLatin1String("\">purchase history</a>)</font></td>\n");
    table += QLatin1String("</tr>\n<tr>\n") + label(QStringLiteral("Time left")) + timeLeftCell(item)
        + label(QStringLiteral("Location")) + boldValue(escapeHtml(listing.location))
        + QLatin1String("</td>\n");
    table += QLatin1String("</tr>\n<tr>\n") + label(QStringLiteral("Started"))
        + plainValue(pacificDateText(listing.startTime)) + label(QStringLiteral("Country/Region"))
        + boldValue(
            escapeHtml(listing.country + QLatin1Char('/') + listing.location.section(QLatin1Char(','), 0, 0)))
        + QLatin1String("</td>\n");
    table += QLatin1String("</tr>\n<tr>\n") + label(QStringLiteral("Ends"))
        + plainValue(pacificDateText(item.endTime)) + emptyCells() + QLatin1String("</tr>\n");
    table += buyItNowRow(item);
    table += bidderRows(item);
    table += QLatin1String("</table>\n");
    return table;
}

// The changed layout's names for what the known layout says.
struct Renamed {
    const char *known;
    const char *changed;
};
constexpr Renamed kChangedLayout[] = {
    { ">Current bid</font>", ">Winning offer</font>" },
    { ">Starting bid</font>", ">Opening offer</font>" },
    { ">Quantity</font>", ">Units</font>" },
    { ">Winning bidders</font>", ">Leading buyers</font>" },
    { "># of bids</font>", ">Offers placed</font>" },
    { ">Time left</font>", ">Remaining</font>" },
    { ">Location</font>", ">Ships from</font>" },
    { ">Started</font>", ">Listed on</font>" },
    { ">Country/Region</font>", ">Origin</font>" },
    { ">Ends</font>", ">Closing</font>" },
    { ">Seller (Rating)</font>", ">Seller info</font>" },
    { ">High bidder</font>", ">Leading buyer</font>" },
    { ">Bid increment</font>", ">Raise by</font>" },
    { ">Buy It Now</font>", ">Buy now</font>" },
    { ">Buy It Now</a>", ">Buy now</a>" },
    { "(Reserve met)", "Reserve price met" },
    { "(Reserve not met)", "Reserve price not met" },
    { "This auction has ended.", "Bidding on this listing is over." },
    { "This auction is closed.", "The seller withdrew this listing." },
    { "<b>US ", "<b class=\"amount\">US " },
    // The search form's sort order too: the reader would take its "ends" for the end date.
    { "MetaEndSort", "ClosingSoonest" },
};

QString changedPageTitle(const ItemSnapshot &item)
{
    return item.listing.title + QLatin1String(" | Item ") + QString::number(item.listing.number)
        + QLatin1String(" | eBay");
}

} // namespace

QString itemPageTitle(const ItemSnapshot &item, SiteSection section)
{
    return QLatin1String(section == SiteSection::Motors ? "eBay Motors item " : "eBay item ")
        + QString::number(item.listing.number) + QLatin1String(" (Ends ") + pacificDateText(item.endTime)
        + QLatin1String(") - ") + item.listing.title;
}

QString itemPage(const ItemSnapshot &item, SiteSection section, PageLayout layout)
{
    const QString pageName = !item.listing.isAuction() ? QStringLiteral("PageViewItemFixedPrice")
        : section == SiteSection::Motors               ? QStringLiteral("PageViewItemMotors")
                                                       : QStringLiteral("PageViewItem");
    const bool changed = layout == PageLayout::Changed;
    QString page
        = pageHead(changed ? changedPageTitle(item) : itemPageTitle(item, section), pageName, section);
    page += siteHeader(section);
    page += QLatin1String("<table border=\"0\" cellpadding=\"2\" cellspacing=\"0\" width=\"100%\"><tr><td>"
                          "<font size=\"2\"><a href=\"/\">Back to home page</a></font></td></tr></table>\n");
    page += statusBanner(item);
    page += itemHeading(item);
    page += itemTable(item);
    page += itemPageBody(item, section);
    page += siteFooter();
    if (changed) {
        for (const Renamed &renamed : kChangedLayout)
            page.replace(QLatin1String(renamed.known), QLatin1String(renamed.changed));
    }
    return withCrLf(page);
}

QString itemNotFoundPage(qint64 number)
{
    QString page = pageHead(
        QStringLiteral("eBay - Invalid Item"), QStringLiteral("PageViewItemInvalid"), SiteSection::Main);
    page += siteHeader(SiteSection::Main);
    page
        += QLatin1String("<table border=\"0\" cellpadding=\"8\" cellspacing=\"0\" width=\"100%\">\n<tr><td>\n"
                         "<font size=\"4\"><b>Item not found</b></font>\n<p><font size=\"2\">The item you "
                         "requested (")
        + QString::number(number)
        + QLatin1String(
            ") is invalid, still pending, or no longer in our database. Please check the item "
            "number and try again, or look for similar items with the search box above.</font></p>\n"
            "<p><font size=\"2\">Items stay on the site for a few weeks after bidding is over.</font></p>\n"
            "</td></tr>\n</table>\n");
    page += siteFooter();
    return withCrLf(page);
}

} // namespace th::sim
