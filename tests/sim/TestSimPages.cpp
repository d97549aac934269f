// The item pages of every kind carry each word the program's page reader looks for only
// where the page means it, and the values behind those words are the item's.
#include <QTest>
#include <QTimeZone>

#include "SimClient.h"
#include "sim/Simulator.h"

using namespace th::sim;
using th::test::exchange;

namespace {

const QDateTime kNow(QDate(2026, 3, 2), QTime(17, 0), QTimeZone::utc());

// The reader's way of looking: case-insensitive, first match at or after a position;
// -1 when absent. `end` receives the position just behind the match.
int findFrom(const QByteArray &lower, const QByteArray &keyword, int from, int *end = nullptr)
{
    const int at = lower.indexOf(keyword.toLower(), from);
    if (end)
        *end = at < 0 ? -1 : at + int(keyword.size());
    return at;
}

// The text from behind `start` (searched after `keyword`) up to `close`; null when a marker
// is missing.
QString cutAfter(const QByteArray &page, const QByteArray &keyword, const QByteArray &start,
    const QByteArray &close, int from = 0, int *cursor = nullptr)
{
    const QByteArray lower = page.toLower();
    int end = 0;
    if (findFrom(lower, keyword, from, &end) < 0)
        return QString();
    if (!start.isEmpty() && findFrom(lower, start, end, &end) < 0)
        return QString();
    if (cursor)
        *cursor = end;
    const int stop = lower.indexOf(close.toLower(), end);
    if (stop < 0)
        return QString();
    return QString::fromLatin1(page.mid(end, stop - end)).simplified();
}

QString bold(const QByteArray &page, const QByteArray &keyword, int from = 0, int *cursor = nullptr)
{
    return cutAfter(page, keyword, "<b>", "</b>", from, cursor);
}

Listing listing(qint64 number, const QString &title, qint64 endsInSeconds)
{
    Listing item;
    item.number = number;
    item.title = title;
    item.seller = QStringLiteral("attic-treasures");
    item.startPrice = 999;
    item.startTime = kNow.addDays(-5);
    item.endTime = kNow.addSecs(endsInSeconds);
    return item;
}

Bid bid(const QString &bidder, Cents maximum, int minutesAgo)
{
    Bid result;
    result.bidder = bidder;
    result.maximum = maximum;
    result.placedAt = kNow.addSecs(-60 * minutesAgo);
    return result;
}

struct Expected {
    QString title;
    QString endsText;
    QString price; // bold after "Current bid", or the "><b>US" amount of a fixed price
    QString bids; // "" when the page has no bid count
    QString reserve;
    QString buyItNow;
    QString quantity;
    QString timeLeft;
    QString highBidder;
    QString increment;
    bool notFound = false;
    bool ended = false;
    bool closed = false;
    bool fixed = false;
};

} // namespace

Q_DECLARE_METATYPE(Expected)

class TestSimPages final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void statusWordsAppearOnlyWhereMeant_data() { pageRows(); }
    void statusWordsAppearOnlyWhereMeant();
    void labelsAreFollowedByTheirValues_data() { pageRows(); }
    void labelsAreFollowedByTheirValues();
    void runningItemLabelsAreFollowedByTheirValues_data() { pageRows(); }
    void runningItemLabelsAreFollowedByTheirValues();
    void motorsItemUnderOrdinaryAddressIsAShortPointer();
    void everyItemAddressFormServesThePage_data();
    void everyItemAddressFormServesThePage();
    void timeLeftCountsDownWithTheClock();
    void answersLikeAnOldServer();
    void picturesComeFromTheSimulator_data() { pageRows(); }
    void picturesComeFromTheSimulator();

private:
    static void pageRows();
    QByteArray fetch(qint64 number, const QByteArray &path = "/ws/eBayISAPI.dll");

    Simulator m_sim;
};

void TestSimPages::initTestCase()
{
    m_sim.clock().setNow(kNow);
    QVERIFY2(m_sim.start(), qPrintable(m_sim.errorString()));
    m_sim.addUser({ QStringLiteral("attic-treasures"), QString(), 1287 });
    m_sim.addUser({ QStringLiteral("alice"), QStringLiteral("pw"), 12 });
    m_sim.addUser({ QStringLiteral("bob"), QStringLiteral("pw"), 3 });
    m_sim.addUser({ QStringLiteral("joe@example.com"), QStringLiteral("pw"), 150 });

    QVERIFY(m_sim.addItem(listing(5000001, QStringLiteral("Lamp & Shade - Brass"), 86400)));
    QVERIFY(m_sim.addItem(listing(5000002, QStringLiteral("Mantel Clock"), 9000),
        { bid(QStringLiteral("alice"), 2000, 90), bid(QStringLiteral("bob"), 1500, 30) }));
    Listing reserveNotMet = listing(5000003, QStringLiteral("Quilt"), 2710);
    reserveNotMet.reservePrice = 5000;
    QVERIFY(m_sim.addItem(reserveNotMet, { bid(QStringLiteral("alice"), 4000, 60) }));
    Listing reserveMet = listing(5000004, QStringLiteral("Rocking Chair"), 45);
    reserveMet.reservePrice = 5000;
    QVERIFY(m_sim.addItem(reserveMet, { bid(QStringLiteral("joe@example.com"), 6000, 60) }));
    Listing buyItNow = listing(5000005, QStringLiteral("Tea Set"), 3 * 86400 + 7200);
    buyItNow.buyItNowPrice = 2500;
    QVERIFY(m_sim.addItem(buyItNow));
    Listing fixed = listing(5000006, QStringLiteral("USB Cable"), 86400 * 5);
    fixed.format = ListingFormat::FixedPrice;
    fixed.startPrice = 1999;
    QVERIFY(m_sim.addItem(fixed));
    Listing fixedMulti = fixed;
    fixedMulti.number = 5000007;
    fixedMulti.title = QStringLiteral("Candle Set");
    fixedMulti.quantity = 10;
    QVERIFY(m_sim.addItem(fixedMulti));
    Listing dutch = listing(5000008, QStringLiteral("Glass Marbles Lot"), 600);
    dutch.quantity = 5;
    QVERIFY(m_sim.addItem(dutch, { bid(QStringLiteral("alice"), 1200, 10) }));
    QVERIFY(m_sim.addItem(listing(5000009, QStringLiteral("Old Radio"), -3600),
        { bid(QStringLiteral("alice"), 3000, 600), bid(QStringLiteral("bob"), 2000, 300) }));
    QVERIFY(m_sim.addItem(listing(5000010, QStringLiteral("Pocket Knife"), -60),
        { bid(QStringLiteral("bob"), 1200, 600), bid(QStringLiteral("joe@example.com"), 2500, 30) }));
    Listing closed = listing(5000011, QStringLiteral("Sideboard"), -600);
    closed.closedEarly = true;
    QVERIFY(m_sim.addItem(closed, { bid(QStringLiteral("bob"), 1500, 900) }));
    Listing motors = listing(5000012, QStringLiteral("1967 Fastback Coupe"), 7200);
    motors.motors = true;
    motors.startPrice = 450000;
    QVERIFY(m_sim.addItem(motors, { bid(QStringLiteral("alice"), 500000, 60) }));
    // Ends in Pacific daylight time: 10 April 2026, 18:30:00.
    Listing daylight = listing(5000013, QStringLiteral("Garden Bench"), 0);
    daylight.endTime = QDateTime(QDate(2026, 4, 11), QTime(1, 30), QTimeZone::utc());
    QVERIFY(m_sim.addItem(daylight));
    Listing pounds = listing(5000014, QStringLiteral("Bone China Plate"), 3600);
    pounds.currency = QStringLiteral("GBP");
    pounds.country = QStringLiteral("United Kingdom");
    pounds.location = QStringLiteral("Leeds, West Yorkshire");
    QVERIFY(m_sim.addItem(pounds, { bid(QStringLiteral("bob"), 1200, 5) }));
    Listing soldOut = fixed;
    soldOut.number = 5000015;
    soldOut.title = QStringLiteral("Brass Bookends");
    QVERIFY(m_sim.addItem(soldOut));
    m_sim.clock().setNow(kNow.addSecs(-120));
    QVERIFY(m_sim.placeBid(5000015, QStringLiteral("alice"), 1999).accepted());
    m_sim.clock().setNow(kNow);
}

void TestSimPages::pageRows()
{
    QTest::addColumn<qint64>("number");
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<Expected>("expected");

    Expected e;
    e = { QStringLiteral("Lamp & Shade - Brass"), QStringLiteral("Mar-03-26 09:00:00 PST"),
        QStringLiteral("$9.99"), QStringLiteral("0"), {}, {}, QStringLiteral("1"),
        QStringLiteral("1 day, 0 hours +"), {}, QStringLiteral("$0.50") };
    QTest::newRow("auction without bids") << 5000001LL << QByteArray("/ws/eBayISAPI.dll") << e;
    e = { QStringLiteral("Mantel Clock"), QStringLiteral("Mar-02-26 11:30:00 PST"), QStringLiteral("$15.50"),
        QStringLiteral("2"), {}, {}, QStringLiteral("1"), QStringLiteral("2 hours, 30 mins +"),
        QStringLiteral("alice"), QStringLiteral("$0.50") };
    QTest::newRow("auction with bids") << 5000002LL << QByteArray("/ws/eBayISAPI.dll") << e;
    e = { QStringLiteral("Quilt"), QStringLiteral("Mar-02-26 09:45:10 PST"), QStringLiteral("$9.99"),
        QStringLiteral("1"), QStringLiteral("not met"), {}, QStringLiteral("1"),
        QStringLiteral("45 mins 10 secs"), QStringLiteral("alice"), QStringLiteral("$0.50") };
    QTest::newRow("reserve not met") << 5000003LL << QByteArray("/ws/eBayISAPI.dll") << e;
    e = { QStringLiteral("Rocking Chair"), QStringLiteral("Mar-02-26 09:00:45 PST"), QStringLiteral("$50.00"),
        QStringLiteral("1"), QStringLiteral("met"), {}, QStringLiteral("1"), QStringLiteral("45 secs"),
        QStringLiteral("joe@example.com"), QStringLiteral("$1.00") };
    QTest::newRow("reserve met, e-mail user id") << 5000004LL << QByteArray("/ws/eBayISAPI.dll") << e;
    e = { QStringLiteral("Tea Set"), QStringLiteral("Mar-05-26 11:00:00 PST"), QStringLiteral("$9.99"),
        QStringLiteral("0"), {}, QStringLiteral("$25.00"), QStringLiteral("1"),
        QStringLiteral("3 days, 2 hours +"), {}, QStringLiteral("$0.50") };
    QTest::newRow("buy it now") << 5000005LL << QByteArray("/ws/eBayISAPI.dll") << e;
    e = { QStringLiteral("USB Cable"), QStringLiteral("Mar-07-26 09:00:00 PST"), QStringLiteral("US $19.99"),
        {}, {}, QStringLiteral("US $19.99"), QStringLiteral("1 available"),
        QStringLiteral("5 days, 0 hours +"), {}, {} };
    e.fixed = true;
    QTest::newRow("fixed price") << 5000006LL << QByteArray("/ws/eBayISAPI.dll") << e;
    e.title = QStringLiteral("Candle Set");
    e.quantity = QStringLiteral("10 available");
    QTest::newRow("fixed price, several units") << 5000007LL << QByteArray("/ws/eBayISAPI.dll") << e;
    e = { QStringLiteral("Glass Marbles Lot"), QStringLiteral("Mar-02-26 09:10:00 PST"),
        QStringLiteral("$12.00"), QStringLiteral("1"), {}, {}, QStringLiteral("5"),
        QStringLiteral("10 mins 0 secs"), {}, QStringLiteral("$0.50") };
    QTest::newRow("multi-quantity auction") << 5000008LL << QByteArray("/ws/eBayISAPI.dll") << e;
    e = { QStringLiteral("Old Radio"), QStringLiteral("Mar-02-26 08:00:00 PST"), QStringLiteral("$20.50"),
        QStringLiteral("2"), {}, {}, {}, {}, QStringLiteral("alice"), {} };
    e.ended = true;
    QTest::newRow("ended") << 5000009LL << QByteArray("/ws/eBayISAPI.dll") << e;
    e = { QStringLiteral("Pocket Knife"), QStringLiteral("Mar-02-26 08:59:00 PST"), QStringLiteral("$12.50"),
        QStringLiteral("2"), {}, {}, {}, {}, QStringLiteral("joe@example.com"), {} };
    e.ended = true;
    QTest::newRow("won by a given user") << 5000010LL << QByteArray("/ws/eBayISAPI.dll") << e;
    e = { QStringLiteral("Brass Bookends"), QStringLiteral("Mar-02-26 08:58:00 PST"),
        QStringLiteral("US $19.99"), {}, {}, {}, {}, {}, QStringLiteral("alice"), {} };
    e.ended = true;
    e.fixed = true;
    QTest::newRow("fixed price, sold") << 5000015LL << QByteArray("/ws/eBayISAPI.dll") << e;
    e = { QStringLiteral("Sideboard"), QStringLiteral("Mar-02-26 08:50:00 PST"), QStringLiteral("$9.99"),
        QStringLiteral("1"), {}, {}, {}, {}, QStringLiteral("bob"), {} };
    e.closed = true;
    QTest::newRow("closed") << 5000011LL << QByteArray("/ws/eBayISAPI.dll") << e;
    e = {};
    e.notFound = true;
    QTest::newRow("not found") << 5000099LL << QByteArray("/ws/eBayISAPI.dll") << e;
    e = { QStringLiteral("1967 Fastback Coupe"), QStringLiteral("Mar-02-26 11:00:00 PST"),
        QStringLiteral("$4,500.00"), QStringLiteral("1"), {}, {}, QStringLiteral("1"),
        QStringLiteral("2 hours, 0 mins +"), QStringLiteral("alice"), QStringLiteral("$50.00") };
    QTest::newRow("motors, full page") << 5000012LL << QByteArray("/ebaymotors/ws/eBayISAPI.dll") << e;
    e = { QStringLiteral("Garden Bench"), QStringLiteral("Apr-10-26 18:30:00 PDT"), QStringLiteral("$9.99"),
        QStringLiteral("0"), {}, {}, QStringLiteral("1"), QStringLiteral("39 days, 8 hours +"), {},
        QStringLiteral("$0.50") };
    QTest::newRow("ends in daylight time") << 5000013LL << QByteArray("/aw-cgi/eBayISAPI.dll") << e;
    e = { QStringLiteral("Bone China Plate"), QStringLiteral("Mar-02-26 10:00:00 PST"),
        QStringLiteral("GBP 9.99"), QStringLiteral("1"), {}, {}, QStringLiteral("1"),
        QStringLiteral("1 hour, 0 mins +"), QStringLiteral("bob"), QStringLiteral("GBP 0.50") };
    QTest::newRow("pounds") << 5000014LL << QByteArray("/ws/eBayISAPI.dll") << e;
}

void TestSimPages::statusWordsAppearOnlyWhereMeant()
{
    QFETCH(qint64, number);
    QFETCH(QByteArray, path);
    QFETCH(Expected, expected);
    const QByteArray page = fetch(number, path);
    const QByteArray lower = page.toLower();
    QVERIFY(page.startsWith("HTTP/1.1 200 "));

    // Nothing before the title says "ends": the headers included.
    const int title = findFrom(lower, "<title>", 0);
    QVERIFY(title > 0);
    const int firstEnds = findFrom(lower, "ends", 0);
    QVERIFY(firstEnds < 0 || firstEnds > title);
    if (!expected.notFound)
        QCOMPARE(firstEnds, findFrom(lower, "(ends ", title) + 1);

    // The status words, within the first 18000 characters of the whole answer.
    int statusEnd = 0;
    QCOMPARE(findFrom(lower, "not found", 0) >= 0, expected.notFound);
    QCOMPARE(findFrom(lower, "auction has ended", 0, &statusEnd) >= 0, expected.ended);
    if (expected.ended)
        QVERIFY2(statusEnd < 18000, qPrintable(QString::number(statusEnd)));
    QCOMPARE(findFrom(lower, "auction is closed", 0, &statusEnd) >= 0, expected.closed);
    if (expected.closed)
        QVERIFY(statusEnd < 18000);
    QCOMPARE(findFrom(lower, "pageviewitemfixedprice", 0) >= 0, expected.fixed);
    if (expected.notFound || expected.ended || expected.closed)
        return;
    QCOMPARE(findFrom(lower, ">buy it now<", 0) >= 0, !expected.buyItNow.isEmpty());

    // The quantity label lies beyond character 1000, so the reader does not pass it by.
    int quantityEnd = 0;
    QVERIFY(findFrom(lower, ">quantity<", 0, &quantityEnd) > 0);
    QVERIFY(quantityEnd >= 1000);
    QVERIFY(findFrom(lower, ">quantity", 0, &quantityEnd) > 0 && quantityEnd >= 1000);
}

void TestSimPages::labelsAreFollowedByTheirValues()
{
    QFETCH(qint64, number);
    QFETCH(QByteArray, path);
    QFETCH(Expected, expected);
    if (expected.notFound)
        return;
    const QByteArray page = fetch(number, path);
    const QByteArray lower = page.toLower();
    QCOMPARE(cutAfter(page, "<title>", " - ", "</title>").replace(QLatin1String("&amp;"), QLatin1String("&")),
        expected.title);
    QCOMPARE(cutAfter(page, "ends", " ", ")"), expected.endsText);

    // The price: the bold value after "Current bid" on auctions, the bold US amount right
    // after a tag on fixed-price pages, and no such US amount anywhere else.
    const QString usAmount = cutAfter(page, "><b>us", "", "</b>");
    if (expected.fixed) {
        QCOMPARE(findFrom(lower, "current bid", 0), -1);
        QCOMPARE(QStringLiteral("US ") + usAmount, expected.price);
    } else {
        QCOMPARE(bold(page, "Current bid"), expected.price);
        QVERIFY(usAmount.isNull());
    }
    QCOMPARE(bold(page, "# of bids").isNull(), expected.bids.isEmpty());
    if (!expected.bids.isEmpty())
        QCOMPARE(bold(page, "# of bids"), expected.bids);
    QCOMPARE(cutAfter(page, "(reserve", "", ")"), expected.reserve.isEmpty() ? QString() : expected.reserve);

    const QString highBidder
        = cutAfter(page, "high bidder", "userid=", "&").replace(QLatin1String("%40"), QLatin1String("@"));
    QCOMPARE(highBidder.isNull(), expected.highBidder.isEmpty());
    if (!expected.highBidder.isEmpty())
        QCOMPARE(highBidder, expected.highBidder);
}

void TestSimPages::runningItemLabelsAreFollowedByTheirValues()
{
    QFETCH(qint64, number);
    QFETCH(QByteArray, path);
    QFETCH(Expected, expected);
    if (expected.notFound || expected.ended || expected.closed)
        return;
    const QByteArray page = fetch(number, path);
    if (!expected.buyItNow.isEmpty())
        QCOMPARE(bold(page, ">buy it now<"), expected.buyItNow);
    QCOMPARE(bold(page, "starting bid").isNull(), expected.fixed);
    QCOMPARE(bold(page, ">quantity<"), expected.quantity);
    int cursor = 0;
    QCOMPARE(bold(page, "time left", 0, &cursor), expected.timeLeft);
    // "location" is looked for behind the time left.
    const ItemSnapshot item = *m_sim.item(number);
    QCOMPARE(bold(page, "location", cursor), item.listing.location);
    QCOMPARE(bold(page, "country/region"),
        item.listing.country + QLatin1Char('/') + item.listing.location.section(QLatin1Char(','), 0, 0));
    QCOMPARE(cutAfter(page, "started", "size=\"2\">", "</font>"), QStringLiteral("Feb-25-26 09:00:00 PST"));
    int sellerCursor = 0;
    QCOMPARE(cutAfter(page, "seller (rating)", "userid=", "\">", 0, &sellerCursor), item.listing.seller);
    QCOMPARE(cutAfter(page, "(", "", ")", sellerCursor), QStringLiteral("1287"));
    const QString increment = cutAfter(page, "bid increment", "size=\"2\">", "</font>");
    QCOMPARE(increment.isNull(), expected.increment.isEmpty());
    if (!expected.increment.isEmpty())
        QCOMPARE(increment, expected.increment);
}

void TestSimPages::motorsItemUnderOrdinaryAddressIsAShortPointer()
{
    const QByteArray answer = fetch(5000012);
    QVERIFY(answer.size() < 2000);
    QVERIFY(answer.toLower().contains("/ebaymotors/"));
    QVERIFY(!answer.toLower().contains("not found"));
    QVERIFY(fetch(5000012, "/ebaymotors/ws/eBayISAPI.dll").size() > 20000);
    // Other items answer with their page under the motors address too.
    QVERIFY(fetch(5000002, "/ebaymotors/ws/eBayISAPI.dll").contains("Mantel Clock"));
}

void TestSimPages::everyItemAddressFormServesThePage_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::newRow("ws") << QByteArray("/ws/eBayISAPI.dll");
    QTest::newRow("aw-cgi") << QByteArray("/aw-cgi/eBayISAPI.dll");
    QTest::newRow("motors") << QByteArray("/ebaymotors/ws/eBayISAPI.dll");
    QTest::newRow("other capitals") << QByteArray("/WS/ebayisapi.DLL");
}

void TestSimPages::everyItemAddressFormServesThePage()
{
    QFETCH(QByteArray, path);
    const QByteArray page = fetch(5000002, path);
    QVERIFY(page.contains("<title>eBay item 5000002 (Ends Mar-02-26 11:30:00 PST) - Mantel Clock</title>"));
    // Pages are long, as the site's were: navigation, scripts, a long description.
    QVERIFY(page.size() > 20000);
}

void TestSimPages::timeLeftCountsDownWithTheClock()
{
    QCOMPARE(bold(fetch(5000002), "time left"), QStringLiteral("2 hours, 30 mins +"));
    m_sim.clock().advanceSeconds(2 * 3600 + 29 * 60 + 15);
    QCOMPARE(bold(fetch(5000002), "time left"), QStringLiteral("45 secs"));
    m_sim.clock().advanceSeconds(45);
    const QByteArray ended = fetch(5000002);
    QVERIFY(ended.toLower().indexOf("auction has ended") > 0);
    QCOMPARE(cutAfter(ended, "high bidder", "userid=", "&"), QStringLiteral("alice"));
    m_sim.clock().setNow(kNow);
}

void TestSimPages::answersLikeAnOldServer()
{
    const QByteArray request = th::test::engineRequest("/ws/eBayISAPI.dll", "?ViewItem&item=5000002");
    const th::test::Exchange answer = exchange(m_sim.sitePort(), request);
    QVERIFY(answer.closedByServer);
    const QByteArray head = answer.response.left(answer.response.indexOf("\r\n\r\n"));
    QVERIFY(head.startsWith("HTTP/1.1 200 OK\r\n"));
    QVERIFY(head.contains("\r\nConnection: close"));
    QVERIFY(head.contains("\r\nContent-Type: text/html"));
    QVERIFY(!head.toLower().contains("content-encoding"));
    QVERIFY(!head.toLower().contains("transfer-encoding"));
    QVERIFY(answer.response.endsWith("</html>\r\n"));
}

void TestSimPages::picturesComeFromTheSimulator()
{
    QFETCH(qint64, number);
    QFETCH(QByteArray, path);
    // A browser showing the pages looks up no other host: every picture, also the ones the
    // page's script swaps in, is a path of the simulator, and it answers.
    const QByteArray page = th::test::bodyOf(fetch(number, path));
    QVERIFY(page.contains("var ebPics = \"/aw/pics/\";"));
    int pictures = 0;
    for (qsizetype at = page.indexOf("src=\""); at >= 0; at = page.indexOf("src=\"", at + 1)) {
        const qsizetype start = at + 5;
        const QByteArray source = page.mid(start, page.indexOf('"', start) - start);
        if (source.endsWith(".js"))
            continue;
        QVERIFY2(source.startsWith('/'), source.constData());
        const QByteArray answer = exchange(m_sim.sitePort(), th::test::plainGet(source)).response;
        QCOMPARE(th::test::statusOf(answer), 200);
        QVERIFY(answer.contains("Content-Type: image/gif"));
        ++pictures;
    }
    QVERIFY(pictures > 0);
}

QByteArray TestSimPages::fetch(qint64 number, const QByteArray &path)
{
    const QByteArray request = th::test::engineRequest(path, "?ViewItem&item=" + QByteArray::number(number));
    return exchange(m_sim.sitePort(), request).response;
}

QTEST_GUILESS_MAIN(TestSimPages)
#include "TestSimPages.moc"
