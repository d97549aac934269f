// The control interface over HTTP, and the catalogues the program loads.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTimeZone>

#include "SimClient.h"
#include "sim/BuiltInCatalogue.h"
#include "sim/ControlApi.h"
#include "sim/Simulator.h"

using namespace th::sim;
using namespace th::test;

namespace {

const QDateTime kNow(QDate(2026, 3, 2), QTime(17, 0), QTimeZone::utc());

struct Reply {
    int status = 0;
    QJsonValue json;
};

Reply control(quint16 port, const QByteArray &method, const QByteArray &path, const QJsonObject &body = {})
{
    const QByteArray payload
        = body.isEmpty() ? QByteArray() : QJsonDocument(body).toJson(QJsonDocument::Compact);
    const QByteArray request = method + ' ' + path
        + " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/json"
          "\r\nContent-Length: "
        + QByteArray::number(payload.size()) + "\r\n\r\n" + payload;
    const QByteArray answer = exchange(port, request).response;
    const QJsonDocument document = QJsonDocument::fromJson(bodyOf(answer));
    return { statusOf(answer),
        document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object()) };
}

// What a catalogue offers, to check that it has an item of every kind.
QSet<QString> kindsOf(const QList<ItemSnapshot> &items, const QString &winner)
{
    QSet<QString> kinds;
    for (const ItemSnapshot &item : items) {
        const bool auction = item.listing.isAuction();
        if (item.status == ItemStatus::Active) {
            kinds << QStringLiteral("active");
            if (auction && item.state.bidCount == 0)
                kinds << QStringLiteral("no bids");
            if (auction && item.state.bidCount > 0)
                kinds << QStringLiteral("bids");
            if (item.listing.reservePrice > 0)
                kinds << (item.state.reserveMet ? QStringLiteral("reserve met")
                                                : QStringLiteral("reserve not met"));
            if (auction && item.state.buyItNowAvailable)
                kinds << QStringLiteral("buy it now");
            if (!auction)
                kinds << QStringLiteral("fixed price");
            if (item.listing.quantity > 1)
                kinds << (auction ? QStringLiteral("multi-quantity auction")
                                  : QStringLiteral("several units"));
            if (item.listing.motors)
                kinds << QStringLiteral("motors");
            if (item.listing.currency == QLatin1String("GBP"))
                kinds << QStringLiteral("pounds");
            if (item.now.secsTo(item.endTime) <= 10 * 60)
                kinds << QStringLiteral("ending within minutes");
        }
        if (item.status == ItemStatus::Ended)
            kinds << (item.winner() == winner ? QStringLiteral("won") : QStringLiteral("ended"));
        if (item.status == ItemStatus::Closed)
            kinds << QStringLiteral("closed");
    }
    return kinds;
}

const QSet<QString> kEveryKind = {
    QStringLiteral("active"),
    QStringLiteral("no bids"),
    QStringLiteral("bids"),
    QStringLiteral("reserve met"),
    QStringLiteral("reserve not met"),
    QStringLiteral("buy it now"),
    QStringLiteral("fixed price"),
    QStringLiteral("multi-quantity auction"),
    QStringLiteral("several units"),
    QStringLiteral("motors"),
    QStringLiteral("pounds"),
    QStringLiteral("ending within minutes"),
    QStringLiteral("won"),
    QStringLiteral("ended"),
    QStringLiteral("closed"),
};

} // namespace

class TestSimControl final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void createsChangesAndRemovesItems();
    void movesTheClockAndBids();
    void injectsFaultsAndStopsTheSite();
    void readsTheRawLog();
    void setsTheDaytimeServer();
    void refusesMalformedRequests_data();
    void refusesMalformedRequests();
    void resetEmptiesTheSite();
    void demoCatalogueHasEveryKind();
    void builtInCatalogueHasEveryKindAndFollowsTheSeed();
    void malformedCatalogueIsRefused();

private:
    std::unique_ptr<Simulator> m_sim;
};

void TestSimControl::init()
{
    m_sim = std::make_unique<Simulator>();
    m_sim->clock().setNow(kNow);
    SimulatorOptions options;
    options.controlListener = true;
    QVERIFY(m_sim->start(options));
}

void TestSimControl::createsChangesAndRemovesItems()
{
    const QJsonObject lamp { { QStringLiteral("number"), QStringLiteral("2407604973") },
        { QStringLiteral("title"), QStringLiteral("Brass Lamp") }, { QStringLiteral("startPrice"), 9.99 },
        { QStringLiteral("reserve"), QStringLiteral("50.00") }, { QStringLiteral("endsInMinutes"), 30 } };
    Reply reply = control(m_sim->controlPort(), "POST", "/sim/items", lamp);
    QCOMPARE(reply.status, 201);
    QCOMPARE(reply.json[QLatin1String("status")].toString(), QStringLiteral("active"));
    QCOMPARE(reply.json[QLatin1String("endTime")].toString(), QStringLiteral("2026-03-02T17:30:00Z"));
    QCOMPARE(reply.json[QLatin1String("reserveMet")].toBool(), false);
    QCOMPARE(control(m_sim->controlPort(), "POST", "/sim/items", lamp).status, 409);

    reply = control(m_sim->controlPort(), "POST", "/sim/items/2407604973",
        { { QStringLiteral("title"), QStringLiteral("Brass Lamp & Shade") },
            { QStringLiteral("buyItNow"), 80 } });
    QCOMPARE(reply.status, 200);
    QCOMPARE(m_sim->item(2407604973)->listing.title, QStringLiteral("Brass Lamp & Shade"));
    QCOMPARE(m_sim->item(2407604973)->listing.buyItNowPrice, 8000);
    QCOMPARE(m_sim->item(2407604973)->listing.reservePrice, 5000);

    QCOMPARE(control(m_sim->controlPort(), "POST", "/sim/items/2407604973/close")
                 .json[QLatin1String("status")]
                 .toString(),
        QStringLiteral("closed"));
    QCOMPARE(control(m_sim->controlPort(), "DELETE", "/sim/items/2407604973").status, 200);
    QVERIFY(!m_sim->item(2407604973));
    QVERIFY(exchange(m_sim->sitePort(), plainGet("/ws/eBayISAPI.dll?ViewItem&item=2407604973"))
                .response.contains("Item not found"));
    QCOMPARE(control(m_sim->controlPort(), "GET", "/sim/items/2407604973").status, 404);
}

void TestSimControl::movesTheClockAndBids()
{
    Listing listing;
    listing.number = 5000001;
    listing.title = QStringLiteral("Clock");
    listing.startPrice = 1000;
    listing.endTime = kNow.addSecs(600);
    QVERIFY(m_sim->addItem(listing));
    control(m_sim->controlPort(), "POST", "/sim/users",
        { { QStringLiteral("id"), QStringLiteral("buyer") },
            { QStringLiteral("password"), QStringLiteral("pw") } });
    Reply reply = control(m_sim->controlPort(), "POST", "/sim/items/5000001/bids",
        { { QStringLiteral("user"), QStringLiteral("buyer") }, { QStringLiteral("max"), 12 } });
    QCOMPARE(reply.status, 200);
    QCOMPARE(reply.json[QLatin1String("highBidder")].toString(), QStringLiteral("buyer"));
    reply = control(m_sim->controlPort(), "POST", "/sim/items/5000001/bids",
        { { QStringLiteral("user"), QStringLiteral("rival") }, { QStringLiteral("max"), 10.25 } });
    QCOMPARE(reply.status, 409);
    QVERIFY(reply.json[QLatin1String("error")].toString().contains(QLatin1String("$10.50")));

    reply
        = control(m_sim->controlPort(), "POST", "/sim/clock", { { QStringLiteral("advanceSeconds"), 600 } });
    QCOMPARE(reply.json[QLatin1String("now")].toString(), QStringLiteral("2026-03-02T17:10:00.000Z"));
    QCOMPARE(
        control(m_sim->controlPort(), "GET", "/sim/items/5000001").json[QLatin1String("winner")].toString(),
        QStringLiteral("buyer"));
    reply = control(m_sim->controlPort(), "POST", "/sim/clock",
        { { QStringLiteral("now"), QStringLiteral("2026-03-02T17:05:00Z") } });
    QCOMPARE(m_sim->clock().now(), kNow.addSecs(300));
    QCOMPARE(reply.json[QLatin1String("mode")].toString(), QStringLiteral("manual"));
}

void TestSimControl::injectsFaultsAndStopsTheSite()
{
    Listing listing;
    listing.number = 5000001;
    listing.title = QStringLiteral("Clock");
    listing.endTime = kNow.addSecs(600);
    QVERIFY(m_sim->addItem(listing));
    Reply reply = control(m_sim->controlPort(), "POST", "/sim/faults",
        { { QStringLiteral("item"), 5000001 }, { QStringLiteral("mode"), QStringLiteral("empty") },
            { QStringLiteral("count"), 1 } });
    QCOMPARE(reply.status, 200);
    QCOMPARE(reply.json[QLatin1String("items")][QLatin1String("5000001")][QLatin1String("mode")].toString(),
        QStringLiteral("empty"));
    const QByteArray request = plainGet("/ws/eBayISAPI.dll?ViewItem&item=5000001");
    QVERIFY(exchange(m_sim->sitePort(), request).response.isEmpty());
    QVERIFY(!exchange(m_sim->sitePort(), request).response.isEmpty());

    control(m_sim->controlPort(), "POST", "/sim/faults",
        { { QStringLiteral("item"), QStringLiteral("all") },
            { QStringLiteral("mode"), QStringLiteral("refuse") } });
    QVERIFY(exchange(m_sim->sitePort(), request).response.isEmpty());
    QCOMPARE(
        control(m_sim->controlPort(), "DELETE", "/sim/faults").json[QLatin1String("items")].toObject().size(),
        0);
    QVERIFY(!exchange(m_sim->sitePort(), request).response.isEmpty());

    control(m_sim->controlPort(), "POST", "/sim/listening", { { QStringLiteral("site"), false } });
    QVERIFY(exchange(m_sim->sitePort(), request).refused);
    // The control listener of its own stays reachable.
    reply = control(m_sim->controlPort(), "POST", "/sim/listening", { { QStringLiteral("site"), true } });
    QCOMPARE(reply.json[QLatin1String("siteListening")].toBool(), true);
    QVERIFY(!exchange(m_sim->sitePort(), request).response.isEmpty());
}

void TestSimControl::readsTheRawLog()
{
    const QByteArray request = engineRequest("/ws/eBayISAPI.dll", "?ViewItem&item=777");
    exchange(m_sim->sitePort(), request);
    const QJsonArray log = control(m_sim->sitePort(), "GET", "/sim/log").json.toArray();
    QCOMPARE(log.size(), 1);
    QCOMPARE(QByteArray::fromBase64(log.at(0)[QLatin1String("rawBase64")].toString().toLatin1()), request);
    QCOMPARE(log.at(0)[QLatin1String("raw")].toString().toLatin1(), request);
    QCOMPARE(
        log.at(0)[QLatin1String("target")].toString(), QStringLiteral("/ws/eBayISAPI.dll?ViewItem&item=777"));
    control(m_sim->controlPort(), "DELETE", "/sim/log");
    QVERIFY(m_sim->requestLog().entries().isEmpty());
}

void TestSimControl::setsTheDaytimeServer()
{
    const Reply reply = control(m_sim->controlPort(), "POST", "/sim/daytime",
        { { QStringLiteral("offsetSeconds"), -45 }, { QStringLiteral("mode"), QStringLiteral("close") } });
    QCOMPARE(reply.json[QLatin1String("offsetSeconds")].toInt(), -45);
    QCOMPARE(m_sim->daytime().mode(), DaytimeServer::Mode::CloseAtOnce);
    QVERIFY(exchange(m_sim->daytimePort(), QByteArray()).response.isEmpty());
    control(m_sim->controlPort(), "POST", "/sim/daytime",
        { { QStringLiteral("mode"), QStringLiteral("answer") } });
    QVERIFY(exchange(m_sim->daytimePort(), QByteArray()).response.contains(" 26-03-02 16:59:15 "));
}

void TestSimControl::refusesMalformedRequests_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("status");
    QTest::newRow("not JSON") << QByteArray("POST") << QByteArray("/sim/clock") << QByteArray("now=1") << 400;
    QTest::newRow("bad date") << QByteArray("POST") << QByteArray("/sim/clock")
                              << QByteArray("{\"now\":\"soon\"}") << 400;
    QTest::newRow("item without title")
        << QByteArray("POST") << QByteArray("/sim/items") << QByteArray("{\"number\":\"5\"}") << 409;
    QTest::newRow("unknown fault") << QByteArray("POST") << QByteArray("/sim/faults")
                                   << QByteArray("{\"item\":\"all\",\"mode\":\"explode\"}") << 400;
    QTest::newRow("unknown address") << QByteArray("GET") << QByteArray("/sim/nothing") << QByteArray()
                                     << 404;
    QTest::newRow("wrong method") << QByteArray("DELETE") << QByteArray("/sim/clock") << QByteArray() << 405;
}

void TestSimControl::refusesMalformedRequests()
{
    QFETCH(QByteArray, method);
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, body);
    QFETCH(int, status);
    const QByteArray request = method + ' ' + path
        + " HTTP/1.1\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
    const QByteArray answer = exchange(m_sim->controlPort(), request).response;
    QCOMPARE(statusOf(answer), status);
    QVERIFY(QJsonDocument::fromJson(bodyOf(answer)).object().contains(QLatin1String("error")));
}

void TestSimControl::resetEmptiesTheSite()
{
    m_sim->loadBuiltInCatalogue();
    m_sim->setFaultForAll(Fault());
    m_sim->daytime().setOffsetSeconds(30);
    exchange(m_sim->sitePort(), plainGet("/"));
    const Reply reply = control(m_sim->sitePort(), "POST", "/sim/reset");
    QCOMPARE(reply.status, 200);
    QVERIFY(reply.json[QLatin1String("items")].isDouble());
    QCOMPARE(reply.json[QLatin1String("items")].toInt(), 0);
    QVERIFY(m_sim->house().users().isEmpty());
    QVERIFY(!m_sim->faults().forAll());
    QVERIFY(m_sim->requestLog().entries().isEmpty());
    QCOMPARE(m_sim->daytime().offsetSeconds(), 0);
    QCOMPARE(m_sim->clock().now(), kNow);
}

void TestSimControl::demoCatalogueHasEveryKind()
{
    QString error;
    QVERIFY2(
        m_sim->loadCatalogueFile(QStringLiteral(TALLYHAWK_SIM_DEMO_CATALOGUE), &error), qPrintable(error));
    const QList<ItemSnapshot> items = m_sim->house().snapshots();
    QVERIFY(items.size() >= 18 && items.size() <= 24);
    const QSet<QString> kinds = kindsOf(items, QStringLiteral("demo_buyer"));
    QVERIFY2(kinds.contains(kEveryKind),
        qPrintable(QStringList((kEveryKind - kinds).values()).join(QLatin1String(", "))));
    QVERIFY(m_sim->house().checkPassword(QStringLiteral("demo_buyer"), QStringLiteral("demo")));
}

void TestSimControl::builtInCatalogueHasEveryKindAndFollowsTheSeed()
{
    m_sim->loadBuiltInCatalogue();
    const QList<ItemSnapshot> items = m_sim->house().snapshots();
    QCOMPARE(items.size(), 20);
    const QSet<QString> kinds = kindsOf(items, QStringLiteral("demo_buyer"));
    QVERIFY2(kinds.contains(kEveryKind),
        qPrintable(QStringList((kEveryKind - kinds).values()).join(QLatin1String(", "))));

    const Catalogue first = builtInCatalogue(5, kNow);
    const Catalogue again = builtInCatalogue(5, kNow);
    const Catalogue other = builtInCatalogue(6, kNow);
    QCOMPARE(first.items.size(), again.items.size());
    for (qsizetype i = 0; i < first.items.size(); ++i) {
        QCOMPARE(listingToJson(first.items.at(i).listing), listingToJson(again.items.at(i).listing));
        QCOMPARE(first.items.at(i).bids.size(), again.items.at(i).bids.size());
    }
    QVERIFY(listingToJson(first.items.first().listing) != listingToJson(other.items.first().listing));
}

void TestSimControl::malformedCatalogueIsRefused()
{
    Catalogue catalogue;
    QString error;
    const QJsonObject document = QJsonDocument::fromJson(R"({"items": [{"number": "5000001", "title": "Lamp",
        "endsInMinutes": 5}, {"title": "No number"}]})")
                                     .object();
    QVERIFY(!catalogueFromJson(document, kNow, &catalogue, &error));
    QCOMPARE(error, QStringLiteral("item 2: \"number\" is missing"));
    const QJsonObject badAmount = QJsonDocument::fromJson(R"({"items": [{"number": "5000001", "title": "Lamp",
        "startPrice": "cheap"}]})")
                                      .object();
    QVERIFY(!catalogueFromJson(badAmount, kNow, &catalogue, &error));
    QVERIFY(error.contains(QLatin1String("startPrice")));
    QVERIFY(!m_sim->loadCatalogueFile(QStringLiteral("/nonexistent/catalogue.json"), &error));
}

QTEST_GUILESS_MAIN(TestSimControl)
#include "TestSimControl.moc"
