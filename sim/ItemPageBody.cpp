#include "sim/ItemPageParts.h"

#include "sim/HttpMessage.h"

namespace th::sim {

namespace {

QString sectionHeading(const QString &title, const QString &anchor)
{
    return QLatin1String("<a name=\"") + anchor
        + QLatin1String("\"></a>\n<table border=\"0\" cellpadding=\"3\" cellspacing=\"0\" width=\"100%\">\n"
                        "<tr><td class=\"boxhead\" bgcolor=\"#99CCFF\">")
        + title + QLatin1String("</td></tr>\n</table>\n");
}

QString sellerBox(const ItemSnapshot &item)
{
    const QString seller = encodeFormText(item.listing.seller);
    return sectionHeading(QStringLiteral("Seller information"), QStringLiteral("SELLER"))
        + QLatin1String(
            "<table border=\"0\" cellpadding=\"4\" cellspacing=\"0\" width=\"100%\" class=\"boxbody\">\n"
            "<tr><td><font size=\"2\">Feedback score: ")
        + QString::number(item.sellerRating)
        + QLatin1String(" &nbsp;<span class=\"pipe\">|</span>&nbsp; Member since Jun-14-99</font><br>\n"
                        "<font size=\"2\"><a href=\"/aw-cgi/eBayISAPI.dll?ViewFeedback&userid=")
        + seller
        + QLatin1String(
            "&items=25\">Read feedback comments</a></font><br>\n"
            "<font size=\"2\"><a href=\"/aw-cgi/eBayISAPI.dll?MfcISAPICommand=ViewListedItems&userid=")
        + seller
        + QLatin1String("&include=0&since=-1&sort=3&rows=25\">View seller's other items</a></font><br>\n"
                        "<font size=\"2\"><a href=\"/aw-cgi/eBayISAPI.dll?ReturnUserEmail&requested=")
        + seller
        + QLatin1String("\">Ask seller a question</a></font><br>\n"
                        "<font size=\"2\"><a href=\"/help/safety.html\">Safe Trading Tips</a></font>"
                        "</td></tr>\n</table>\n<br>\n");
}

QString descriptionSection(const ItemSnapshot &item)
{
    const QString description = item.listing.description.isEmpty() ? generatedDescription(item.listing.number,
                                    item.listing.title, 20000 + int(item.listing.number % 20000))
                                                                   : item.listing.description;
    return sectionHeading(QStringLiteral("Description"), QStringLiteral("DESC"))
        + QLatin1String("<table border=\"0\" cellpadding=\"8\" cellspacing=\"0\" width=\"100%\">\n<tr><td>\n")
        + description + QLatin1String("\n</td></tr>\n</table>\n<br>\n");
}

QString shippingSection(const ItemSnapshot &item)
{
    QString methods = QStringLiteral("Money order/Cashiers check, Personal check");
    if (item.listing.acceptsPaypal)
        methods.prepend(QStringLiteral("PayPal <img src=\"/aw/pics/paypal/logo_60x18.gif\" "
                                       "width=\"60\" height=\"18\" border=\"0\" alt=\"\">, "));
    return sectionHeading(QStringLiteral("Shipping and payment details"), QStringLiteral("SHIPPING"))
        + QLatin1String(
            "<table border=\"0\" cellpadding=\"4\" cellspacing=\"0\" width=\"100%\">\n"
            "<tr><td valign=\"top\" width=\"30%\"><font size=\"2\">Shipping and handling</font></td>\n"
            "<td><font size=\"2\">Buyer pays fixed shipping charges. Will ship to ")
        + escapeHtml(item.listing.country)
        + QLatin1String(" and abroad.</font></td></tr>\n"
                        "<tr><td valign=\"top\"><font size=\"2\">Payment methods "
                        "accepted</font></td>\n<td><font size=\"2\">")
        + methods
        + QLatin1String("</font></td></tr>\n"
                        "<tr><td valign=\"top\"><font size=\"2\">Seller's payment instructions</font></td>\n"
                        "<td><font size=\"2\">Please pay within 7 days. Thank you for shopping with "
                        "us.</font></td></tr>\n"
                        "</table>\n<br>\n");
}

QString formRow(const QString &caption, const QString &content)
{
    return QLatin1String("<tr><td align=\"right\" valign=\"top\" width=\"30%\"><font size=\"2\">") + caption
        + QLatin1String("</font></td>\n<td valign=\"top\">") + content + QLatin1String("</td></tr>\n");
}

QString bidBox(const ItemSnapshot &item, SiteSection section)
{
    const Listing &listing = item.listing;
    const bool fixed = !listing.isAuction();
    const bool severalUnits = listing.quantity > 1;
    QString box = sectionHeading(
        fixed ? QStringLiteral("Ready to buy?") : QStringLiteral("Ready to bid?"), QStringLiteral("BID"));
    box += QLatin1String("<form name=\"bidForm\" method=\"post\" action=\"") + bidFormAction(section)
        + QLatin1String("\">\n<input type=\"hidden\" name=\"MfcISAPICommand\" value=\"MakeBid\">\n"
                        "<input type=\"hidden\" name=\"item\" value=\"")
        + QString::number(listing.number) + QLatin1String("\">\n");
    box += QLatin1String(
        "<table border=\"0\" cellpadding=\"3\" cellspacing=\"0\" width=\"100%\" class=\"boxbody\">\n");
    box += formRow(QStringLiteral("Item title"),
        QLatin1String("<font size=\"2\">") + escapeHtml(listing.title) + QLatin1String("</font>"));
    if (fixed) {
        box += formRow(QStringLiteral("Price"),
            QLatin1String("<font size=\"2\">") + formatMoney(listing.startPrice, listing.currency)
                + QLatin1String(" each</font>"));
        box += formRow(QStringLiteral("Your price"),
            QLatin1String("<input type=\"text\" name=\"maxbid\" size=\"10\" maxlength=\"12\" value=\"")
                + plainAmount(listing.startPrice) + QLatin1String("\" class=\"textbox\">"));
    } else {
        box += formRow(QStringLiteral("Current bid"),
            QLatin1String("<font size=\"2\"><b>") + formatMoney(item.state.currentPrice, listing.currency)
                + QLatin1String("</b></font>"));
        box += formRow(QStringLiteral("Bid increment"),
            QLatin1String("<font size=\"2\">")
                + formatMoney(bidIncrement(item.state.currentPrice), listing.currency)
                + QLatin1String("</font>"));
        box += formRow(QStringLiteral("Your maximum bid"),
            QLatin1String("<input type=\"text\" name=\"maxbid\" size=\"10\" maxlength=\"12\" "
                          "class=\"textbox\"> <font size=\"2\">(Minimum bid: ")
                + formatMoney(item.state.minimumBid, listing.currency) + QLatin1String(")</font>"));
    }
    if (severalUnits)
        box += formRow(QStringLiteral("Number of units wanted"),
            QLatin1String("<input type=\"text\" name=\"quant\" size=\"5\" maxlength=\"5\" value=\"1\" "
                          "class=\"textbox\"> <font size=\"2\">(")
                + QString::number(item.state.unitsAvailable) + QLatin1String(" offered)</font>"));
    else
        box += QLatin1String("<input type=\"hidden\" name=\"quant\" value=\"1\">\n");
    box += formRow(QString(),
        QLatin1String("<input type=\"submit\" value=\"")
            + (fixed ? QLatin1String("Review purchase") : QLatin1String("Review bid"))
            + QLatin1String("\" class=\"button\">"));
    box += QLatin1String("</table>\n</form>\n");
    if (!fixed)
        box += QLatin1String("<p class=\"help\">eBay will bid on your behalf, one step at a time, up to your "
                             "maximum, which is kept secret from other members. Learn about "
                             "<a href=\"/help/buyerguide/bidding-prxy.html\">bidding</a>.</p>\n");
    return box;
}

} // namespace

QString bidFormAction(SiteSection section)
{
    return section == SiteSection::Motors ? QStringLiteral("/ebaymotors/aw-cgi/eBayISAPI.dll")
                                          : QStringLiteral("/aw-cgi/eBayISAPI.dll");
}

QString itemPageBody(const ItemSnapshot &item, SiteSection section)
{
    QString body = QStringLiteral("<br>\n");
    body += sellerBox(item);
    body += descriptionSection(item);
    body += shippingSection(item);
    if (item.status == ItemStatus::Active)
        body += bidBox(item, section);
    else
        body += sectionHeading(QStringLiteral("Bidding"), QStringLiteral("BID"))
            + QLatin1String("<p><font size=\"2\">Bidding is over for this item. <a href=\"")
            + QLatin1String("/aw-cgi/eBayISAPI.dll?ViewBids&item=") + QString::number(item.listing.number)
            + QLatin1String("\">See the bid history</a>.</font></p>\n");
    return body;
}

} // namespace th::sim
