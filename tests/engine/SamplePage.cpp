#include "SamplePage.h"

#include <iterator>

#include <QRandomGenerator>
#include <QString>

namespace th::test {

namespace {

// Description words. None of them holds a label the reader looks for, so the bulk never feeds
// it anything a real page would not; a few carry Latin-1 letters, as real descriptions did.
constexpr const char *kWords[] = {
    "vintage",
    "brass",
    "lamp",
    "shade",
    "green",
    "glass",
    "condition",
    "excellent",
    "original",
    "finish",
    "wiring",
    "works",
    "perfectly",
    "shipped",
    "insured",
    "packed",
    "carefully",
    "collector",
    "piece",
    "rare",
    "estate",
    "polished",
    "patina",
    "height",
    "inches",
    "wide",
    "base",
    "heavy",
    "solid",
    "globe",
    "chimney",
    "socket",
    "switch",
    "cord",
    "replaced",
    "photos",
    "show",
    "detail",
    "please",
    "ask",
    "questions",
    "before",
    "bidding",
    "payment",
    "within",
    "days",
    "thank",
    "you",
    "for",
    "looking",
    "see",
    "my",
    "other",
    "items",
    "combined",
    "postage",
    "the",
    "and",
    "with",
    "from",
    "this",
    "that",
    "is",
    "a",
    "of",
    "to",
    "in",
    "on",
    "very",
    "little",
    "wear",
    "minor",
    "scratch",
    "no",
    "cracks",
    "or",
    "chips",
    "bright",
    "clean",
    "tested",
    "bulb",
    "included",
    "weight",
    "pounds",
    "made",
    "circa",
    "1920s",
    "art",
    "deco",
    "style",
    "quality",
    "beautiful",
    "desk",
    "table",
    "office",
    "library",
    "reading",
    "light",
    "warm",
    "glow",
    "banker",
    "signed",
    "maker",
    "mark",
    "underside",
    "money",
    "order",
    "personal",
    "buyer",
    "pays",
    "handling",
    "optional",
    "bidders",
    "welcome",
    "email",
    "me",
    "good",
    "luck",
    "caf\xe9",
    "cr\xe8me",
    "d\xe9"
    "cor",
    "na\xefve",
    "\xa3"
    "12",
    "fa\xe7"
    "ade",
    "&nbsp;",
    "<i>mint</i>",
};
constexpr int kWordCount = int(sizeof kWords / sizeof kWords[0]);

// Style rules and scripts of the kind every page of the site carried; "location" appears in
// them long before the item table, as it did.
constexpr const char *kStyleRules[] = {
    ".navbar{font-family:Verdana,Arial;font-size:xx-small;color:#000000;}",
    ".navbar a:link,.navbar a:visited{color:#0000CC;text-decoration:none;}",
    ".tabs td{background-color:#FFCC00;border:1px solid #999999;padding:2px 6px;}",
    ".help{color:#666666;font-size:x-small;}",
    ".pipe{color:#9999FF;}",
    ".hrthin{width:100%;height:1px;background:#DCDCFE;border:0;}",
    ".itemtbl td{font-family:Arial,Helvetica,sans-serif;vertical-align:top;}",
    ".footer{font-size:xx-small;color:#333333;text-align:center;}",
};

constexpr const char *kScripts[] = {
    "var pageName = \"ViewItem\"; var siteHost = \"cgi.ebay.com\";",
    "function ebGetCookie(n){var c=document.cookie;var i=c.indexOf(n+\"=\");if(i<0)return \"\";"
    "var e=c.indexOf(\";\",i);if(e<0)e=c.length;return unescape(c.substring(i+n.length+1,e));}",
    "if (top.location != self.location) { top.location.href = self.location.href; }",
    "function openHelp(u){var w=window.open(u,\"help\",\"width=480,height=400,scrollbars=yes\");"
    "if(w)w.focus();}",
    "var trk = new Image(); trk.src = \"http://rover.ebay.com/roverimp/1/711?pg=\" + pageName;",
    "function swapImg(i,s){if(document.images){document.images[i].src=s;}}",
};

class PageWriter final {
public:
    PageWriter(bool crlf, quint32 seed)
        : m_eol(crlf ? "\r\n" : "\n")
        , m_random(seed)
    {
    }

    void line(const QByteArray &text) { m_page += text + m_eol; }
    QByteArray &page() { return m_page; }
    QRandomGenerator &random() { return m_random; }
    int pick(int count) { return int(m_random.bounded(count)); }

    QByteArray sentence()
    {
        QByteArray text;
        const int words = 6 + pick(12);
        for (int i = 0; i < words; ++i) {
            if (i > 0)
                text += pick(9) == 0 ? "  " : " "; // stray double blanks, as hand-typed text had
            text += kWords[pick(kWordCount)];
        }
        if (text[0] >= 'a' && text[0] <= 'z')
            text[0] = char(text[0] - ('a' - 'A'));
        return text + '.';
    }

private:
    QByteArray m_page;
    QByteArray m_eol;
    QRandomGenerator m_random;
};

void writeStyles(PageWriter &out, int rules)
{
    out.line("<style type=\"text/css\"><!--");
    for (int i = 0; i < rules; ++i)
        out.line("#vi" + QByteArray::number(out.pick(900)) + ' '
            + kStyleRules[out.pick(int(std::size(kStyleRules)))]);
    out.line("--></style>");
}

void writeScript(PageWriter &out, int statements)
{
    out.line("<script language=\"JavaScript\"><!--");
    for (int i = 0; i < statements; ++i)
        out.line(kScripts[out.pick(int(std::size(kScripts)))]);
    out.line("//--></script>");
}

void writeNavigation(PageWriter &out)
{
    static const char *const links[]
        = { "home", "pay", "register", "sign in", "services", "site map", "help" };
    out.line("<table border=\"0\" cellpadding=\"0\" cellspacing=\"0\" width=\"100%\" class=\"navbar\"><tr>");
    out.line("<td><a href=\"http://www.ebay.com/\"><img src=\"http://pics.ebay.com/aw/pics/logo.gif\" "
             "width=\"150\" height=\"70\" border=\"0\" alt=\"eBay\"></a></td><td align=\"right\">");
    for (const char *link : links)
        out.line(QByteArray("<a href=\"http://pages.ebay.com/") + link + "\">" + link
            + "</a> <span class=\"pipe\">|</span>");
    out.line("<font size=\"1\">Country: <b>US</b></font></td></tr>");
    out.line("<tr><td colspan=\"2\"><form action=\"http://search.ebay.com/search/search.dll\" method=\"get\">"
             "<input type=\"text\" name=\"query\" size=\"20\"> <input type=\"submit\" value=\"Search\">"
             "</form></td></tr></table>");
    out.line("<table width=\"100%\"><tr><td><font size=\"2\">Back to list | Listed in category: "
             "<a href=\"http://listings.ebay.com/aw/listings/list/category1234/\">Lamps</a> &gt; "
             "<a href=\"http://listings.ebay.com/aw/listings/list/category5678/\">Art Deco</a></font>"
             "</td></tr></table>");
}

void writeHead(PageWriter &out, const SampleItem &item)
{
    if (item.httpHeaders) {
        out.page()
            += "HTTP/1.1 200 OK\r\nDate: Thu, 03 Apr 2003 21:14:09 GMT\r\nServer: Microsoft-IIS/5.0\r\n"
               "Cache-Control: private\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n";
    }
    out.line("<html><head>");
    if (item.kind == SampleItem::Kind::NotFound)
        out.line("<title>eBay - Invalid Item</title>");
    else
        out.line("<title>eBay item " + item.itemNumber + " (Ends " + item.endsText + ") - " + item.title
            + "</title>");
    out.line("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">");
    if (item.kind == SampleItem::Kind::FixedPrice)
        out.line("<script src=\"http://include.ebaystatic.com/js/PageViewItemFixedPrice.js\"></script>");
    writeStyles(out, 40 + out.pick(30));
    writeScript(out, 10 + out.pick(10));
    out.line("</head><body bgcolor=\"#FFFFFF\">");
    writeNavigation(out);
}

void writeDescription(PageWriter &out, qsizetype until)
{
    out.line("<table width=\"100%\" class=\"itemtbl\"><tr><td><font face=\"Arial\" size=\"3\">");
    while (out.page().size() < until) {
        if (out.pick(6) == 0) {
            writeScript(out, 3 + out.pick(6));
            continue;
        }
        QByteArray paragraph = "<p>";
        const int sentences = 2 + out.pick(6);
        for (int i = 0; i < sentences; ++i) {
            paragraph += out.sentence();
            paragraph += out.pick(4) == 0 ? "\r\n" : " ";
        }
        out.line(paragraph + "</p>");
    }
    out.line("</font></td></tr></table>");
}

void writeFooter(PageWriter &out)
{
    out.line("<table width=\"100%\" class=\"footer\"><tr><td><font size=\"1\">Shipping and handling: "
             "buyer pays. Will ship to the United States only. Payment: money order, personal check.</font>");
    out.line("<p><font size=\"1\">Copyright \xa9 1995-2003 eBay Inc. All Rights Reserved. Designated "
             "trademarks and brands are the property of their respective owners.</font></p>");
    out.line("</td></tr></table></body></html>");
}

QByteArray row(const QByteArray &label, const QByteArray &value)
{
    return "<tr><td width=\"25%\"><font size=\"2\">" + label + "</font></td><td><font size=\"2\">" + value
        + "</font></td></tr>";
}

QByteArray feedbackLink(const QByteArray &userid)
{
    return "<a href=\"http://cgi2.ebay.com/aw-cgi/eBayISAPI.dll?ViewFeedback&userid=" + userid;
}

void writePriceRows(PageWriter &out, const SampleItem &item)
{
    const QByteArray reserve = item.reserve.isEmpty() ? QByteArray() : " (Reserve " + item.reserve + ')';
    if (item.kind == SampleItem::Kind::FixedPrice)
        out.line(row("Price", "<b>" + item.currentBid + "</b>"));
    else if (!item.currentBid.isEmpty())
        out.line(row("Current bid", "<b>" + item.currentBid + "</b>" + reserve));
    else
        out.line(row("Starting bid", "<b>" + item.startingBid + "</b>" + reserve));
    if (!item.buyItNowPrice.isEmpty())
        out.line(row("<b>Buy It Now</b> price",
            "<b>" + item.buyItNowPrice
                + "</b> <a href=\"http://"
                  "offer.ebay.com/ws/eBayISAPI.dll?BinConfirm&item="
                + item.itemNumber
                + "\"><img src=\"http://pics.ebay.com/aw/pics/bin.gif\" alt=\"Buy It Now\"></a>"));
}

void writeItemTable(PageWriter &out, const SampleItem &item)
{
    out.line("<table border=\"1\" cellspacing=\"0\" width=\"100%\" class=\"itemtbl\">");
    writePriceRows(out, item);
    out.line(row("Time left", "<b>" + item.timeLeft + "</b>"));
    out.line(row("Started", item.startedText));
    out.line(row("Ends", item.endsText));
    if (!item.bidCount.isEmpty())
        out.line(row("# of bids",
            "<b>" + item.bidCount
                + "</b> (<a href=\"http://offer.ebay.com/ws/"
                  "eBayISAPI.dll?ViewBids&item="
                + item.itemNumber + "\">bid history</a>)"));
    if (!item.currentBid.isEmpty() && item.kind != SampleItem::Kind::FixedPrice)
        out.line(row("Starting bid", "<b>" + item.startingBid + "</b>"));
    out.line(row("Location", "<b>" + item.location + "</b>"));
    if (item.countryLayout == SampleItem::CountryLayout::CountryRegion)
        out.line(row("Country/Region", "<b>" + item.country + "</b>"));
    else
        out.line(row("Country", "<b>" + item.country + "</b>"));
    const QByteArray amount
        = item.kind == SampleItem::Kind::FixedPrice ? item.quantity + " available" : item.quantity;
    if (item.quantityLayout == SampleItem::QuantityLayout::Cell)
        out.line(row("Quantity", "<b>" + amount + "</b>"));
    else
        out.line(row("\r\nQuantity\r\n", "<b>" + amount + "</b>"));
    out.line(row("Seller (Rating)",
        "<b>" + feedbackLink(item.sellerId) + "\">" + item.sellerId + "</a></b> (" + item.sellerRating
            + ") <img src=\"http://pics.ebay.com/aw/pics/star-2.gif\" border=\"0\">"));
    if (!item.highBidderLink.isEmpty())
        out.line(row("High bidder",
            "<b>" + feedbackLink(item.highBidderLink) + "&iid=" + item.itemNumber + "\">"
                + QByteArray(item.highBidderLink).replace("%40", "@") + "</a></b> (45)"));
    out.line(row("Bid increment", item.bidIncrement));
    out.line("</table>");
}

} // namespace

QByteArray writeSamplePage(const SampleItem &item)
{
    PageWriter out(item.crlf, item.seed);
    writeHead(out, item);
    switch (item.kind) {
    case SampleItem::Kind::NotFound:
        out.line("<p><font size=\"4\"><b>Invalid Item</b></font></p><p><font size=\"2\">The item you "
                 "requested ("
            + item.itemNumber
            + ") is not found. It may have been removed by the "
              "site, or the number may be mistyped.</font></p>");
        writeDescription(out, item.targetSize - 600);
        writeFooter(out);
        return out.page();
    case SampleItem::Kind::Ended:
        out.line("<p><font size=\"3\" color=\"#CC0000\"><b>Bidding has ended for this item.</b> This "
                 "auction has ended. The seller and the winner have been notified by email.</font></p>");
        break;
    case SampleItem::Kind::Closed:
        out.line("<p><font size=\"3\" color=\"#CC0000\"><b>This auction is closed.</b></font></p>");
        break;
    case SampleItem::Kind::Auction:
    case SampleItem::Kind::FixedPrice:
        break;
    }
    out.line(
        "<h2>" + item.title + "</h2><p><font size=\"2\">Item number: " + item.itemNumber + "</font></p>");
    writeItemTable(out, item);
    writeDescription(out, item.targetSize - 600);
    writeFooter(out);
    return out.page();
}

QByteArray writeSampleNoise(qsizetype size, quint32 seed)
{
    PageWriter out(true, seed);
    writeStyles(out, 40);
    writeScript(out, 12);
    writeNavigation(out);
    writeDescription(out, size);
    return out.page();
}

} // namespace th::test
