// The item page reader's rules, one small page per case. Every row lists the fields it expects
// to be non-empty; all others must be empty.

#include <QRandomGenerator>
#include <QTest>

#include "engine/ItemPageParser.h"
#include "engine/ItemPageScanner.h"

using namespace th;

namespace {

using FieldValues = std::initializer_list<std::pair<int, const char *>>;

QStringList fields(FieldValues values)
{
    QStringList list(ItemPageData::FieldCount);
    for (const auto &[index, text] : values)
        list[index - 1] = QString::fromLatin1(text);
    return list;
}

// A page the reader went all the way through without finding anything, then `values`.
QStringList plain(FieldValues values)
{
    QStringList list = fields(
        { { 1, "(Info not found)" }, { 4, "False" }, { 5, "False" }, { 6, "False" }, { 7, "False" } });
    for (const auto &[index, text] : values)
        list[index - 1] = QString::fromLatin1(text);
    return list;
}

// Filler that puts `marker` where the position just behind it is `following` (1-based).
QByteArray placed(qsizetype following, const QByteArray &marker, char fill = '.')
{
    return QByteArray(following - 1 - marker.size(), fill) + marker;
}

const QByteArray kTitle = "<title>eBay item 1 (Ends Apr-10-03 18:30:00 PDT) - Lamp</title>";

} // namespace

class TestItemPageParser final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanText_data();
    void cleanText();
    void status_data();
    void status() { verifyRow(); }
    void prices_data();
    void prices() { verifyRow(); }
    void titleAndEnds_data();
    void titleAndEnds() { verifyRow(); }
    void titleReferences_data();
    void titleReferences();
    void bidsBidderAndReserve_data();
    void bidsBidderAndReserve() { verifyRow(); }
    void buyItNow_data();
    void buyItNow() { verifyRow(); }
    void quantity_data();
    void quantity() { verifyRow(); }
    void timeLeftAndLocation_data();
    void timeLeftAndLocation() { verifyRow(); }
    void country_data();
    void country() { verifyRow(); }
    void startedSellerAndIncrement_data();
    void startedSellerAndIncrement() { verifyRow(); }
    void garbageStillGivesTwentyFields();
    void fourMebibytePageIsReadToItsEnd();
    void fieldsAreIndexedFromOne();
    void lowerCasingTouchesOnlyAsciiCapitals();

private:
    static void addColumns();
    static void verifyRow();
};

void TestItemPageParser::addColumns()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QStringList>("expected");
}

void TestItemPageParser::verifyRow()
{
    QFETCH(QByteArray, page);
    QFETCH(QStringList, expected);
    QCOMPARE(ParseItemPage(page).toList(), expected);
}

void TestItemPageParser::cleanText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("cleaned");
    QTest::newRow("blanks, line breaks and blanks between words")
        << QByteArray("  a\r\n\r\n  b  ") << QByteArray("a b");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("blanks only") << QByteArray("     ") << QByteArray();
    QTest::newRow("long run of blanks") << QByteArray("a        b") << QByteArray("a b");
    QTest::newRow("line breaks at both ends") << QByteArray("\r\na\r\n") << QByteArray("a");
    QTest::newRow("tabs stay") << QByteArray("\ta \t b\t") << QByteArray("\ta \t b\t");
    QTest::newRow("lone line feed and carriage return stay")
        << QByteArray("a\nb\rc") << QByteArray("a\nb\rc");
    QTest::newRow("pairs are taken left to right") << QByteArray("\r\r\n\n") << QByteArray("\r \n");
    QTest::newRow("non-breaking space is no blank") << QByteArray("\xa0 a \xa0") << QByteArray("\xa0 a \xa0");
}

void TestItemPageParser::cleanText()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, cleaned);
    QCOMPARE(CleanText(text), cleaned);
}

void TestItemPageParser::titleReferences_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("shown");
    QTest::newRow("quotes") << "Figurine &quot;Girl in Apple Tree&quot;"
                            << "Figurine \"Girl in Apple Tree\"";
    QTest::newRow("every named one") << "&amp;&apos;&lt;&gt;a&nbsp;b"
                                     << "&'<>a b";
    QTest::newRow("numeric, decimal and hexadecimal")
        << "Caf&#233; &#xE9;&#XE9; &#8364;" << QString::fromUtf8("Café éé €");
    QTest::newRow("one pass only") << "&amp;quot; &amp;amp;"
                                   << "&quot; &amp;";
    QTest::newRow("unknown or broken stays") << "AT&T &copy; &#; &#x; &#0; &#xD800; &#99999999; & ;"
                                             << "AT&T &copy; &#; &#x; &#0; &#xD800; &#99999999; & ;";
    QTest::newRow("signs are no digits") << "&#+65; &#-65;"
                                         << "&#+65; &#-65;";
}

void TestItemPageParser::titleReferences()
{
    QFETCH(QString, title);
    QFETCH(QString, shown);
    const QByteArray page = "<title>eBay item 1 - " + title.toLatin1() + "</title>";
    QCOMPARE(ParseItemPage(page)[ItemPageData::Title], shown);
}

void TestItemPageParser::status_data()
{
    addColumns();
    const QByteArray ended = "auction has ended";
    QTest::newRow("ended near the top wins over not found")
        << QByteArray("<p>This auction has ended.</p><p>Picture not found</p>")
        << fields({ { 1, "(Info not found)" }, { 4, "False" }, { 5, "True" } });
    QTest::newRow("ended notice followed by position 17999 counts")
        << QByteArray(placed(17999, ended) + " picture not found")
        << fields({ { 1, "(Info not found)" }, { 4, "False" }, { 5, "True" } });
    QTest::newRow("ended notice followed by position 18000 is ignored, not found exits")
        << QByteArray(placed(18000, ended) + " picture not found") << fields({ { 6, "True" } });
    QTest::newRow("ended notice beyond the limit without not found reads on")
        << QByteArray(placed(18000, ended) + "<title>eBay - Lamp</title>") << plain({ { 1, "Lamp" } });
    QTest::newRow("not found exits before anything else is read")
        << QByteArray(kTitle + "Current bid <b>US $1.00</b> Item not found") << fields({ { 6, "True" } });
    QTest::newRow("not found in capitals") << QByteArray("ITEM NOT FOUND") << fields({ { 6, "True" } });
    QTest::newRow("not found split by a line break is no match") << QByteArray("not\r\nfound") << plain({});
    QTest::newRow("ended in mixed capitals") << QByteArray(
        "This Auction Has Ended.") << fields({ { 1, "(Info not found)" }, { 4, "False" }, { 5, "True" } });
    QTest::newRow("closed auction reads only what ended auctions read")
        << QByteArray(kTitle
               + "This AUCTION IS CLOSED. <b>Buy It Now</b> <b>US $9</b> Starting bid <b>US $1</b>"
                 " Time left <b>1 day</b> Started <font size=\"2\">Apr</font>")
        << fields({ { 1, "Lamp" }, { 4, "False" }, { 5, "True" }, { 6, "False" },
               { 16, "Apr-10-03 18:30:00 PDT" } });
    QTest::newRow("ended page keeps title, bids, price, reserve, end and high bidder")
        << QByteArray("This auction has ended. " + kTitle
               + " Current bid <b>US $7.00</b> (Reserve met) # of bids <b>3</b> Time left <b>0</b>"
                 " Location <b>Ohio</b> High bidder <a href=\"?userid=pat%40mail.net&amp;x\"> Bid increment"
                 " <font size=\"2\">US $0.25</font>")
        << fields({ { 1, "Lamp" }, { 2, "3" }, { 3, "US $7.00" }, { 4, "False" }, { 5, "True" }, { 9, "met" },
               { 16, "Apr-10-03 18:30:00 PDT" }, { 19, "pat@mail.net" } });
    QTest::newRow("empty page") << QByteArray() << plain({});
}

void TestItemPageParser::prices_data()
{
    addColumns();
    QTest::newRow("current bid in bold")
        << QByteArray("Current bid:</td><td><b>US $12.50</b>") << plain({ { 3, "US $12.50" } });
    QTest::newRow("fixed price ignores the current bid and takes the bold US amount")
        << QByteArray("PageViewItemFixedPrice Current bid <b>US $1.00</b> Price<td><b>US $25.00</b>")
        << plain({ { 3, "[US $25.00]" }, { 4, "True" } });
    QTest::newRow("bold US amount after a tag stands in for a missing current bid")
        << QByteArray("<td><b>US $12.50</b></td>") << plain({ { 3, "[US $12.50]" } });
    QTest::newRow("bold US amount without its closing tag gives nothing")
        << QByteArray("<td><b>US $12.50") << plain({});
    QTest::newRow("empty bold US amount") << QByteArray("<td><b>US</b>") << plain({ { 3, "[US ]" } });
    QTest::newRow("current bid without bold falls back to the US amount before it")
        << QByteArray("<td><b>US $3.00</b></td> Current bid: none") << plain({ { 3, "[US $3.00]" } });
    QTest::newRow("current bid without closing tag and no US amount")
        << QByteArray("Current bid <b>EUR 5") << plain({});
    QTest::newRow("mixed capitals keep the page's case")
        << QByteArray("CURRENT BID <B>Us $1.00</B>") << plain({ { 3, "Us $1.00" } });
    QTest::newRow("line breaks and runs of blanks inside the value")
        << QByteArray("Current bid <b>  US\r\n   $12.50  </b>") << plain({ { 3, "US $12.50" } });
    QTest::newRow("tabs and lone line feeds stay")
        << QByteArray("Current bid <b>\tUS\n$1</b>") << plain({ { 3, "\tUS\n$1" } });
    QTest::newRow("Latin-1 bytes are characters of their own") << QByteArray("Current bid <b>\xa3"
                                                                             "12.50 \xc3\xa9</b>")
                                                               << plain({ { 3,
                                                                      "\xa3"
                                                                      "12.50 \xc3\xa9" } });
}

void TestItemPageParser::titleAndEnds_data()
{
    addColumns();
    QTest::newRow("title after its first separator, end date from the title")
        << QByteArray("<html><title>eBay item 123 (Ends Apr-10-03 18:30:00 PDT) - Lamp &amp; Shade</title>")
        << plain({ { 1, "Lamp & Shade" }, { 16, "Apr-10-03 18:30:00 PDT" } });
    QTest::newRow("title without separator") << QByteArray("<title>Lamp</title><p>x</p>") << plain({});
    QTest::newRow("separator only in the body: the title's end lies before the cursor")
        << QByteArray("<title>Lamp</title><p>a - b</p>") << plain({ { 1, "" } });
    QTest::newRow("title never closed") << QByteArray("<title>eBay - Lamp") << plain({ { 1, "" } });
    QTest::newRow("title in capitals keeps its case")
        << QByteArray("<TITLE>eBay - Brass LAMP</TITLE>") << plain({ { 1, "Brass LAMP" } });
    QTest::newRow("only the first separator splits")
        << QByteArray("<title>eBay - Lamp - Shade</title>") << plain({ { 1, "Lamp - Shade" } });
    QTest::newRow("ampersands turned back once, capitals left alone")
        << QByteArray("<title>x - A &amp;amp; B &AMP; C</title>") << plain({ { 1, "A &amp; B &AMP; C" } });
    QTest::newRow("title across a line break")
        << QByteArray("<title>x - Lamp\r\n   and   Shade </title>") << plain({ { 1, "Lamp and Shade" } });
    QTest::newRow("the first ends on the page is the one read, inside a word too")
        << QByteArray("<p>my friends say (hi)</p>" + kTitle) << plain({ { 1, "Lamp" }, { 16, "say (hi" } });
    QTest::newRow("end date without closing parenthesis")
        << QByteArray("<title>eBay item 1 (Ends Apr-10-03 18:30:00 PDT - Lamp</title>")
        << plain({ { 1, "Lamp" } });
    QTest::newRow("ends as the last word of the page") << QByteArray("it ends") << plain({});
}

void TestItemPageParser::bidsBidderAndReserve_data()
{
    addColumns();
    QTest::newRow("bid count in bold") << QByteArray("# of bids</td><td><b>7</b>") << plain({ { 2, "7" } });
    QTest::newRow("high bidder with %40 in the user id")
        << QByteArray("High bidder <a href=\"?ViewFeedback&userid=joe%40mail.com&iid=1\">")
        << plain({ { 19, "joe@mail.com" } });
    QTest::newRow("high bidder without a link after it: the user id is searched from near the top")
        << QByteArray("<p><a href=\"?userid=early&x\">e</a></p> High bidder: userid=late&")
        << plain({ { 19, "early" } });
    QTest::newRow("user id without high bidder label")
        << QByteArray("<a href=\"?userid=someone&x\">") << plain({});
    QTest::newRow("high bidder user id without ampersand")
        << QByteArray("High bidder <a href=\"?userid=joe\">") << plain({});
    QTest::newRow("reserve not met") << QByteArray("(Reserve not met)") << plain({ { 9, "not met" } });
    QTest::newRow("reserve in capitals") << QByteArray("(RESERVE MET)") << plain({ { 9, "MET" } });
    QTest::newRow("only the first reserve")
        << QByteArray("(reserve met) (reserve not met)") << plain({ { 9, "met" } });
    QTest::newRow("reserve without closing parenthesis") << QByteArray("(reserve met") << plain({});
    QTest::newRow("missing closing bold empties that field, later fields are still read")
        << QByteArray(kTitle + " (Reserve met) Location <b>Here</b> # of bids <b>7")
        << plain({ { 1, "Lamp" }, { 9, "met" }, { 13, "Here" }, { 16, "Apr-10-03 18:30:00 PDT" } });
}

void TestItemPageParser::buyItNow_data()
{
    addColumns();
    QTest::newRow("buy it now with its price") << QByteArray("<b>Buy It Now</b> price: <b>US $99.00</b>")
                                               << plain({ { 7, "True" }, { 8, "US $99.00" } });
    QTest::newRow("in capitals") << QByteArray("<b>BUY IT NOW</b><b>9</b>")
                                 << plain({ { 7, "True" }, { 8, "9" } });
    QTest::newRow("words outside a tag do not count")
        << QByteArray("<img alt=\"Buy It Now\"><b>US $9</b>") << plain({ { 3, "[US $9]" } });
    QTest::newRow("no bold after it")
        << QByteArray("<b>Buy It Now</b> price: none") << plain({ { 7, "True" } });
    QTest::newRow("bold never closed") << QByteArray(">buy it now< <b>US $9") << plain({ { 7, "True" } });
}

void TestItemPageParser::quantity_data()
{
    addColumns();
    const QByteArray cell = ">Quantity<";
    const QByteArray tagEnd = ">Quantity";
    QTest::newRow("cell label followed by position 1000 counts")
        << QByteArray(placed(1000, cell) + "/font><b>4</b>") << plain({ { 11, "4" } });
    QTest::newRow("cell label followed by position 999 is skipped")
        << QByteArray(placed(999, cell) + "/font><b>4</b>") << plain({});
    QTest::newRow("skipped cell label, own-line label used")
        << QByteArray(placed(999, cell) + "/font><b>4</b><font>\r\nQuantity\r\n</font><b>6</b>")
        << plain({ { 11, "6" } });
    QTest::newRow("tag-end label followed by position 1000 counts")
        << QByteArray(placed(1000, tagEnd) + ":</font><b>3</b>") << plain({ { 11, "3" } });
    QTest::newRow("tag-end label followed by position 999 is skipped")
        << QByteArray(placed(999, tagEnd) + ":</font><b>3</b>") << plain({});
    QTest::newRow("an early cell label hides a later tag-end label")
        << QByteArray("<font>Quantity</font>" + placed(2000, tagEnd) + ": <b>4</b>") << plain({});
    QTest::newRow("own-line label counts near the top too")
        << QByteArray("<font>\r\nQuantity\r\n</font><b>2</b>") << plain({ { 11, "2" } });
    QTest::newRow("own-line label needs the carriage return")
        << QByteArray("<font>\nQuantity\n</font><b>2</b>") << plain({});
    QTest::newRow("positions count bytes: Latin-1 capitals before the label")
        << QByteArray(placed(1000, cell, '\xc9') + "/font><b>4</b>") << plain({ { 11, "4" } });
    QTest::newRow("positions count bytes: UTF-8 pairs before the label") << QByteArray(
        QByteArray(494, '\xc3').replace("\xc3", "\xc3\xa9") + placed(1000 - 988, cell) + "<b>4</b>")
                                                                         << plain({ { 11, "4" } });
    QTest::newRow("font inside the value: the own-line label's value replaces it")
        << QByteArray(placed(1000, cell) + "/font><b><font color=red>3</font></b> x\r\nQuantity\r\n<b>5</b>")
        << plain({ { 11, "5" } });
    QTest::newRow("FONT in capitals inside the value")
        << QByteArray(placed(1000, cell) + "/font><b><FONT>3</FONT></b> x\r\nquantity\r\n<b>5</b>")
        << plain({ { 11, "5" } });
    QTest::newRow("font inside the value, no own-line label: first value kept")
        << QByteArray(placed(1000, cell) + "/font><b><font color=red>3</font></b>")
        << plain({ { 11, "<font color=red>3</font>" } });
    QTest::newRow("font inside the value, own-line label without bold: first value kept")
        << QByteArray(placed(1000, cell) + "/font><b><font>3</font></b>\r\nQuantity\r\n none")
        << plain({ { 11, "<font>3</font>" } });
    QTest::newRow("fixed price removes available and keeps the blank")
        << QByteArray("PageViewItemFixedPrice" + placed(1000, cell) + "<b>5 available</b>")
        << plain({ { 4, "True" }, { 11, "5 " } });
    QTest::newRow("fixed price removes available in any capitals")
        << QByteArray("pageviewitemfixedprice" + placed(1000, cell) + "<b>AVAILABLE: 5 Available</b>")
        << plain({ { 4, "True" }, { 11, ": 5 " } });
    QTest::newRow("auction keeps available")
        << QByteArray(placed(1000, cell) + "<b>5 available</b>") << plain({ { 11, "5 available" } });
    QTest::newRow("no bold after the label") << QByteArray(placed(1000, cell) + "/font> 3") << plain({});
}

void TestItemPageParser::timeLeftAndLocation_data()
{
    addColumns();
    QTest::newRow("time left and location")
        << QByteArray("Time left:</td><td><b>2 days 4 hours +</b> Location:</td><td><b>Ohio</b>")
        << plain({ { 12, "2 days 4 hours +" }, { 13, "Ohio" } });
    QTest::newRow("time left with a font tag means the item has ended") << QByteArray(
        "Time left: <b><font color=red>Ended</font></b>") << plain({ { 12, "Item has ended" } });
    QTest::newRow("location before the time left is not read")
        << QByteArray("<script>top.location=1</script> Time left <b>1 hour</b> Location <b>Ohio</b>")
        << plain({ { 12, "1 hour" }, { 13, "Ohio" } });
    QTest::newRow("without time left the location search starts near the top") << QByteArray(
        "<script>top.location=1</script><b>menu</b> Location <b>Ohio</b>") << plain({ { 13, "menu" } });
    QTest::newRow("time left without bold: the location search starts near the top")
        << QByteArray("<script>top.location=1</script><b>menu</b> Location <b>Ohio</b> Time left: over")
        << plain({ { 13, "menu" } });
    QTest::newRow("location without bold")
        << QByteArray("Time left <b>1h</b> Location: Ohio") << plain({ { 12, "1h" } });
    QTest::newRow("mixed capitals") << QByteArray("TIME LEFT <B>1 Hour</B> LOCATION <B>OHIO</B>")
                                    << plain({ { 12, "1 Hour" }, { 13, "OHIO" } });
    QTest::newRow("location across a line break")
        << QByteArray("Time left <b>1h</b> Location <b>  Maple\r\n  Hollow </b>")
        << plain({ { 12, "1h" }, { 13, "Maple Hollow" } });
}

void TestItemPageParser::country_data()
{
    addColumns();
    QTest::newRow("country/region in bold")
        << QByteArray("Country/Region:</td><td><b>United States</b>") << plain({ { 14, "United States" } });
    QTest::newRow("country/region without bold does not fall back")
        << QByteArray("Site Country: <b>US</b> Country <b>UK</b> Country/Region: none") << plain({});
    QTest::newRow("second country after the first one's bold")
        << QByteArray("Country: <b>US</b> ... Country</td><td><b>United Kingdom</b>")
        << plain({ { 14, "United Kingdom" } });
    QTest::newRow("a single country gives nothing") << QByteArray("Country <b>US</b>") << plain({});
    QTest::newRow("bold right behind the first country is skipped")
        << QByteArray("Country<b>A</b> Country <b>B</b> <b>C</b>") << plain({});
    QTest::newRow("country right behind the bold is skipped")
        << QByteArray("Country <b>Country <b>V</b>") << plain({});
    QTest::newRow("mixed capitals") << QByteArray("COUNTRY/REGION <B>uk</B>") << plain({ { 14, "uk" } });
}

void TestItemPageParser::startedSellerAndIncrement_data()
{
    addColumns();
    const QByteArray seller = "Seller (Rating)</td><td><a href=\"?ViewFeedback&userid=";
    QTest::newRow("started date in the size 2 font")
        << QByteArray("Started</font></td><td><font size=\"2\">Apr-03-03 18:30:00 PDT</font>")
        << plain({ { 15, "Apr-03-03 18:30:00 PDT" } });
    QTest::newRow("started in capitals")
        << QByteArray("STARTED <FONT SIZE=\"2\">Apr-03</FONT>") << plain({ { 15, "Apr-03" } });
    QTest::newRow("started without the font") << QByteArray("Started: Apr-03") << plain({});
    QTest::newRow("started font never closed") << QByteArray("Started <font size=\"2\">Apr-03") << plain({});
    QTest::newRow("seller id and rating") << QByteArray(seller + "lampseller\">lampseller</a> (412)")
                                          << plain({ { 17, "lampseller" }, { 18, "412" } });
    QTest::newRow("doubled quotes in the rating become single") << QByteArray(
        seller + "s\">s</a> (\"\"412\"\" \"\"\"\")") << plain({ { 17, "s" }, { 18, "\"412\" \"\"" } });
    QTest::newRow("seller without user id: neither id nor rating")
        << QByteArray("Seller (Rating) <a href=\"x\">lampseller</a> (412)") << plain({});
    QTest::newRow("user id without its closing quote still gives the rating") << QByteArray(
        "Seller (Rating) <a href=?userid=lampseller>lampseller</a> (412)") << plain({ { 18, "412" } });
    QTest::newRow("seller without link: the user id is searched from near the top")
        << QByteArray("<p>see ?userid=early\">x (1)</p> Seller (Rating) ?userid=late\">y (2)")
        << plain({ { 17, "early" }, { 18, "1" } });
    QTest::newRow("rating without closing parenthesis")
        << QByteArray(seller + "s\">s</a> (412") << plain({ { 17, "s" } });
    QTest::newRow("user id without seller label") << QByteArray("?userid=x\">x (1)") << plain({});
    QTest::newRow("bid increment") << QByteArray(
        "Bid increment</font></td><td><font size=\"2\">US $0.50</font>")
                                   << plain({ { 20, "US $0.50" } });
    QTest::newRow("bid increment in capitals")
        << QByteArray("BID INCREMENT <FONT SIZE=\"2\">US $0.50</FONT>") << plain({ { 20, "US $0.50" } });
    QTest::newRow("bid increment without the font") << QByteArray("Bid increment US $0.50") << plain({});
}

void TestItemPageParser::garbageStillGivesTwentyFields()
{
    QRandomGenerator random(20030410);
    QByteArray garbage(256 * 1024, Qt::Uninitialized);
    for (char &byte : garbage)
        byte = char(random.bounded(256));
    const QStringList read = ParseItemPage(garbage).toList();
    QCOMPARE(read.size(), 20);
    for (int flag : { 4, 5, 6, 7 })
        QVERIFY2(read[flag - 1].isEmpty() || read[flag - 1] == u"True" || read[flag - 1] == u"False",
            qPrintable(read[flag - 1]));

    QCOMPARE(ParseItemPage(QByteArray(4096, '\0')).toList(), plain({}));
}

void TestItemPageParser::fourMebibytePageIsReadToItsEnd()
{
    const QByteArray line
        = "<tr><td><font size=\"2\">Lorem <i>ipsum</i> dolor sit amet, consectetur</font></td></tr>\r\n";
    QByteArray page = kTitle;
    while (page.size() < 2 * 1024 * 1024)
        page += line;
    page += "This auction has ended. Current bid <b>US $1.00</b>";
    while (page.size() < 4 * 1024 * 1024 - 200)
        page += line;
    page += "Time left <b>3 hours</b> Location <b>Ohio</b> Country/Region <b>US</b> "
            "<font>\r\nQuantity\r\n</font><b>2</b>";
    QCOMPARE(ParseItemPage(page).toList(),
        plain({ { 1, "Lamp" }, { 3, "US $1.00" }, { 11, "2" }, { 12, "3 hours" }, { 13, "Ohio" },
            { 14, "US" }, { 16, "Apr-10-03 18:30:00 PDT" } }));
}

void TestItemPageParser::fieldsAreIndexedFromOne()
{
    const ItemPageData data
        = ParseItemPage(QByteArray(kTitle + "# of bids <b>7</b> Bid increment <font size=\"2\">1</font>"));
    QCOMPARE(data[ItemPageData::Title], u"Lamp");
    QCOMPARE(data[1], u"Lamp");
    QCOMPARE(data[ItemPageData::BidCount], u"7");
    QCOMPARE(data[ItemPageData::IsFixedPrice], ItemPageData::FalseText);
    QCOMPARE(data[ItemPageData::EndsText], u"Apr-10-03 18:30:00 PDT");
    QCOMPARE(data[ItemPageData::BidIncrement], u"1");
    QCOMPARE(data[20], u"1");
}

void TestItemPageParser::lowerCasingTouchesOnlyAsciiCapitals()
{
    // Every byte value at every offset of an eight-byte word, and a tail shorter than a word.
    QByteArray bytes;
    for (int shift = 0; shift < 9; ++shift)
        for (int value = 0; value < 256; ++value)
            bytes += char(value);
    bytes.chop(3);
    const QByteArray lower = asciiLowerCopy(bytes);
    QCOMPARE(lower.size(), bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar c = uchar(bytes[i]);
        const uchar expected = (c >= 'A' && c <= 'Z') ? uchar(c + 32) : c;
        QVERIFY2(uchar(lower[i]) == expected, qPrintable(QStringLiteral("byte %1 at %2").arg(c).arg(i)));
    }
}

QTEST_APPLESS_MAIN(TestItemPageParser)
#include "TestItemPageParser.moc"
