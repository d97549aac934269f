#include "sim/Simulator.h"

#include "sim/BuiltInCatalogue.h"
#include "sim/ControlApi.h"
#include "sim/HttpListener.h"

#include <QFile>
#include <QJsonDocument>

namespace th::sim {

Simulator::Simulator(QObject *parent)
    : QObject(parent)
    , m_house(m_clock)
    , m_routes(m_house)
    , m_control(std::make_unique<ControlApi>(*this))
    , m_daytime(new DaytimeServer([this] { return m_clock.now(); }, 1, this))
{
}

Simulator::~Simulator()
{
    stop();
}

bool Simulator::start(const SimulatorOptions &options)
{
    stop();
    m_options = options;
    m_house.setSeed(options.seed);
    m_house.setSpeed(options.speed);
    m_daytime->setSeed(options.seed);

    HttpService site;
    site.handle = [this](const HttpRequest &request) { return handleSite(request); };
    site.itemOf = &SiteRoutes::itemOf;
    site.isExempt = &ControlApi::isControlPath;
    site.now = [this] { return m_clock.now(); };
    site.log = &m_log;
    site.faults = &m_faults;
    m_siteListener = new HttpListener(site, this);
    if (!m_siteListener->listen(options.address, options.sitePort)) {
        m_error = QStringLiteral("site: ") + m_siteListener->errorString();
        stop();
        return false;
    }
    if (!m_daytime->listen(options.address, options.daytimePort)) {
        m_error = QStringLiteral("daytime: ") + m_daytime->errorString();
        stop();
        return false;
    }
    if (options.controlListener) {
        HttpService control;
        control.handle = [this](const HttpRequest &request) { return m_control->handle(request); };
        control.now = [this] { return m_clock.now(); };
        m_controlListener = new HttpListener(control, this);
        if (!m_controlListener->listen(options.address, options.controlPort)) {
            m_error = QStringLiteral("control: ") + m_controlListener->errorString();
            stop();
            return false;
        }
    }
    if (options.portalListener) {
        HttpService portal;
        portal.handle = &portalResponse;
        portal.now = [this] { return m_clock.now(); };
        m_portalListener = new HttpListener(portal, this);
        if (!m_portalListener->listen(options.address, options.portalPort)) {
            m_error = QStringLiteral("portal: ") + m_portalListener->errorString();
            stop();
            return false;
        }
        for (const PortalService service : kPortalServices) {
            HttpService standIn;
            standIn.handle
                = [service](const HttpRequest &request) { return serviceResponse(service, request); };
            standIn.now = [this] { return m_clock.now(); };
            HttpListener *&listener = m_serviceListeners[size_t(service)];
            listener = new HttpListener(standIn, this);
            if (!listener->listen(options.address, 0)) {
                m_error = QLatin1String(portalServiceName(service)) + u": " + listener->errorString();
                stop();
                return false;
            }
        }
    }
    return true;
}

void Simulator::stop()
{
    delete m_siteListener;
    m_siteListener = nullptr;
    delete m_controlListener;
    m_controlListener = nullptr;
    delete m_portalListener;
    m_portalListener = nullptr;
    for (HttpListener *&listener : m_serviceListeners) {
        delete listener;
        listener = nullptr;
    }
    m_daytime->stop();
    m_daytime->abortConnections();
}

quint16 Simulator::sitePort() const
{
    return m_siteListener ? m_siteListener->port() : 0;
}

quint16 Simulator::daytimePort() const
{
    return m_daytime->port();
}

quint16 Simulator::controlPort() const
{
    return m_controlListener ? m_controlListener->port() : 0;
}

quint16 Simulator::portalPort() const
{
    return m_portalListener ? m_portalListener->port() : 0;
}

quint16 Simulator::servicePort(PortalService service) const
{
    const HttpListener *listener = m_serviceListeners[size_t(service)];
    return listener ? listener->port() : 0;
}

QString Simulator::siteHostPort() const
{
    return m_options.address.toString() + QLatin1Char(':') + QString::number(sitePort());
}

QString Simulator::daytimeHostPort() const
{
    return m_options.address.toString() + QLatin1Char(':') + QString::number(daytimePort());
}

bool Simulator::addItem(const Listing &listing, const QList<Bid> &bids)
{
    return m_house.addItem(listing, &m_error, bids);
}

bool Simulator::setSiteListening(bool listening)
{
    if (!m_siteListener)
        return false;
    if (!listening) {
        m_siteListener->stop();
        return true;
    }
    if (!m_siteListener->resume()) {
        m_error = QStringLiteral("site: ") + m_siteListener->errorString();
        return false;
    }
    return true;
}

bool Simulator::isSiteListening() const
{
    return m_siteListener && m_siteListener->isListening();
}

void Simulator::abortSiteConnections()
{
    if (m_siteListener)
        m_siteListener->abortConnections();
}

int Simulator::openSiteConnections() const
{
    return m_siteListener ? m_siteListener->openConnections() : 0;
}

bool Simulator::loadCatalogue(const Catalogue &catalogue, QString *error)
{
    for (const SimUser &user : catalogue.users)
        m_house.addUser(user);
    for (const CatalogueItem &item : catalogue.items) {
        if (!m_house.addItem(item.listing, error, item.bids))
            return false;
    }
    return true;
}

bool Simulator::loadCatalogueFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        *error = QStringLiteral("%1: not a JSON object (%2)").arg(path, parseError.errorString());
        return false;
    }
    Catalogue catalogue;
    if (!catalogueFromJson(document.object(), m_clock.now(), &catalogue, error)) {
        *error = path + QLatin1String(": ") + *error;
        return false;
    }
    return loadCatalogue(catalogue, error);
}

void Simulator::loadBuiltInCatalogue()
{
    QString error;
    const bool loaded = loadCatalogue(builtInCatalogue(m_house.seed(), m_clock.now()), &error);
    Q_ASSERT_X(loaded, "Simulator::loadBuiltInCatalogue", qPrintable(error));
    Q_UNUSED(loaded)
}

void Simulator::reset()
{
    m_house.clear();
    m_faults.clear();
    m_log.clear();
    m_routes.setSignedInUser(QString());
    m_routes.setPageLayout(PageLayout::Known);
    abortSiteConnections();
    if (m_siteListener)
        m_siteListener->resume();
    m_daytime->setOffsetSeconds(0);
    m_daytime->setMode(DaytimeServer::Mode::Answer);
    m_daytime->abortConnections();
    if (m_daytime->port() != 0)
        m_daytime->resume();
}

HttpResponse Simulator::handleSite(const HttpRequest &request)
{
    if (ControlApi::isControlPath(request.path()))
        return m_control->handle(request);
    return m_routes.handle(request);
}

} // namespace th::sim
