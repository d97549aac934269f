// Whole pages as long and noisy as the site's: invented pages written by SamplePage, and saved
// pages kept in tests/data/engine.

#include <QFile>
#include <QTest>

#include "SamplePage.h"
#include "TestSupport.h"
#include "engine/ItemPageParser.h"

using namespace th;
using th::test::SampleItem;

namespace {

// What the default SampleItem reads as: every field of a running auction with bids.
QStringList runningAuction()
{
    return { QStringLiteral("Brass Desk Lamp & Green Glass Shade"), QStringLiteral("7"),
        QStringLiteral("US $12.50"), QStringLiteral("False"), QStringLiteral("False"),
        QStringLiteral("False"), QStringLiteral("False"), QString(), QString(), QStringLiteral("US $5.00"),
        QStringLiteral("1"), QStringLiteral("2 days 4 hours +"), QStringLiteral("Maple Hollow, Vermont"),
        QStringLiteral("United States"), QStringLiteral("Apr-03-03 18:30:00 PDT"),
        QStringLiteral("Apr-10-03 18:30:00 PDT"), QStringLiteral("brasslamp_emporium"), QStringLiteral("412"),
        QStringLiteral("pat.quill@example.net"), QStringLiteral("US $0.50") };
}

QStringList with(QStringList list, std::initializer_list<std::pair<int, const char *>> values)
{
    for (const auto &[index, text] : values)
        list[index - 1] = QString::fromLatin1(text);
    return list;
}

// Only the fields an ended auction still reads, from the default item.
QStringList endedAuction(const char *notFoundFlag)
{
    QStringList list(20);
    const QStringList all = runningAuction();
    for (int index : { 1, 2, 3, 4, 16, 19 })
        list[index - 1] = all[index - 1];
    list[4] = QStringLiteral("True");
    list[5] = QString::fromLatin1(notFoundFlag);
    list[8] = QStringLiteral("not met");
    return list;
}

QByteArray readSaved(const QString &name)
{
    QFile file(th::test::testDataFolder() + QStringLiteral("/engine/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(file.fileName()));
    return file.readAll();
}

} // namespace

class TestItemPageParserPages final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void inventedPages_data();
    void inventedPages();
    void savedPages_data();
    void savedPages();
    void bulkAloneHoldsNoItemData();
};

void TestItemPageParserPages::inventedPages_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QStringList>("expected");

    SampleItem item;
    item.reserve = "not met";
    item.targetSize = 120000;
    QTest::newRow("auction with bids and reserve, as the engine receives it")
        << test::writeSamplePage(item) << with(runningAuction(), { { 9, "not met" } });

    item.targetSize = 600000;
    item.seed = 2;
    QTest::newRow("600 KB auction page")
        << test::writeSamplePage(item) << with(runningAuction(), { { 9, "not met" } });

    item = {};
    item.currentBid.clear();
    item.bidCount.clear();
    item.highBidderLink.clear();
    item.buyItNowPrice = "US $99.00";
    item.httpHeaders = false;
    item.crlf = false;
    QTest::newRow("auction without bids, with Buy It Now, body only, line feeds")
        << test::writeSamplePage(item)
        << with(runningAuction(),
               { { 2, "" }, { 3, "[US $5.00]" }, { 7, "True" }, { 8, "US $99.00" }, { 19, "" } });

    item = {};
    item.kind = SampleItem::Kind::FixedPrice;
    item.currentBid = item.buyItNowPrice = "US $25.00";
    item.quantity = "5";
    item.bidCount.clear();
    item.highBidderLink.clear();
    QTest::newRow("fixed price with several available")
        << test::writeSamplePage(item)
        << with(runningAuction(),
               { { 2, "" }, { 3, "[US $25.00]" }, { 4, "True" }, { 7, "True" }, { 8, "US $25.00" },
                   { 10, "" }, { 11, "5 " }, { 19, "" } });

    item = {};
    item.quantityLayout = SampleItem::QuantityLayout::OwnLine;
    item.countryLayout = SampleItem::CountryLayout::CountryTwice;
    item.seed = 3;
    QTest::newRow("quantity label on a line of its own, country named twice")
        << test::writeSamplePage(item) << runningAuction();

    item = {};
    item.timeLeft = "<font color=\"#CC0000\">Bidding is over</font>";
    QTest::newRow("time left in a coloured font")
        << test::writeSamplePage(item) << with(runningAuction(), { { 12, "Item has ended" } });

    item = {};
    item.reserve = "not met";
    item.kind = SampleItem::Kind::Ended;
    QTest::newRow("ended auction") << test::writeSamplePage(item) << endedAuction("");
    item.kind = SampleItem::Kind::Closed;
    QTest::newRow("closed auction") << test::writeSamplePage(item) << endedAuction("False");

    item = {};
    item.kind = SampleItem::Kind::NotFound;
    QStringList notFound(20);
    notFound[5] = QStringLiteral("True");
    QTest::newRow("item not found") << test::writeSamplePage(item) << notFound;
}

void TestItemPageParserPages::inventedPages()
{
    QFETCH(QByteArray, page);
    QFETCH(QStringList, expected);
    QCOMPARE(ParseItemPage(page).toList(), expected);
}

void TestItemPageParserPages::savedPages_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("auction, reserve not met")
        << QStringLiteral("auction-reserve-not-met.html")
        << with(runningAuction(), { { 1, "Caf\xe9 Brass Desk Lamp & Green Glass Shade" }, { 9, "not met" } });
    QTest::newRow("fixed price, five available")
        << QStringLiteral("fixed-price-five-available.html")
        << QStringList { QStringLiteral("Hand-Thrown Stoneware Mugs, Set of Four"), QString(),
               QStringLiteral("[US $25.00]"), QStringLiteral("True"), QStringLiteral("False"),
               QStringLiteral("False"), QStringLiteral("True"), QStringLiteral("US $25.00"), QString(),
               QString(), QStringLiteral("5 "), QStringLiteral("6 days 22 hours +"),
               QStringLiteral("Little Fennick, Oregon"), QStringLiteral("United States"),
               QStringLiteral("Apr-25-03 09:15:00 PDT"), QStringLiteral("May-02-03 09:15:00 PDT"),
               QStringLiteral("tinkerbox_outlet"), QStringLiteral("1,208"), QString(),
               QStringLiteral("US $0.50") };
    QStringList ended(20);
    ended[0] = QStringLiteral("Pair of Pewter Candlesticks");
    ended[1] = QStringLiteral("12");
    ended[2] = QStringLiteral("US $48.00");
    ended[3] = QStringLiteral("False");
    ended[4] = QStringLiteral("True");
    ended[8] = QStringLiteral("met");
    ended[15] = QStringLiteral("Mar-30-03 21:00:00 PST");
    ended[18] = QStringLiteral("quill.and.ink@example.org");
    QTest::newRow("ended, reserve met") << QStringLiteral("ended-reserve-met.html") << ended;
}

void TestItemPageParserPages::savedPages()
{
    QFETCH(QString, file);
    QFETCH(QStringList, expected);
    QCOMPARE(ParseItemPage(readSaved(file)).toList(), expected);
}

void TestItemPageParserPages::bulkAloneHoldsNoItemData()
{
    // The invented bulk must not feed the reader anything by accident, or the page tests above
    // would pass for the wrong reasons.
    QStringList nothing(20);
    nothing[0] = QStringLiteral("(Info not found)");
    for (int flag : { 3, 4, 5, 6 })
        nothing[flag] = QStringLiteral("False");
    // Without a time left the location search starts at the top, meets the scripts'
    // "top.location" and reads the next bold text: the navigation's country code.
    nothing[12] = QStringLiteral("US");
    for (quint32 seed = 1; seed <= 5; ++seed)
        QCOMPARE(ParseItemPage(test::writeSampleNoise(200000, seed)).toList(), nothing);
}

QTEST_APPLESS_MAIN(TestItemPageParserPages)
#include "TestItemPageParserPages.moc"
