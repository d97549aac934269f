#pragma once

#include "sim/AuctionHouse.h"
#include "sim/DaytimeServer.h"
#include "sim/Faults.h"
#include "sim/RequestLog.h"
#include "sim/SimClock.h"
#include "sim/SiteRoutes.h"

#include <array>

#include <QHostAddress>
#include <QObject>

#include <memory>

namespace th::sim {

class ControlApi;
class HttpListener;

struct SimulatorOptions {
    QHostAddress address = QHostAddress(QHostAddress::LocalHost);
    // 0 takes a free port; the one taken is reported by the port getters.
    quint16 sitePort = 0;
    quint16 daytimePort = 0;
    // The control interface is always served under /sim/ on the site port; a listener of its
    // own keeps it reachable while the site refuses connections.
    bool controlListener = false;
    quint16 controlPort = 0;
    // A listener for the outside services' stand-in pages (web search, web mail, payment),
    // and one more for each service, on free ports, whose page says which one it is.
    bool portalListener = false;
    quint16 portalPort = 0;
    quint64 seed = 1;
    // How much busier the other bidders are than the catalogue says.
    double speed = 1.0;
};

// The local auction site and time server, in one object: the site's pages and bid flow, the
// life of the auctions on a clock the owner controls, faults on demand, the log of raw
// requests, and the daytime server. Everything runs on the thread that owns it.
//
// In a test:
//     th::sim::Simulator sim;
//     QVERIFY(sim.start());                     // 127.0.0.1, free ports
//     sim.addUser({"buyer", "secret", 12});
//     th::sim::Listing listing; listing.number = 2407604973; listing.title = "Lamp";
//     listing.endTime = sim.clock().now().addSecs(3600);
//     QVERIFY(sim.addItem(listing));
//     ... connect to 127.0.0.1:sim.sitePort() ...
//     sim.clock().advanceSeconds(3600);         // the auction ends
class Simulator final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Simulator)

public:
    explicit Simulator(QObject *parent = nullptr);
    ~Simulator() override;

    bool start(const SimulatorOptions &options = SimulatorOptions());
    void stop();
    QString errorString() const { return m_error; }

    quint16 sitePort() const;
    quint16 daytimePort() const;
    quint16 controlPort() const;
    quint16 portalPort() const;
    quint16 servicePort(PortalService service) const;
    QHostAddress address() const { return m_options.address; }
    // "127.0.0.1:40123": the form the program's host settings take.
    QString siteHostPort() const;
    QString daytimeHostPort() const;

    SimClock &clock() { return m_clock; }
    AuctionHouse &house() { return m_house; }
    FaultPlan &faults() { return m_faults; }
    RequestLog &requestLog() { return m_log; }
    DaytimeServer &daytime() { return *m_daytime; }
    SiteRoutes &site() { return m_routes; }

    // Shortcuts for the common steps of a test. addItem/addUser report problems through
    // errorString().
    void addUser(const SimUser &user) { m_house.addUser(user); }
    bool addItem(const Listing &listing, const QList<Bid> &bids = {});
    std::optional<ItemSnapshot> item(qint64 number) { return m_house.snapshot(number); }
    BidOutcome placeBid(qint64 number, const QString &bidder, Cents amount, int quantity = 1)
    {
        return m_house.placeBid(number, bidder, amount, quantity);
    }
    void setItemFault(qint64 number, const Fault &fault) { m_faults.setForItem(number, fault); }
    void setFaultForAll(const Fault &fault) { m_faults.setForAll(fault); }
    void clearFaults() { m_faults.clear(); }

    // Refuses (false) or accepts again (true) connections to the site, on the same port.
    bool setSiteListening(bool listening);
    bool isSiteListening() const;
    // Drops every open site connection (those a fault keeps open included).
    void abortSiteConnections();
    // Site connections still open on the simulator's side.
    int openSiteConnections() const;

    bool loadCatalogue(const Catalogue &catalogue, QString *error);
    bool loadCatalogueFile(const QString &path, QString *error);
    // The catalogue used when none is given: about twenty items of every kind around "now",
    // drawn from the seed.
    void loadBuiltInCatalogue();

    // Back to an empty site: no items, members, faults, log entries or signed-in member, and
    // the known page layout; the daytime server answers again without offset; both servers
    // listen. The clock is kept.
    void reset();

private:
    HttpResponse handleSite(const HttpRequest &request);

    SimulatorOptions m_options;
    SimClock m_clock;
    AuctionHouse m_house;
    FaultPlan m_faults;
    RequestLog m_log;
    SiteRoutes m_routes;
    std::unique_ptr<ControlApi> m_control;
    HttpListener *m_siteListener = nullptr;
    HttpListener *m_controlListener = nullptr;
    HttpListener *m_portalListener = nullptr;
    std::array<HttpListener *, std::size(kPortalServices)> m_serviceListeners {};
    DaytimeServer *m_daytime = nullptr;
    QString m_error;
};

} // namespace th::sim
