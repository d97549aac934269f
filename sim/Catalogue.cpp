#include "sim/Catalogue.h"

#include <QJsonArray>

#include <cmath>

namespace th::sim {

namespace {

bool readTime(const QJsonObject &object, const QString &absoluteKey, const QString &minutesKey,
    const QString &secondsKey, qint64 sign, const QDateTime &now, QDateTime *time, QString *error)
{
    if (object.contains(absoluteKey)) {
        const QDateTime parsed = QDateTime::fromString(object.value(absoluteKey).toString(), Qt::ISODate);
        if (!parsed.isValid()) {
            *error = QStringLiteral("\"%1\" is not an ISO date-time").arg(absoluteKey);
            return false;
        }
        *time = parsed.toUTC();
    } else if (object.contains(minutesKey)) {
        const double minutes = object.value(minutesKey).toDouble(qQNaN());
        if (!std::isfinite(minutes)) {
            *error = QStringLiteral("\"%1\" is not a number").arg(minutesKey);
            return false;
        }
        *time = now.addMSecs(sign * qRound64(minutes * 60000.0));
    } else if (!secondsKey.isEmpty() && object.contains(secondsKey)) {
        const double seconds = object.value(secondsKey).toDouble(qQNaN());
        if (!std::isfinite(seconds)) {
            *error = QStringLiteral("\"%1\" is not a number").arg(secondsKey);
            return false;
        }
        *time = now.addMSecs(sign * qRound64(seconds * 1000.0));
    }
    return true;
}

bool readAmount(const QJsonObject &object, const QString &key, Cents *amount, QString *error)
{
    if (!object.contains(key))
        return true;
    if (!amountFromJson(object.value(key), amount)) {
        *error = QStringLiteral("\"%1\" is not an amount").arg(key);
        return false;
    }
    return true;
}

void readText(const QJsonObject &object, const QString &key, QString *text)
{
    if (object.contains(key))
        *text = object.value(key).toVariant().toString();
}

bool readItemNumber(const QJsonValue &value, qint64 *number)
{
    qint64 parsed = 0;
    bool ok = false;
    if (value.isString()) {
        parsed = value.toString().trimmed().toLongLong(&ok);
    } else if (value.isDouble()) {
        const double whole = value.toDouble();
        parsed = qint64(whole);
        ok = double(parsed) == whole;
    }
    if (!ok || parsed <= 0)
        return false;
    *number = parsed;
    return true;
}

} // namespace

bool amountFromJson(const QJsonValue &value, Cents *amount)
{
    if (value.isDouble()) {
        const double dollars = value.toDouble();
        if (!std::isfinite(dollars) || dollars < 0 || dollars > 1e12)
            return false;
        *amount = qRound64(dollars * 100.0);
        return true;
    }
    if (value.isString()) {
        const std::optional<Cents> parsed = parseAmount(value.toString());
        if (!parsed)
            return false;
        *amount = *parsed;
        return true;
    }
    return false;
}

bool listingFromJson(
    const QJsonObject &object, const QDateTime &now, const Listing &base, Listing *listing, QString *error)
{
    Listing item = base;
    if (object.contains(QLatin1String("number"))
        && !readItemNumber(object.value(QLatin1String("number")), &item.number)) {
        *error = QStringLiteral("\"number\" is not an item number");
        return false;
    }
    readText(object, QStringLiteral("title"), &item.title);
    readText(object, QStringLiteral("seller"), &item.seller);
    readText(object, QStringLiteral("category"), &item.category);
    readText(object, QStringLiteral("location"), &item.location);
    readText(object, QStringLiteral("country"), &item.country);
    readText(object, QStringLiteral("currency"), &item.currency);
    readText(object, QStringLiteral("description"), &item.description);
    if (object.contains(QLatin1String("format"))) {
        const QString format = object.value(QLatin1String("format")).toString().toLower();
        if (format == QLatin1String("auction"))
            item.format = ListingFormat::Auction;
        else if (format == QLatin1String("fixed") || format == QLatin1String("fixedprice"))
            item.format = ListingFormat::FixedPrice;
        else {
            *error = QStringLiteral("\"format\" must be \"auction\" or \"fixed\"");
            return false;
        }
    }
    if (!readAmount(object, QStringLiteral("price"), &item.startPrice, error)
        || !readAmount(object, QStringLiteral("startPrice"), &item.startPrice, error)
        || !readAmount(object, QStringLiteral("reserve"), &item.reservePrice, error)
        || !readAmount(object, QStringLiteral("buyItNow"), &item.buyItNowPrice, error)
        || !readAmount(object, QStringLiteral("botCeiling"), &item.botCeiling, error))
        return false;
    if (object.contains(QLatin1String("quantity")))
        item.quantity = object.value(QLatin1String("quantity")).toInt(0);
    if (object.contains(QLatin1String("motors")))
        item.motors = object.value(QLatin1String("motors")).toBool();
    if (object.contains(QLatin1String("closed")))
        item.closedEarly = object.value(QLatin1String("closed")).toBool();
    if (object.contains(QLatin1String("paypal")))
        item.acceptsPaypal = object.value(QLatin1String("paypal")).toBool();
    if (object.contains(QLatin1String("botBidsPerHour")))
        item.botBidsPerHour = object.value(QLatin1String("botBidsPerHour")).toDouble(0);
    if (!readTime(object, QStringLiteral("startTime"), QStringLiteral("startedMinutesAgo"), QString(), -1,
            now, &item.startTime, error)
        || !readTime(object, QStringLiteral("endTime"), QStringLiteral("endsInMinutes"),
            QStringLiteral("endsInSeconds"), 1, now, &item.endTime, error))
        return false;
    if (item.quantity < 1) {
        *error = QStringLiteral("\"quantity\" must be at least 1");
        return false;
    }
    if (!std::isfinite(item.botBidsPerHour) || item.botBidsPerHour < 0) {
        *error = QStringLiteral("\"botBidsPerHour\" must not be negative");
        return false;
    }
    *listing = item;
    return true;
}

bool bidFromJson(const QJsonObject &object, const QDateTime &now, Bid *bid, QString *error)
{
    Bid result;
    result.bidder = object.value(QLatin1String("user")).toString();
    if (result.bidder.isEmpty()) {
        *error = QStringLiteral("a bid needs a \"user\"");
        return false;
    }
    if (!amountFromJson(object.value(QLatin1String("max")), &result.maximum)) {
        *error = QStringLiteral("a bid needs an amount \"max\"");
        return false;
    }
    result.quantity = object.value(QLatin1String("quantity")).toInt(1);
    result.placedAt = now;
    if (!readTime(object, QStringLiteral("time"), QStringLiteral("minutesAgo"), QString(), -1, now,
            &result.placedAt, error))
        return false;
    *bid = result;
    return true;
}

bool userFromJson(const QJsonObject &object, SimUser *user, QString *error)
{
    SimUser result;
    result.id = object.value(QLatin1String("id")).toString();
    result.password = object.value(QLatin1String("password")).toString();
    result.rating = object.value(QLatin1String("rating")).toInt(0);
    if (result.id.isEmpty()) {
        *error = QStringLiteral("a user needs an \"id\"");
        return false;
    }
    *user = result;
    return true;
}

bool catalogueFromJson(
    const QJsonObject &document, const QDateTime &now, Catalogue *catalogue, QString *error)
{
    Catalogue result;
    const QJsonArray users = document.value(QLatin1String("users")).toArray();
    for (const QJsonValue &value : users) {
        SimUser user;
        if (!userFromJson(value.toObject(), &user, error))
            return false;
        result.users.append(user);
    }
    const QJsonArray items = document.value(QLatin1String("items")).toArray();
    for (int i = 0; i < items.size(); ++i) {
        const QJsonObject object = items.at(i).toObject();
        CatalogueItem item;
        Listing base;
        base.endTime = now.addDays(3);
        if (!listingFromJson(object, now, base, &item.listing, error)) {
            *error = QStringLiteral("item %1: %2").arg(i + 1).arg(*error);
            return false;
        }
        if (item.listing.number <= 0) {
            *error = QStringLiteral("item %1: \"number\" is missing").arg(i + 1);
            return false;
        }
        const QJsonArray bids = object.value(QLatin1String("bids")).toArray();
        for (const QJsonValue &bidValue : bids) {
            Bid bid;
            if (!bidFromJson(bidValue.toObject(), now, &bid, error)) {
                *error = QStringLiteral("item %1: %2").arg(i + 1).arg(*error);
                return false;
            }
            item.bids.append(bid);
        }
        result.items.append(item);
    }
    *catalogue = result;
    return true;
}

QJsonObject listingToJson(const Listing &listing)
{
    QJsonObject object;
    object.insert(QStringLiteral("number"), QString::number(listing.number));
    object.insert(QStringLiteral("title"), listing.title);
    object.insert(QStringLiteral("seller"), listing.seller);
    object.insert(QStringLiteral("category"), listing.category);
    object.insert(QStringLiteral("location"), listing.location);
    object.insert(QStringLiteral("country"), listing.country);
    object.insert(QStringLiteral("currency"), listing.currency);
    object.insert(
        QStringLiteral("format"), listing.isAuction() ? QStringLiteral("auction") : QStringLiteral("fixed"));
    object.insert(QStringLiteral("startPrice"), plainAmount(listing.startPrice));
    object.insert(QStringLiteral("reserve"), plainAmount(listing.reservePrice));
    object.insert(QStringLiteral("buyItNow"), plainAmount(listing.buyItNowPrice));
    object.insert(QStringLiteral("quantity"), listing.quantity);
    object.insert(QStringLiteral("motors"), listing.motors);
    object.insert(QStringLiteral("closed"), listing.closedEarly);
    object.insert(QStringLiteral("paypal"), listing.acceptsPaypal);
    object.insert(QStringLiteral("startTime"), listing.startTime.toUTC().toString(Qt::ISODate));
    object.insert(QStringLiteral("endTime"), listing.endTime.toUTC().toString(Qt::ISODate));
    object.insert(QStringLiteral("botBidsPerHour"), listing.botBidsPerHour);
    object.insert(QStringLiteral("botCeiling"), plainAmount(listing.botCeiling));
    return object;
}

QJsonObject bidToJson(const Bid &bid)
{
    QJsonObject object;
    object.insert(QStringLiteral("user"), bid.bidder);
    object.insert(QStringLiteral("max"), plainAmount(bid.maximum));
    object.insert(QStringLiteral("quantity"), bid.quantity);
    object.insert(QStringLiteral("time"), bid.placedAt.toUTC().toString(Qt::ISODate));
    object.insert(QStringLiteral("purchase"), bid.purchase);
    return object;
}

} // namespace th::sim
