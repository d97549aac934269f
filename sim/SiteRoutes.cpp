#include "sim/SiteRoutes.h"

#include "sim/AuctionHouse.h"
#include "sim/ItemPage.h"
#include "sim/SitePages.h"

#include <algorithm>

namespace th::sim {

namespace {

bool samePath(const QByteArray &path, const char *expected)
{
    return path.compare(expected, Qt::CaseInsensitive) == 0;
}

bool isIsapiPath(const QByteArray &path)
{
    return samePath(path, "/ws/eBayISAPI.dll") || samePath(path, "/aw-cgi/eBayISAPI.dll")
        || samePath(path, "/ebaymotors/ws/eBayISAPI.dll")
        || samePath(path, "/ebaymotors/aw-cgi/eBayISAPI.dll");
}

bool isMotorsPath(const QByteArray &path)
{
    return path.toLower().startsWith("/ebaymotors/");
}

qint64 itemNumber(const QString &text)
{
    bool ok = false;
    const qint64 number = text.trimmed().toLongLong(&ok);
    return ok && number > 0 ? number : 0;
}

FormFields requestFields(const HttpRequest &request)
{
    FormFields fields(request.query());
    // The program's page request is a GET that repeats its query as a body; only a form
    // post carries fields in the body.
    if (request.method == "POST")
        fields.add(FormFields(request.body));
    return fields;
}

bool containsAllWords(const QString &text, const QStringList &words)
{
    return std::all_of(words.begin(), words.end(),
        [&](const QString &word) { return text.contains(word, Qt::CaseInsensitive); });
}

// A transparent 1x1 GIF: the pages' pictures come from the simulator itself, so a browser
// showing them never looks up another host.
HttpResponse pictureResponse()
{
    static const unsigned char kGif[] = { 'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 0xFF,
        0xFF, 0xFF, 0x21, 0xF9, 4, 1, 0, 0, 0, 0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 1, 0, 0x3B };
    HttpResponse response;
    response.contentType = "image/gif";
    response.body = QByteArray(reinterpret_cast<const char *>(kGif), qsizetype(sizeof kGif));
    response.withContentLength = true;
    return response;
}

bool isPicturePath(const QByteArray &path)
{
    const QByteArray lower = path.toLower();
    return lower.startsWith("/aw/pics/") || lower.startsWith("/sellerpics/");
}

void sortResults(QList<ItemSnapshot> &items, const QString &order)
{
    auto price = [](const ItemSnapshot &item) {
        return item.listing.isAuction() ? item.state.currentPrice : item.listing.startPrice;
    };
    std::stable_sort(items.begin(), items.end(), [&](const ItemSnapshot &a, const ItemSnapshot &b) {
        if (order == QLatin1String("MetaNewSort"))
            return a.listing.startTime > b.listing.startTime;
        if (order == QLatin1String("MetaLowestPriceSort"))
            return price(a) < price(b);
        if (order == QLatin1String("MetaHighestPriceSort"))
            return price(a) > price(b);
        return a.endTime < b.endTime;
    });
}

} // namespace

SiteRoutes::SiteRoutes(AuctionHouse &house)
    : m_house(house)
{
}

qint64 SiteRoutes::itemOf(const QByteArray &target, const QByteArray &body)
{
    const int mark = target.indexOf('?');
    const FormFields query(mark < 0 ? QByteArray() : target.mid(mark + 1));
    if (const qint64 number = itemNumber(query.value(QStringLiteral("item"))))
        return number;
    return itemNumber(FormFields(body).value(QStringLiteral("item")));
}

HttpResponse SiteRoutes::handle(const HttpRequest &request)
{
    const QByteArray path = request.path();
    if (isIsapiPath(path))
        return isapi(request, path);
    if (isPicturePath(path))
        return pictureResponse();
    if (samePath(path, "/search/search.dll"))
        return search(FormFields(request.query()));
    if (samePath(path, "/search") || path.startsWith("/verified/") || path.startsWith("/mail"))
        return portalResponse(request);
    if (path == "/" || samePath(path, "/index.html"))
        return HttpResponse::html(homePage(m_house.snapshots()));
    return HttpResponse::html(unknownPage(QString::fromLatin1(path)), 404, "Not Found");
}

HttpResponse SiteRoutes::isapi(const HttpRequest &request, const QByteArray &path)
{
    const FormFields fields = requestFields(request);
    QString command = fields.value(QStringLiteral("MfcISAPICommand"));
    if (command.isEmpty())
        command = fields.command();
    const qint64 number = itemNumber(fields.value(QStringLiteral("item")));
    const bool motors = isMotorsPath(path);
    if (command.compare(QLatin1String("ViewItem"), Qt::CaseInsensitive) == 0)
        return viewItem(number, path);
    if (command.compare(QLatin1String("ViewBids"), Qt::CaseInsensitive) == 0)
        return bidHistory(number);
    if (command.compare(QLatin1String("MakeBid"), Qt::CaseInsensitive) == 0)
        return makeBid(fields, motors, false);
    if (command.compare(QLatin1String("BinConfirm"), Qt::CaseInsensitive) == 0)
        return makeBid(fields, motors, true);
    if (command.compare(QLatin1String("AcceptBid"), Qt::CaseInsensitive) == 0)
        return acceptBid(fields, motors);
    if (command.compare(QLatin1String("SignIn"), Qt::CaseInsensitive) == 0)
        return HttpResponse::html(plainSignInPage(motors ? SiteSection::Motors : SiteSection::Main));
    if (command.compare(QLatin1String("ViewListedItems"), Qt::CaseInsensitive) == 0)
        return sellerListing(fields);
    return HttpResponse::html(homePage(m_house.snapshots()));
}

HttpResponse SiteRoutes::viewItem(qint64 number, const QByteArray &path)
{
    const std::optional<ItemSnapshot> item = m_house.snapshot(number);
    if (!item || item->status == ItemStatus::Pending)
        return HttpResponse::html(itemNotFoundPage(number));
    if (item->listing.motors && samePath(path, "/ws/eBayISAPI.dll")) {
        HttpResponse response = HttpResponse::html(motorsPointerPage(number), 302, "Object moved");
        response.extraHeaders.append({ "Location", motorsItemPath(number).toLatin1() });
        return response;
    }
    const SiteSection section = item->listing.motors ? SiteSection::Motors : SiteSection::Main;
    return HttpResponse::html(itemPage(*item, section, m_layout));
}

HttpResponse SiteRoutes::makeBid(const FormFields &fields, bool motorsPath, bool buyItNow)
{
    PendingBid bid;
    bid.item = itemNumber(fields.value(QStringLiteral("item")));
    bid.buyItNow = buyItNow;
    const std::optional<ItemSnapshot> item = m_house.snapshot(bid.item);
    if (!item || item->status == ItemStatus::Pending)
        return HttpResponse::html(problemPage(QStringLiteral("Invalid item"),
            QStringLiteral("There is no item %1 to bid on.").arg(bid.item), 0));
    if (buyItNow) {
        const Cents price
            = item->listing.isAuction() ? item->listing.buyItNowPrice : item->listing.startPrice;
        bid.amountText = plainAmount(price);
        bid.quantityText = QStringLiteral("1");
    } else {
        bid.amountText = fields.value(QStringLiteral("maxbid")).trimmed();
        bid.quantityText = fields.value(QStringLiteral("quant")).trimmed();
        if (bid.quantityText.isEmpty())
            bid.quantityText = QStringLiteral("1");
    }
    const SiteSection section = motorsPath ? SiteSection::Motors : SiteSection::Main;
    return HttpResponse::html(signInPage(*item, bid, section, m_signedInUser));
}

HttpResponse SiteRoutes::acceptBid(const FormFields &fields, bool motorsPath)
{
    QString user = fields.value(QStringLiteral("user")).trimmed();
    const bool signedIn = !m_signedInUser.isEmpty() && !fields.contains(QStringLiteral("pass"));
    if (signedIn) {
        user = m_signedInUser;
    } else if (!m_house.checkPassword(user, fields.value(QStringLiteral("pass")))) {
        return HttpResponse::html(problemPage(QStringLiteral("Sign In failed"),
            QStringLiteral("The user ID or password you entered is incorrect. "
                           "Please try again."),
            0));
    }
    const qint64 number = itemNumber(fields.value(QStringLiteral("item")));
    const std::optional<Cents> amount = parseAmount(fields.value(QStringLiteral("maxbid")));
    bool quantityOk = false;
    const QString quantityText = fields.value(QStringLiteral("quant")).trimmed();
    const int quantity = quantityText.isEmpty() ? 1 : quantityText.toInt(&quantityOk);
    if (!quantityText.isEmpty() && !quantityOk)
        return HttpResponse::html(problemPage(QStringLiteral("Problem with your bid"),
            QStringLiteral("Please enter the number of units as digits."), number));
    const bool buyItNow = fields.value(QStringLiteral("bin")) == QLatin1String("1");
    if (!amount && !buyItNow)
        return HttpResponse::html(problemPage(QStringLiteral("Problem with your bid"),
            QStringLiteral("Please enter your bid as an amount, such as 25.50."), number));
    const BidOutcome outcome
        = buyItNow ? m_house.buyItNow(number, user) : m_house.placeBid(number, user, *amount, quantity);
    if (!outcome.accepted())
        return HttpResponse::html(
            problemPage(QStringLiteral("Problem with your bid"), outcome.message, number));
    const SiteSection section = motorsPath ? SiteSection::Motors : SiteSection::Main;
    return HttpResponse::html(
        bidAcceptedPage(*outcome.item, m_house.user(user) ? m_house.user(user)->id : user, section));
}

HttpResponse SiteRoutes::search(const FormFields &fields)
{
    const QString words = fields.value(QStringLiteral("query")).simplified();
    const QStringList wordList = words.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    // The completed-items search is the one address without a command.
    const bool completed = fields.value(QStringLiteral("MfcISAPICommand")).isEmpty();
    const bool inDescription = fields.value(QStringLiteral("srchdesc")) == QLatin1String("y");
    const bool buyItNowOnly = fields.value(QStringLiteral("itf")) == QLatin1String("2");
    const bool paypalOnly = fields.value(QStringLiteral("pt")) == QLatin1String("2");
    QList<ItemSnapshot> found;
    for (const ItemSnapshot &item : m_house.snapshots()) {
        if (item.status == ItemStatus::Pending || item.isOver() != completed)
            continue;
        const QString text = inDescription ? item.listing.title + QLatin1Char(' ') + item.listing.description
                                           : item.listing.title;
        if (!containsAllWords(text, wordList))
            continue;
        if (buyItNowOnly && item.listing.isAuction() && !item.state.buyItNowAvailable)
            continue;
        if (paypalOnly && !item.listing.acceptsPaypal)
            continue;
        found.append(item);
    }
    sortResults(found, fields.value(QStringLiteral("SortProperty")));
    return HttpResponse::html(
        resultsPage(completed ? ResultKind::Completed : ResultKind::Search, words, found));
}

HttpResponse SiteRoutes::sellerListing(const FormFields &fields)
{
    const QString seller = fields.value(QStringLiteral("userid")).trimmed();
    QList<ItemSnapshot> found;
    for (const ItemSnapshot &item : m_house.snapshots()) {
        if (item.status == ItemStatus::Active
            && item.listing.seller.compare(seller, Qt::CaseInsensitive) == 0)
            found.append(item);
    }
    sortResults(found, QStringLiteral("MetaEndSort"));
    return HttpResponse::html(resultsPage(ResultKind::Seller, seller, found));
}

HttpResponse SiteRoutes::bidHistory(qint64 number)
{
    const std::optional<ItemSnapshot> item = m_house.snapshot(number);
    if (!item || item->status == ItemStatus::Pending)
        return HttpResponse::html(itemNotFoundPage(number));
    return HttpResponse::html(bidHistoryPage(*item));
}

HttpResponse portalResponse(const HttpRequest &request)
{
    const QByteArray path = request.path();
    const QString detail = QString::fromLatin1(request.target);
    if (samePath(path, "/search"))
        return HttpResponse::html(portalPage(PortalKind::WebSearch, decodeFormText(request.query())));
    if (path.startsWith("/verified/"))
        return HttpResponse::html(portalPage(PortalKind::Payment, decodeFormText(path.mid(10))));
    return HttpResponse::html(portalPage(PortalKind::WebMail, detail));
}

HttpResponse serviceResponse(PortalService service, const HttpRequest &request)
{
    return HttpResponse::html(servicePage(service, QString::fromLatin1(request.target)));
}

} // namespace th::sim
