#include "autobid/BidAddresses.h"

#include <algorithm>

namespace th {

namespace {

constexpr quint16 kHttpPort = 80;

bool isDigits(const QString &text)
{
    return !text.isEmpty()
        && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

QUrl httpUrl(const HostPort &host, const QString &pathAndQuery)
{
    return QUrl(u"http://" + host.text + pathAndQuery);
}

// Plain HTTP on exactly the configured host and port (an address without a port is on 80).
bool isOnHost(const QUrl &url, const HostPort &host)
{
    if (!url.isValid() || url.scheme() != u"http" || !url.userInfo().isEmpty())
        return false;
    return url.host().compare(host.host, Qt::CaseInsensitive) == 0 && url.port(kHttpPort) == host.port;
}

} // namespace

QUrl bidItemPageUrl(const HostPort &itemPage, QStringView item)
{
    return httpUrl(itemPage, u"/ws/eBayISAPI.dll?ViewItem&item=" + item.trimmed().toString());
}

QUrl bidHistoryUrl(const HostPort &bidHistory, QStringView item)
{
    return httpUrl(bidHistory, u"/aw-cgi/eBayISAPI.dll?ViewBids&item=" + item.trimmed().toString());
}

bool isBidItemPage(const QUrl &url, const HostPort &itemPage, QStringView item)
{
    const QString number = item.trimmed().toString();
    if (!isDigits(number) || !isOnHost(url, itemPage))
        return false;
    const QString path = url.path(QUrl::FullyEncoded);
    if (path != u"/ws/eBayISAPI.dll" && path != u"/ebaymotors/ws/eBayISAPI.dll")
        return false;
    const QString query = url.query(QUrl::FullyEncoded);
    const QString marker = u"ViewItem&item=" + number;
    if (!query.startsWith(marker))
        return false;
    return query.size() == marker.size() || !query.at(marker.size()).isDigit();
}

bool isFillInSignInPage(const QUrl &url, const HostPort &itemPage)
{
    return isOnHost(url, itemPage) && url.path(QUrl::FullyEncoded) == u"/aw-cgi/eBayISAPI.dll"
        && !url.hasQuery() && !url.hasFragment();
}

bool isRealBidSignInPage(const QUrl &url, const HostPort &itemPage)
{
    if (!isOnHost(url, itemPage))
        return false;
    const QString path = url.path(QUrl::FullyEncoded);
    return path.compare(u"/aw-cgi/eBayISAPI.dll", Qt::CaseInsensitive) == 0
        || path.compare(u"/ebaymotors/aw-cgi/eBayISAPI.dll", Qt::CaseInsensitive) == 0;
}

bool isAllowedFormTarget(const QUrl &target, const HostPort &itemPage)
{
    return isOnHost(target, itemPage);
}

} // namespace th
