#include "sim/ControlApi.h"

#include "sim/Simulator.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace th::sim {

namespace {

HttpResponse json(const QJsonValue &value, int status = 200, const QByteArray &reason = "OK")
{
    HttpResponse response;
    response.status = status;
    response.reason = reason;
    response.contentType = "application/json";
    response.withContentLength = true;
    response.body = value.isArray() ? QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact)
                                    : QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
    response.body += '\n';
    return response;
}

HttpResponse failure(const QString &message, int status = 400, const QByteArray &reason = "Bad Request")
{
    return json(QJsonObject { { QStringLiteral("error"), message } }, status, reason);
}

HttpResponse notAllowed()
{
    return failure(QStringLiteral("method not allowed here"), 405, "Method Not Allowed");
}

QString statusName(ItemStatus status)
{
    switch (status) {
    case ItemStatus::Pending:
        return QStringLiteral("pending");
    case ItemStatus::Active:
        return QStringLiteral("active");
    case ItemStatus::Ended:
        return QStringLiteral("ended");
    case ItemStatus::Closed:
        return QStringLiteral("closed");
    }
    return QString();
}

bool isGet(const HttpRequest &request)
{
    return request.method == "GET";
}

bool isPost(const HttpRequest &request)
{
    return request.method == "POST" || request.method == "PUT";
}

} // namespace

ControlApi::ControlApi(Simulator &simulator)
    : m_simulator(simulator)
{
}

bool ControlApi::isControlPath(const QByteArray &path)
{
    return path == "/sim" || path.startsWith("/sim/");
}

QJsonObject ControlApi::itemToJson(const ItemSnapshot &item)
{
    QJsonObject object = listingToJson(item.listing);
    object.insert(QStringLiteral("status"), statusName(item.status));
    object.insert(QStringLiteral("endTime"), item.endTime.toUTC().toString(Qt::ISODate));
    object.insert(QStringLiteral("currentPrice"), plainAmount(item.state.currentPrice));
    object.insert(QStringLiteral("bidCount"), item.state.bidCount);
    object.insert(QStringLiteral("highBidder"), item.state.highBidder);
    object.insert(QStringLiteral("reserveMet"), item.state.reserveMet);
    object.insert(QStringLiteral("minimumBid"), plainAmount(item.state.minimumBid));
    object.insert(QStringLiteral("increment"), plainAmount(bidIncrement(item.state.currentPrice)));
    object.insert(QStringLiteral("unitsAvailable"), item.state.unitsAvailable);
    object.insert(QStringLiteral("buyItNowAvailable"), item.state.buyItNowAvailable);
    object.insert(QStringLiteral("winner"), item.winner());
    object.insert(QStringLiteral("winners"), QJsonArray::fromStringList(item.state.winners));
    QJsonArray bids;
    for (const Bid &bid : item.bids)
        bids.append(bidToJson(bid));
    object.insert(QStringLiteral("bids"), bids);
    return object;
}

HttpResponse ControlApi::handle(const HttpRequest &request)
{
    QJsonObject body;
    if (!request.body.trimmed().isEmpty()) {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(request.body, &error);
        if (error.error != QJsonParseError::NoError || !document.isObject())
            return failure(QStringLiteral("the body is not a JSON object"));
        body = document.object();
    }
    const QList<QByteArray> parts = request.path().mid(1).split('/');
    const QByteArray section = parts.value(1);
    if (section.isEmpty() || section == "state")
        return state();
    if (section == "clock")
        return clock(request, body);
    if (section == "items" && parts.size() == 2)
        return items(request, body);
    if (section == "items") {
        bool ok = false;
        const qint64 number = parts.value(2).toLongLong(&ok);
        if (!ok)
            return failure(QStringLiteral("not an item number"));
        return item(request, number, QString::fromLatin1(parts.value(3)), body);
    }
    if (section == "users")
        return users(request, body);
    if (section == "catalogue" && isPost(request)) {
        Catalogue catalogue;
        QString error;
        if (!catalogueFromJson(body, m_simulator.clock().now(), &catalogue, &error)
            || !m_simulator.loadCatalogue(catalogue, &error))
            return failure(error);
        return state();
    }
    if (section == "faults")
        return faults(request, body);
    if (section == "listening" && isPost(request))
        return listening(body);
    if (section == "log")
        return log(request);
    if (section == "daytime")
        return daytime(request, body);
    if (section == "layout")
        return layout(request, body);
    if (section == "signed-in" && isPost(request)) {
        m_simulator.site().setSignedInUser(body.value(QLatin1String("user")).toString());
        return json(QJsonObject { { QStringLiteral("user"), m_simulator.site().signedInUser() } });
    }
    if (section == "reset" && isPost(request)) {
        m_simulator.reset();
        return state();
    }
    return failure(QStringLiteral("no such control address"), 404, "Not Found");
}

HttpResponse ControlApi::state()
{
    QJsonObject object;
    object.insert(QStringLiteral("site"), m_simulator.siteHostPort());
    object.insert(QStringLiteral("daytime"), m_simulator.daytimeHostPort());
    object.insert(QStringLiteral("siteListening"), m_simulator.isSiteListening());
    object.insert(QStringLiteral("now"), m_simulator.clock().now().toString(Qt::ISODateWithMs));
    object.insert(QStringLiteral("seed"), QString::number(m_simulator.house().seed()));
    object.insert(QStringLiteral("speed"), m_simulator.house().speed());
    object.insert(QStringLiteral("items"), int(m_simulator.house().itemNumbers().size()));
    return json(object);
}

HttpResponse ControlApi::clock(const HttpRequest &request, const QJsonObject &body)
{
    SimClock &clock = m_simulator.clock();
    if (isPost(request)) {
        const QString mode = body.value(QLatin1String("mode")).toString();
        if (mode == QLatin1String("real"))
            clock.useRealTime();
        else if (mode == QLatin1String("manual"))
            clock.useManualTime();
        else if (!mode.isEmpty())
            return failure(QStringLiteral("mode is \"real\" or \"manual\""));
        if (body.contains(QLatin1String("now"))) {
            const QDateTime now
                = QDateTime::fromString(body.value(QLatin1String("now")).toString(), Qt::ISODateWithMs);
            if (!now.isValid())
                return failure(QStringLiteral("\"now\" is not an ISO date-time"));
            clock.setNow(now);
        }
        if (body.contains(QLatin1String("advanceSeconds")))
            clock.advanceMsecs(qRound64(body.value(QLatin1String("advanceSeconds")).toDouble() * 1000.0));
    } else if (!isGet(request)) {
        return notAllowed();
    }
    return json(QJsonObject {
        { QStringLiteral("now"), clock.now().toString(Qt::ISODateWithMs) },
        { QStringLiteral("mode"),
            clock.mode() == SimClock::Mode::Real ? QStringLiteral("real") : QStringLiteral("manual") },
    });
}

HttpResponse ControlApi::items(const HttpRequest &request, const QJsonObject &body)
{
    if (isGet(request)) {
        QJsonArray list;
        for (const ItemSnapshot &snapshot : m_simulator.house().snapshots())
            list.append(itemToJson(snapshot));
        return json(list);
    }
    if (!isPost(request))
        return notAllowed();
    Catalogue catalogue;
    QString error;
    QJsonObject document { { QStringLiteral("items"), QJsonArray { body } } };
    if (!catalogueFromJson(document, m_simulator.clock().now(), &catalogue, &error))
        return failure(error);
    const CatalogueItem &entry = catalogue.items.first();
    if (!m_simulator.addItem(entry.listing, entry.bids))
        return failure(m_simulator.errorString(), 409, "Conflict");
    return json(itemToJson(*m_simulator.item(entry.listing.number)), 201, "Created");
}

HttpResponse ControlApi::item(
    const HttpRequest &request, qint64 number, const QString &action, const QJsonObject &body)
{
    AuctionHouse &house = m_simulator.house();
    std::optional<ItemSnapshot> current = house.snapshot(number);
    if (!current)
        return failure(QStringLiteral("no item %1").arg(number), 404, "Not Found");
    if (action == QLatin1String("close") && isPost(request)) {
        house.closeEarly(number);
    } else if (action == QLatin1String("bids") && isPost(request)) {
        Bid bid;
        QString error;
        if (!bidFromJson(body, m_simulator.clock().now(), &bid, &error))
            return failure(error);
        const BidOutcome outcome = house.placeBid(number, bid.bidder, bid.maximum, bid.quantity);
        if (!outcome.accepted())
            return failure(outcome.message, 409, "Conflict");
    } else if (!action.isEmpty()) {
        return failure(QStringLiteral("no such item action"), 404, "Not Found");
    } else if (request.method == "DELETE") {
        house.removeItem(number);
        return json(QJsonObject { { QStringLiteral("removed"), QString::number(number) } });
    } else if (isPost(request)) {
        Listing listing;
        QString error;
        QJsonObject changes = body;
        changes.remove(QStringLiteral("number"));
        if (!listingFromJson(changes, m_simulator.clock().now(), current->listing, &listing, &error)
            || !house.updateItem(listing, &error))
            return failure(error);
    } else if (!isGet(request)) {
        return notAllowed();
    }
    return json(itemToJson(*house.snapshot(number)));
}

HttpResponse ControlApi::users(const HttpRequest &request, const QJsonObject &body)
{
    if (isPost(request)) {
        SimUser user;
        QString error;
        if (!userFromJson(body, &user, &error))
            return failure(error);
        m_simulator.addUser(user);
    } else if (!isGet(request)) {
        return notAllowed();
    }
    QJsonArray list;
    // Passwords are never echoed back.
    for (const SimUser &user : m_simulator.house().users())
        list.append(
            QJsonObject { { QStringLiteral("id"), user.id }, { QStringLiteral("rating"), user.rating } });
    return json(list);
}

HttpResponse ControlApi::faults(const HttpRequest &request, const QJsonObject &body)
{
    FaultPlan &plan = m_simulator.faults();
    const QJsonValue target = body.value(QLatin1String("item"));
    const qint64 number = target.isString() ? target.toString().toLongLong() : qint64(target.toDouble(0));
    if (request.method == "DELETE") {
        if (number > 0)
            plan.clearItem(number);
        else
            plan.clear();
    } else if (isPost(request)) {
        Fault fault;
        QString error;
        if (!faultFromJson(body, &fault, &error))
            return failure(error);
        if (target.toString() == QLatin1String("all"))
            plan.setForAll(fault);
        else if (number > 0)
            plan.setForItem(number, fault);
        else
            return failure(QStringLiteral("\"item\" is an item number or \"all\""));
    } else if (!isGet(request)) {
        return notAllowed();
    }
    QJsonObject object;
    if (plan.forAll())
        object.insert(QStringLiteral("all"), faultToJson(*plan.forAll()));
    QJsonObject perItem;
    for (auto it = plan.perItem().cbegin(); it != plan.perItem().cend(); ++it)
        perItem.insert(QString::number(it.key()), faultToJson(it.value()));
    object.insert(QStringLiteral("items"), perItem);
    return json(object);
}

HttpResponse ControlApi::layout(const HttpRequest &request, const QJsonObject &body)
{
    SiteRoutes &site = m_simulator.site();
    if (isPost(request)) {
        const QString name = body.value(QLatin1String("layout")).toString();
        if (name == u"changed")
            site.setPageLayout(PageLayout::Changed);
        else if (name == u"known")
            site.setPageLayout(PageLayout::Known);
        else
            return failure(QStringLiteral("layout is \"known\" or \"changed\""));
    }
    return json(QJsonObject { { QStringLiteral("layout"),
        site.pageLayout() == PageLayout::Changed ? QStringLiteral("changed") : QStringLiteral("known") } });
}

HttpResponse ControlApi::listening(const QJsonObject &body)
{
    bool ok = true;
    if (body.contains(QLatin1String("site")))
        ok = m_simulator.setSiteListening(body.value(QLatin1String("site")).toBool()) && ok;
    if (body.contains(QLatin1String("daytime"))) {
        if (body.value(QLatin1String("daytime")).toBool())
            ok = m_simulator.daytime().resume() && ok;
        else
            m_simulator.daytime().stop();
    }
    if (!ok)
        return failure(QStringLiteral("could not listen on the port again"), 500, "Internal Server Error");
    return state();
}

HttpResponse ControlApi::log(const HttpRequest &request)
{
    if (request.method == "DELETE") {
        m_simulator.requestLog().clear();
        return json(QJsonArray());
    }
    if (!isGet(request))
        return notAllowed();
    QJsonArray list;
    for (const LoggedRequest &entry : m_simulator.requestLog().entries()) {
        list.append(QJsonObject {
            { QStringLiteral("id"), double(entry.id) },
            { QStringLiteral("connectedAt"), entry.connectedAt.toString(Qt::ISODateWithMs) },
            { QStringLiteral("peerPort"), int(entry.peerPort) },
            { QStringLiteral("method"), QString::fromLatin1(entry.method) },
            { QStringLiteral("target"), QString::fromLatin1(entry.target) },
            { QStringLiteral("refused"), entry.refused },
            { QStringLiteral("raw"), QString::fromLatin1(entry.raw) },
            { QStringLiteral("rawBase64"), QString::fromLatin1(entry.raw.toBase64()) },
        });
    }
    return json(list);
}

HttpResponse ControlApi::daytime(const HttpRequest &request, const QJsonObject &body)
{
    DaytimeServer &server = m_simulator.daytime();
    if (isPost(request)) {
        if (body.contains(QLatin1String("offsetSeconds")))
            server.setOffsetSeconds(qRound64(body.value(QLatin1String("offsetSeconds")).toDouble()));
        const QString mode = body.value(QLatin1String("mode")).toString();
        if (mode == QLatin1String("answer"))
            server.setMode(DaytimeServer::Mode::Answer);
        else if (mode == QLatin1String("silent"))
            server.setMode(DaytimeServer::Mode::Silent);
        else if (mode == QLatin1String("close"))
            server.setMode(DaytimeServer::Mode::CloseAtOnce);
        else if (!mode.isEmpty())
            return failure(QStringLiteral("mode is \"answer\", \"silent\" or \"close\""));
    } else if (!isGet(request)) {
        return notAllowed();
    }
    const char *mode = server.mode() == DaytimeServer::Mode::Answer ? "answer"
        : server.mode() == DaytimeServer::Mode::Silent              ? "silent"
                                                                    : "close";
    return json(QJsonObject {
        { QStringLiteral("offsetSeconds"), double(server.offsetSeconds()) },
        { QStringLiteral("mode"), QString::fromLatin1(mode) },
        { QStringLiteral("listening"), server.isListening() },
        { QStringLiteral("connectionsServed"), server.connectionsServed() },
    });
}

} // namespace th::sim
