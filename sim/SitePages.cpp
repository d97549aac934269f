#include "sim/SitePages.h"

#include "sim/HttpMessage.h"
#include "sim/ItemPageParts.h"

namespace th::sim {

namespace {

QString page(const QString &title, const QString &pageName, const QString &content,
    SiteSection section = SiteSection::Main)
{
    return withCrLf(pageHead(title, pageName, section) + siteHeader(section) + content + siteFooter());
}

QString hidden(const QString &name, const QString &value)
{
    return QLatin1String("<input type=\"hidden\" name=\"") + name + QLatin1String("\" value=\"")
        + escapeHtml(value) + QLatin1String("\">\n");
}

QString itemLink(qint64 number, const QString &text)
{
    return QLatin1String("<a href=\"/aw-cgi/eBayISAPI.dll?ViewItem&item=") + QString::number(number)
        + QLatin1String("\">") + text + QLatin1String("</a>");
}

QString heading(const QString &text)
{
    return QLatin1String("<table border=\"0\" cellpadding=\"6\" cellspacing=\"0\" width=\"100%\">\n"
                         "<tr><td class=\"pagetitle\">")
        + text + QLatin1String("</td></tr>\n</table>\n");
}

QString resultRow(const ItemSnapshot &item, int row)
{
    const QString price = item.listing.isAuction()
        ? formatMoney(item.state.currentPrice, item.listing.currency)
        : formatMoney(item.listing.startPrice, item.listing.currency);
    const QString bids
        = item.listing.isAuction() ? QString::number(item.state.bidCount) : QStringLiteral("-");
    return QLatin1String("<tr class=\"listrow") + QString::number(row % 2)
        + QLatin1String("\">\n<td><font size=\"2\">") + QString::number(item.listing.number)
        + QLatin1String("</font></td>\n<td><font size=\"2\">")
        + itemLink(item.listing.number, escapeHtml(item.listing.title))
        + (item.state.buyItNowAvailable || !item.listing.isAuction()
                ? QLatin1String(" <img src=\"/aw/pics/bin_15x54.gif\" alt=\"\">")
                : QLatin1String(""))
        + QLatin1String("</font></td>\n<td align=\"right\"><font size=\"2\">") + price
        + QLatin1String("</font></td>\n<td align=\"center\"><font size=\"2\">") + bids
        + QLatin1String("</font></td>\n<td align=\"right\"><font size=\"2\">") + pacificDateText(item.endTime)
        + QLatin1String("</font></td>\n</tr>\n");
}

} // namespace

QString signInPage(
    const ItemSnapshot &item, const PendingBid &bid, SiteSection section, const QString &signedInUser)
{
    QString content = heading(QStringLiteral("Sign In"));
    content += QLatin1String("<p><font size=\"2\">You are about to ")
        + (bid.buyItNow ? QLatin1String("buy") : QLatin1String("bid on")) + QLatin1String(" item #")
        + QString::number(item.listing.number) + QLatin1String(", ") + escapeHtml(item.listing.title)
        + QLatin1String(".<br>Amount: ") + escapeHtml(bid.amountText) + QLatin1String(" &nbsp; Units: ")
        + escapeHtml(bid.quantityText) + QLatin1String("</font></p>\n");
    content += QLatin1String("<form name=\"SignInForm\" method=\"post\" action=\"") + bidFormAction(section)
        + QLatin1String("\">\n");
    content += hidden(QStringLiteral("MfcISAPICommand"), QStringLiteral("AcceptBid"));
    content += hidden(QStringLiteral("item"), QString::number(bid.item));
    content += hidden(QStringLiteral("maxbid"), bid.amountText);
    content += hidden(QStringLiteral("quant"), bid.quantityText);
    if (bid.buyItNow)
        content += hidden(QStringLiteral("bin"), QStringLiteral("1"));
    content += QLatin1String("<table border=\"0\" cellpadding=\"4\" cellspacing=\"0\" class=\"boxbody\">\n");
    if (signedInUser.isEmpty()) {
        content += QLatin1String("<tr><td align=\"right\"><font size=\"2\">User ID</font></td>\n"
                                 "<td><input type=\"text\" name=\"user\" size=\"25\" maxlength=\"64\" "
                                 "class=\"textbox\"></td></tr>\n"
                                 "<tr><td align=\"right\"><font size=\"2\">Password</font></td>\n"
                                 "<td><input type=\"password\" name=\"pass\" size=\"25\" maxlength=\"64\" "
                                 "class=\"textbox\"></td></tr>\n"
                                 "<tr><td></td><td><input type=\"submit\" value=\"Sign In and Confirm\" "
                                 "class=\"button\"></td></tr>\n");
    } else {
        content += QLatin1String("<tr><td colspan=\"2\"><font size=\"2\">You are signed in as <b>")
            + escapeHtml(signedInUser)
            + QLatin1String(
                "</b>.</font></td></tr>\n"
                "<tr><td></td><td><input type=\"submit\" value=\"Confirm\" class=\"button\"></td></tr>\n");
    }
    content += QLatin1String("</table>\n</form>\n<p class=\"help\">Forgot your password? "
                             "<a href=\"/help/password.html\">Get help</a>.</p>\n");
    return page(QStringLiteral("eBay - Sign In"), QStringLiteral("PageSignIn"), content, section);
}

QString plainSignInPage(SiteSection section)
{
    QString content = heading(QStringLiteral("Sign In"));
    content += QLatin1String("<form name=\"SignInForm\" method=\"post\" action=\"") + bidFormAction(section)
        + QLatin1String("\">\n");
    content += hidden(QStringLiteral("MfcISAPICommand"), QStringLiteral("SignInWelcome"));
    content += QLatin1String("<table border=\"0\" cellpadding=\"4\" cellspacing=\"0\" class=\"boxbody\">\n"
                             "<tr><td align=\"right\"><font size=\"2\">User ID</font></td>\n"
                             "<td><input type=\"text\" name=\"user\" size=\"25\" maxlength=\"64\" "
                             "class=\"textbox\"></td></tr>\n"
                             "<tr><td align=\"right\"><font size=\"2\">Password</font></td>\n"
                             "<td><input type=\"password\" name=\"pass\" size=\"25\" maxlength=\"64\" "
                             "class=\"textbox\"></td></tr>\n"
                             "<tr><td></td><td><input type=\"submit\" value=\"Sign In\" "
                             "class=\"button\"></td></tr>\n</table>\n</form>\n");
    return page(QStringLiteral("eBay - Sign In"), QStringLiteral("PageSignIn"), content, section);
}

QString bidAcceptedPage(const ItemSnapshot &item, const QString &bidder, SiteSection section)
{
    QString message;
    if (!item.listing.isAuction() || item.state.soldOutAt.isValid())
        message = QStringLiteral("Thank you for your purchase, %1.").arg(escapeHtml(bidder));
    else if (item.listing.isMultiQuantityAuction())
        message = item.state.winners.contains(bidder)
            ? QStringLiteral("Your bid was accepted; you are among the winning bidders.")
            : QStringLiteral("Your bid was accepted, but other bids are higher at the moment.");
    else if (item.state.highBidder == bidder)
        message = QStringLiteral("You are the current high bidder, %1.").arg(escapeHtml(bidder));
    else
        message = QStringLiteral("You have been outbid by another member's earlier maximum.");
    QString content = heading(QStringLiteral("Bid confirmation"));
    content += QLatin1String("<p><font size=\"3\" class=\"emphasized\">") + message
        + QLatin1String("</font></p>\n");
    content += QLatin1String("<p><font size=\"2\">Item #") + QString::number(item.listing.number)
        + QLatin1String(": ") + itemLink(item.listing.number, escapeHtml(item.listing.title))
        + QLatin1String("<br>Price now: ") + formatMoney(item.state.currentPrice, item.listing.currency)
        + QLatin1String("</font></p>\n");
    return page(
        QStringLiteral("eBay - Bid Confirmation"), QStringLiteral("PageBidConfirm"), content, section);
}

QString problemPage(const QString &headingText, const QString &message, qint64 item)
{
    QString content = heading(escapeHtml(headingText));
    content += QLatin1String("<p><font size=\"2\" class=\"warning\">") + escapeHtml(message)
        + QLatin1String("</font></p>\n");
    if (item > 0)
        content += QLatin1String("<p><font size=\"2\">") + itemLink(item, QStringLiteral("Back to the item"))
            + QLatin1String("</font></p>\n");
    return page(QStringLiteral("eBay - ") + headingText, QStringLiteral("PageError"), content);
}

QString bidHistoryPage(const ItemSnapshot &item)
{
    QString content = heading(QStringLiteral("Bid history"));
    content += QLatin1String("<p><font size=\"2\">Item #") + QString::number(item.listing.number)
        + QLatin1String(": ") + itemLink(item.listing.number, escapeHtml(item.listing.title))
        + QLatin1String("<br>Bids: ") + QString::number(item.state.bidCount) + QLatin1String("</font></p>\n");
    content += QLatin1String(
        "<table border=\"1\" cellpadding=\"3\" cellspacing=\"0\" width=\"90%\">\n"
        "<tr bgcolor=\"#CCCCFF\"><th><font size=\"2\">User ID</font></th><th><font size=\"2\">"
        "Bid amount</font></th><th><font size=\"2\">Units</font></th><th><font size=\"2\">"
        "Date of bid</font></th></tr>\n");
    // Maximums stay secret while an auction runs, as they did on the site.
    const bool showAmounts = item.isOver() || !item.listing.isAuction();
    for (qsizetype i = item.bids.size() - 1; i >= 0; --i) {
        const Bid &bid = item.bids.at(i);
        content += QLatin1String("<tr><td><font size=\"2\">") + escapeHtml(bid.bidder)
            + QLatin1String("</font></td><td align=\"right\"><font size=\"2\">")
            + (showAmounts ? formatMoney(bid.maximum, item.listing.currency) : QStringLiteral("private"))
            + QLatin1String("</font></td><td align=\"center\"><font size=\"2\">")
            + QString::number(bid.quantity) + QLatin1String("</font></td><td><font size=\"2\">")
            + pacificDateText(bid.placedAt) + QLatin1String("</font></td></tr>\n");
    }
    content += QLatin1String("</table>\n");
    return page(
        QStringLiteral("eBay View Bids: ") + item.listing.title, QStringLiteral("PageViewBids"), content);
}

QString resultsPage(ResultKind kind, const QString &words, const QList<ItemSnapshot> &items)
{
    const QString what = kind == ResultKind::Seller ? QStringLiteral("Items for sale by ") + words
        : kind == ResultKind::Completed             ? QStringLiteral("Completed items matching ") + words
                                                    : QStringLiteral("Items matching ") + words;
    QString content = heading(escapeHtml(what));
    content += QLatin1String("<p><font size=\"2\">") + QString::number(items.size())
        + QLatin1String(items.size() == 1 ? " item" : " items") + QLatin1String("</font></p>\n");
    content += QLatin1String(
        "<table border=\"0\" cellpadding=\"3\" cellspacing=\"0\" width=\"100%\">\n"
        "<tr bgcolor=\"#CCCCFF\"><th><font size=\"2\">Item #</font></th><th><font size=\"2\">"
        "Title</font></th><th><font size=\"2\">Price</font></th><th><font size=\"2\">Bids"
        "</font></th><th><font size=\"2\">Closing time</font></th></tr>\n");
    for (int i = 0; i < items.size(); ++i)
        content += resultRow(items.at(i), i);
    content += QLatin1String("</table>\n");
    const QString pageName = kind == ResultKind::Seller ? QStringLiteral("PageViewListedItems")
                                                        : QStringLiteral("PageSearchResults");
    return page(QStringLiteral("eBay - ") + what, pageName, content);
}

QString homePage(const QList<ItemSnapshot> &items)
{
    QString content = heading(QStringLiteral("Welcome to eBay"));
    content += QLatin1String("<p><font size=\"2\">Featured items:</font></p>\n<ul>\n");
    for (const ItemSnapshot &item : items) {
        if (item.status == ItemStatus::Active)
            content += QLatin1String("<li><font size=\"2\">")
                + itemLink(item.listing.number, escapeHtml(item.listing.title))
                + QLatin1String("</font></li>\n");
    }
    content += QLatin1String("</ul>\n");
    return page(QStringLiteral("eBay - The World's Online Marketplace"), QStringLiteral("PageHome"), content);
}

QString motorsItemPath(qint64 number)
{
    return QLatin1String("/ebaymotors/ws/eBayISAPI.dll?ViewItem&item=") + QString::number(number);
}

QString motorsPointerPage(qint64 number)
{
    const QString path = motorsItemPath(number);
    return QLatin1String("<html><head><title>Object moved</title></head>\r\n<body><h1>Object Moved</h1>"
                         "This item is listed in eBay Motors and may be found <a href=\"")
        + path.toHtmlEscaped() + QLatin1String("\">here</a>.</body></html>\r\n");
}

namespace {

QString standInPage(PortalKind kind, const QString &title, const QString &standsFor, const QString &detail)
{
    QString text = QLatin1String("<html><head><title>") + title
        + QLatin1String(" (simulated)</title></head>\r\n<body><h1>") + title + QLatin1String("</h1>\r\n<p>")
        + standsFor + QLatin1String("</p>\r\n");
    if (!detail.isEmpty())
        text += QLatin1String("<p>Request: <tt>") + detail.toHtmlEscaped() + QLatin1String("</tt></p>\r\n");
    if (kind == PortalKind::WebMail)
        text += QLatin1String(
            "<form method=\"post\" action=\"/mail/login\"><input type=\"text\" name=\"login\">"
            "<input type=\"password\" name=\"passwd\"><input type=\"submit\" value=\"Sign in\">"
            "</form>\r\n");
    return text + QLatin1String("</body></html>\r\n");
}

} // namespace

QString portalPage(PortalKind kind, const QString &detail)
{
    const char *title = kind == PortalKind::WebSearch ? "Web search"
        : kind == PortalKind::Payment                 ? "Payment service"
                                                      : "Web mail";
    return standInPage(kind, QLatin1String(title),
        QStringLiteral("This stands in for an outside service the program opens."), detail);
}

const char *portalServiceName(PortalService service)
{
    switch (service) {
    case PortalService::Google:
        return "google";
    case PortalService::Hotmail:
        return "hotmail";
    case PortalService::YahooMail:
        return "yahoomail";
    case PortalService::Paypal:
        return "paypal";
    }
    return "";
}

QString servicePage(PortalService service, const QString &detail)
{
    struct StandIn {
        PortalKind kind;
        const char *title;
        const char *setting;
    };
    const StandIn standIn = service == PortalService::Google
        ? StandIn { PortalKind::WebSearch, "Web search", "Google" }
        : service == PortalService::Hotmail ? StandIn { PortalKind::WebMail, "Web mail (Hotmail)", "Hotmail" }
        : service == PortalService::YahooMail
        ? StandIn { PortalKind::WebMail, "Web mail (Yahoo!)", "YahooMail" }
        : StandIn { PortalKind::Payment, "Payment service", "Paypal" };
    return standInPage(standIn.kind, QLatin1String(standIn.title),
        QStringLiteral("This stands in for the outside service of the program's %1 host.")
            .arg(QLatin1String(standIn.setting)),
        detail);
}

QString unknownPage(const QString &path)
{
    return QLatin1String("<html><head><title>404 Not Found</title></head>\r\n<body><h1>Not Found</h1>"
                         "<p>The requested address ")
        + path.toHtmlEscaped() + QLatin1String(" is not on this server.</p></body></html>\r\n");
}

} // namespace th::sim
