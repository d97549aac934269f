// The bid and sign-in flow, bid history, searches and seller listings, driven by plain HTTP
// requests as a browser would send them.
#include <QSet>
#include <QTest>
#include <QTimeZone>

#include "SimClient.h"
#include "sim/Simulator.h"

using namespace th::sim;
using namespace th::test;

namespace {

const QDateTime kNow(QDate(2026, 3, 2), QTime(17, 0), QTimeZone::utc());
constexpr qint64 kLamp = 2407604973;

Listing item(qint64 number, const QString &title, qint64 endsInSeconds, Cents start = 1000)
{
    Listing listing;
    listing.number = number;
    listing.title = title;
    listing.seller = QStringLiteral("attic-treasures");
    listing.startPrice = start;
    listing.startTime = kNow.addDays(-2);
    listing.endTime = kNow.addSecs(endsInSeconds);
    return listing;
}

using Fields = QList<QPair<QByteArray, QByteArray>>;

// The fields a browser submits for a form: its own fields with some values typed in.
Fields submitted(const PageForm &form, const QMap<QString, QString> &typed)
{
    Fields fields;
    for (const auto &field : form.fields)
        fields.append({ field.first.toLatin1(), typed.value(field.first, field.second).toLatin1() });
    return fields;
}

} // namespace

class TestSimBidFlow final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void itemPageHoldsSearchFormThenBidForm();
    void postingTheBidFormAnswersWithTheSignInPage();
    void signingInPlacesTheBid();
    void signInProblemsChangeNothing_data();
    void signInProblemsChangeNothing();
    void bidFormSentAsGetAlsoReachesSignIn();
    void signedInMemberIsNotAskedForAPassword();
    void motorsBidsPostUnderTheMotorsPath();
    void winnerShowsAsHighBidderAfterTheEnd();
    void fixedPriceAndBuyItNowPurchases();
    void bidHistoryListsTheBids();
    void searchAddressesFindItems_data();
    void searchAddressesFindItems();
    void placeholderPagesOfOtherServices_data();
    void placeholderPagesOfOtherServices();
    void eachServiceStandInSaysWhichItIs();

private:
    QByteArray page(const QByteArray &request) { return exchange(m_sim->sitePort(), request).response; }
    PageForm bidForm(qint64 number, const QByteArray &path = "/aw-cgi/eBayISAPI.dll");
    QByteArray signIn(qint64 number, const QString &amount, const QString &user, const QString &password,
        const QString &quantity = QStringLiteral("1"));

    std::unique_ptr<Simulator> m_sim;
};

void TestSimBidFlow::init()
{
    m_sim = std::make_unique<Simulator>();
    m_sim->clock().setNow(kNow);
    QVERIFY2(m_sim->start(), qPrintable(m_sim->errorString()));
    m_sim->addUser({ QStringLiteral("buyer"), QStringLiteral("s3cret"), 12 });
    m_sim->addUser({ QStringLiteral("rival"), QStringLiteral("pw"), 40 });
    QVERIFY(m_sim->addItem(item(kLamp, QStringLiteral("Brass Lamp"), 3600)));
}

PageForm TestSimBidFlow::bidForm(qint64 number, const QByteArray &path)
{
    const QList<PageForm> forms
        = formsOf(bodyOf(page(plainGet(path + "?ViewItem&item=" + QByteArray::number(number)))));
    return forms.value(1);
}

QByteArray TestSimBidFlow::signIn(qint64 number, const QString &amount, const QString &user,
    const QString &password, const QString &quantity)
{
    const PageForm bid = bidForm(number);
    const QByteArray signInPage = page(formPost(bid.action.toLatin1(),
        submitted(bid, { { QStringLiteral("maxbid"), amount }, { QStringLiteral("quant"), quantity } })));
    const PageForm form = formsOf(bodyOf(signInPage)).value(1);
    return page(formPost(form.action.toLatin1(),
        submitted(form, { { QStringLiteral("user"), user }, { QStringLiteral("pass"), password } })));
}

void TestSimBidFlow::itemPageHoldsSearchFormThenBidForm()
{
    const QList<PageForm> forms
        = formsOf(bodyOf(page(plainGet("/ws/eBayISAPI.dll?ViewItem&item=2407604973"))));
    QCOMPARE(forms.size(), 2);
    QCOMPARE(forms.at(0).action, QStringLiteral("/search/search.dll"));
    QVERIFY(!forms.at(0).has(QStringLiteral("maxbid")));
    const PageForm &bid = forms.at(1);
    QCOMPARE(bid.action, QStringLiteral("/aw-cgi/eBayISAPI.dll"));
    QCOMPARE(bid.method.toLower(), QStringLiteral("post"));
    // The amount field comes before the quantity, both by their exact names.
    const int maxbid = bid.fields.indexOf({ QStringLiteral("maxbid"), QString() });
    QVERIFY(maxbid >= 0);
    QVERIFY(bid.has(QStringLiteral("quant")));
    QCOMPARE(bid.value(QStringLiteral("item")), QStringLiteral("2407604973"));
}

void TestSimBidFlow::postingTheBidFormAnswersWithTheSignInPage()
{
    const PageForm bid = bidForm(kLamp);
    const QByteArray answer = page(formPost("/aw-cgi/eBayISAPI.dll",
        submitted(bid,
            { { QStringLiteral("maxbid"), QStringLiteral("25.5") },
                { QStringLiteral("quant"), QStringLiteral("1") } })));
    QCOMPARE(statusOf(answer), 200);
    const QList<PageForm> forms = formsOf(bodyOf(answer));
    QCOMPARE(forms.size(), 2);
    const PageForm &signInForm = forms.at(1);
    QCOMPARE(signInForm.action, QStringLiteral("/aw-cgi/eBayISAPI.dll"));
    QVERIFY(signInForm.has(QStringLiteral("user")));
    QVERIFY(signInForm.has(QStringLiteral("pass")));
    QCOMPARE(signInForm.value(QStringLiteral("item")), QStringLiteral("2407604973"));
    QCOMPARE(signInForm.value(QStringLiteral("maxbid")), QStringLiteral("25.5"));
    QCOMPARE(signInForm.value(QStringLiteral("quant")), QStringLiteral("1"));
    // Nothing is bid before the member signs in.
    QCOMPARE(m_sim->item(kLamp)->bids.size(), 0);
}

void TestSimBidFlow::signingInPlacesTheBid()
{
    QVERIFY(m_sim->placeBid(kLamp, QStringLiteral("rival"), 1500).accepted());
    const QByteArray answer
        = signIn(kLamp, QStringLiteral("25.50"), QStringLiteral("buyer"), QStringLiteral("s3cret"));
    QCOMPARE(statusOf(answer), 200);
    QVERIFY(answer.contains("You are the current high bidder"));
    const ItemSnapshot lamp = *m_sim->item(kLamp);
    QCOMPARE(lamp.bids.size(), 2);
    QCOMPARE(lamp.bids.last().bidder, QStringLiteral("buyer"));
    QCOMPARE(lamp.bids.last().maximum, 2550);
    QCOMPARE(lamp.state.highBidder, QStringLiteral("buyer"));
    QCOMPARE(lamp.state.currentPrice, 1550);

    // A rival's earlier equal maximum keeps him in front.
    const QByteArray outbid
        = signIn(kLamp, QStringLiteral("25.50"), QStringLiteral("rival"), QStringLiteral("pw"));
    QVERIFY(outbid.contains("outbid"));
    QCOMPARE(m_sim->item(kLamp)->state.highBidder, QStringLiteral("buyer"));
    QCOMPARE(m_sim->item(kLamp)->state.currentPrice, 2550);
}

void TestSimBidFlow::signInProblemsChangeNothing_data()
{
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("wrong password") << "25"
                                    << "buyer"
                                    << "guess"
                                    << "1" << QByteArray("password you entered is incorrect");
    QTest::newRow("unknown member") << "25"
                                    << "nobody"
                                    << "s3cret"
                                    << "1" << QByteArray("password you entered is incorrect");
    QTest::newRow("bid too low") << "10.49"
                                 << "buyer"
                                 << "s3cret"
                                 << "1" << QByteArray("must be at least $10.50");
    QTest::newRow("not an amount") << "lots"
                                   << "buyer"
                                   << "s3cret"
                                   << "1" << QByteArray("as an amount");
    QTest::newRow("two units of one") << "25"
                                      << "buyer"
                                      << "s3cret"
                                      << "2" << QByteArray("quantity from 1 to 1");
    QTest::newRow("seller bidding") << "25"
                                    << "attic-treasures"
                                    << "x"
                                    << "1" << QByteArray("password you entered");
}

void TestSimBidFlow::signInProblemsChangeNothing()
{
    QFETCH(QString, amount);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, quantity);
    QFETCH(QByteArray, message);
    m_sim->addUser({ QStringLiteral("attic-treasures"), QStringLiteral("x"), 1287 });
    QVERIFY(m_sim->placeBid(kLamp, QStringLiteral("rival"), 2000).accepted());
    const ItemSnapshot before = *m_sim->item(kLamp);
    const QByteArray answer = signIn(kLamp, amount, user, password, quantity);
    QCOMPARE(statusOf(answer), 200);
    if (user == QLatin1String("attic-treasures"))
        message = "Sellers may not bid";
    QVERIFY2(answer.contains(message), answer.right(3000).constData());
    const ItemSnapshot after = *m_sim->item(kLamp);
    QCOMPARE(after.bids.size(), before.bids.size());
    QCOMPARE(after.state.currentPrice, before.state.currentPrice);
    QCOMPARE(after.state.highBidder, QStringLiteral("rival"));
}

void TestSimBidFlow::bidFormSentAsGetAlsoReachesSignIn()
{
    const QByteArray answer
        = page(plainGet("/aw-cgi/eBayISAPI.dll?MfcISAPICommand=MakeBid&item=2407604973&maxbid=30&quant=1"));
    const PageForm form = formsOf(bodyOf(answer)).value(1);
    QVERIFY(form.has(QStringLiteral("pass")));
    QCOMPARE(form.value(QStringLiteral("maxbid")), QStringLiteral("30"));
}

void TestSimBidFlow::signedInMemberIsNotAskedForAPassword()
{
    m_sim->site().setSignedInUser(QStringLiteral("buyer"));
    const PageForm bid = bidForm(kLamp);
    const QByteArray signInPage = page(formPost(
        "/aw-cgi/eBayISAPI.dll", submitted(bid, { { QStringLiteral("maxbid"), QStringLiteral("12") } })));
    const PageForm form = formsOf(bodyOf(signInPage)).value(1);
    QVERIFY(!form.has(QStringLiteral("pass")));
    QVERIFY(!form.has(QStringLiteral("user")));
    QVERIFY(page(formPost(form.action.toLatin1(), submitted(form, {}))).contains("current high bidder"));
    QCOMPARE(m_sim->item(kLamp)->state.highBidder, QStringLiteral("buyer"));
}

void TestSimBidFlow::motorsBidsPostUnderTheMotorsPath()
{
    Listing car = item(2407605104, QStringLiteral("1967 Fastback Coupe"), 7200, 450000);
    car.motors = true;
    QVERIFY(m_sim->addItem(car));
    const PageForm bid = bidForm(car.number, "/ebaymotors/ws/eBayISAPI.dll");
    QCOMPARE(bid.action, QStringLiteral("/ebaymotors/aw-cgi/eBayISAPI.dll"));
    const QByteArray signInPage = page(formPost(
        bid.action.toLatin1(), submitted(bid, { { QStringLiteral("maxbid"), QStringLiteral("4600") } })));
    const PageForm form = formsOf(bodyOf(signInPage)).value(1);
    QCOMPARE(form.action, QStringLiteral("/ebaymotors/aw-cgi/eBayISAPI.dll"));
    page(formPost(form.action.toLatin1(),
        submitted(form,
            { { QStringLiteral("user"), QStringLiteral("buyer") },
                { QStringLiteral("pass"), QStringLiteral("s3cret") } })));
    QCOMPARE(m_sim->item(car.number)->state.highBidder, QStringLiteral("buyer"));
}

void TestSimBidFlow::winnerShowsAsHighBidderAfterTheEnd()
{
    signIn(kLamp, QStringLiteral("40"), QStringLiteral("buyer"), QStringLiteral("s3cret"));
    m_sim->clock().advanceSeconds(3600);
    const QByteArray ended = page(plainGet("/ws/eBayISAPI.dll?ViewItem&item=2407604973"));
    QVERIFY(ended.contains("This auction has ended."));
    QVERIFY(ended.contains(
        "High bidder</font></td>\r\n<td colspan=\"3\" valign=\"top\"><font size=\"2\"><b>"
        "<a href=\"/aw-cgi/eBayISAPI.dll?ViewFeedback&userid=buyer&iid=2407604973\">buyer</a>"));
    QCOMPARE(formsOf(bodyOf(ended)).size(), 1);
    const QByteArray late = page(formPost("/aw-cgi/eBayISAPI.dll",
        { { "MfcISAPICommand", "AcceptBid" }, { "item", "2407604973" }, { "maxbid", "90" }, { "quant", "1" },
            { "user", "rival" }, { "pass", "pw" } }));
    QVERIFY(late.contains("Bidding is over"));
    QCOMPARE(m_sim->item(kLamp)->winner(), QStringLiteral("buyer"));
}

void TestSimBidFlow::fixedPriceAndBuyItNowPurchases()
{
    Listing candles = item(2407605040, QStringLiteral("Candle Set"), 86400, 1250);
    candles.format = ListingFormat::FixedPrice;
    candles.quantity = 3;
    QVERIFY(m_sim->addItem(candles));
    QVERIFY(signIn(candles.number, QStringLiteral("12.50"), QStringLiteral("buyer"), QStringLiteral("s3cret"),
        QStringLiteral("2"))
                .contains("Thank you for your purchase"));
    QCOMPARE(m_sim->item(candles.number)->state.unitsAvailable, 1);
    QVERIFY(signIn(candles.number, QStringLiteral("12.50"), QStringLiteral("rival"), QStringLiteral("pw"),
        QStringLiteral("2"))
                .contains("quantity from 1 to 1"));

    Listing teaSet = item(2407605007, QStringLiteral("Tea Set"), 86400);
    teaSet.buyItNowPrice = 2999;
    QVERIFY(m_sim->addItem(teaSet));
    const QByteArray signInPage = page(plainGet("/aw-cgi/eBayISAPI.dll?BinConfirm&item=2407605007"));
    const PageForm form = formsOf(bodyOf(signInPage)).value(1);
    QCOMPARE(form.value(QStringLiteral("maxbid")), QStringLiteral("29.99"));
    page(formPost(form.action.toLatin1(),
        submitted(form,
            { { QStringLiteral("user"), QStringLiteral("buyer") },
                { QStringLiteral("pass"), QStringLiteral("s3cret") } })));
    const ItemSnapshot sold = *m_sim->item(teaSet.number);
    QCOMPARE(sold.status, ItemStatus::Ended);
    QCOMPARE(sold.winner(), QStringLiteral("buyer"));
}

void TestSimBidFlow::bidHistoryListsTheBids()
{
    QVERIFY(m_sim->placeBid(kLamp, QStringLiteral("rival"), 1500).accepted());
    m_sim->clock().advanceSeconds(60);
    QVERIFY(m_sim->placeBid(kLamp, QStringLiteral("buyer"), 2000).accepted());
    const QByteArray history = page(plainGet("/aw-cgi/eBayISAPI.dll?ViewBids&item=2407604973"));
    QCOMPARE(statusOf(history), 200);
    const int buyer = history.indexOf(">buyer<");
    const int rival = history.indexOf(">rival<");
    QVERIFY(buyer > 0 && rival > buyer);
    // Maximums stay private while the auction runs.
    QVERIFY(!history.contains("$20.00"));
    m_sim->clock().advanceSeconds(3600);
    QVERIFY(page(plainGet("/aw-cgi/eBayISAPI.dll?ViewBids&item=2407604973")).contains("$20.00"));
}

void TestSimBidFlow::searchAddressesFindItems_data()
{
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<QStringList>("found");
    QTest::addColumn<QStringList>("missing");
    const QStringList all = { QStringLiteral("2407604973"), QStringLiteral("2407610001"),
        QStringLiteral("2407610002"), QStringLiteral("2407610003") };
    QTest::newRow("keywords, ending first")
        << QByteArray(
               "/search/search.dll?MfcISAPICommand=GetResult&ht=1&&SortProperty=MetaEndSort&query=brass+lamp")
        << QStringList { QStringLiteral("2407610001"), QStringLiteral("2407604973") }
        << QStringList { QStringLiteral("2407610002"), QStringLiteral("2407610003") };
    QTest::newRow("keywords, Buy It Now only")
        << QByteArray("/search/search.dll?MfcISAPICommand=GetResult&ht=1&&itf=2&query=lamp")
        << QStringList { QStringLiteral("2407610001") } << QStringList { QStringLiteral("2407604973") };
    QTest::newRow("completed items") << QByteArray("/search/search.dll?query=lamp&ht=1")
                                     << QStringList { QStringLiteral("2407610003") }
                                     << QStringList { QStringLiteral("2407604973"),
                                            QStringLiteral("2407610001") };
    QTest::newRow("seller listing") << QByteArray(
        "/aw-cgi/eBayISAPI.dll?MfcISAPICommand=ViewListedItems&userid=lamp%20works&include=0&since=-1"
        "&sort=3&rows=25") << QStringList { QStringLiteral("2407610002") }
                                    << QStringList { QStringLiteral("2407604973") };
    QTest::newRow("item number through the search box")
        << QByteArray("/aw-cgi/eBayISAPI.dll?ViewItem&item=2407610001&SortProperty=MetaEndSort")
        << QStringList { QStringLiteral("2407610001") } << QStringList {};
}

void TestSimBidFlow::searchAddressesFindItems()
{
    QFETCH(QByteArray, target);
    QFETCH(QStringList, found);
    QFETCH(QStringList, missing);
    Listing bin = item(2407610001, QStringLiteral("Brass Floor Lamp"), 600);
    bin.buyItNowPrice = 9900;
    QVERIFY(m_sim->addItem(bin));
    Listing other = item(2407610002, QStringLiteral("Silver Teapot"), 7200);
    other.seller = QStringLiteral("lamp works");
    QVERIFY(m_sim->addItem(other));
    QVERIFY(m_sim->addItem(item(2407610003, QStringLiteral("Hanging Lamp"), -60)));
    const QByteArray answer = page(plainGet(target));
    QCOMPARE(statusOf(answer), 200);
    int previous = -1;
    for (const QString &number : found) {
        const int at = answer.indexOf(number.toLatin1());
        QVERIFY2(at > previous, qPrintable(number));
        previous = at;
    }
    for (const QString &number : missing)
        QVERIFY2(!answer.contains(number.toLatin1()), qPrintable(number));
}

void TestSimBidFlow::placeholderPagesOfOtherServices_data()
{
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<QByteArray>("heading");
    QTest::newRow("web search") << QByteArray("/search?q=red%20lamp") << QByteArray("Web search");
    QTest::newRow("payment") << QByteArray("/verified/pal=seller@example.com")
                             << QByteArray("Payment service");
    QTest::newRow("web mail") << QByteArray("/mail/") << QByteArray("Web mail");
}

void TestSimBidFlow::placeholderPagesOfOtherServices()
{
    QFETCH(QByteArray, target);
    QFETCH(QByteArray, heading);
    const QByteArray answer = page(plainGet(target));
    QCOMPARE(statusOf(answer), 200);
    QVERIFY(answer.contains(QByteArray("<h1>" + heading + "</h1>")));

    // A listener of their own serves them at any address, the root included.
    SimulatorOptions options;
    options.portalListener = true;
    Simulator portal;
    QVERIFY(portal.start(options));
    const QByteArray root
        = exchange(portal.portalPort(), plainGet(target == "/mail/" ? "/" : target)).response;
    QVERIFY(root.contains(QByteArray("<h1>" + heading + "</h1>")));
}

void TestSimBidFlow::eachServiceStandInSaysWhichItIs()
{
    SimulatorOptions options;
    options.portalListener = true;
    Simulator portal;
    QVERIFY(portal.start(options));
    const std::pair<PortalService, QByteArray> expected[] = { { PortalService::Google, "Web search" },
        { PortalService::Hotmail, "Web mail (Hotmail)" }, { PortalService::YahooMail, "Web mail (Yahoo!)" },
        { PortalService::Paypal, "Payment service" } };
    QSet<quint16> ports { portal.portalPort() };
    for (const auto &[service, heading] : expected) {
        const quint16 port = portal.servicePort(service);
        QVERIFY(port != 0 && !ports.contains(port));
        ports.insert(port);
        // The root, as the program opens a web mail host.
        const QByteArray answer = exchange(port, plainGet("/")).response;
        QVERIFY2(answer.contains(QByteArray("<h1>" + heading + "</h1>")), answer.constData());
    }
}

QTEST_GUILESS_MAIN(TestSimBidFlow)
#include "TestSimBidFlow.moc"
