#include "search/SearchAddress.h"

#include <QByteArray>

namespace th {

namespace {

// The item-page address takes only a number above this; smaller numbers are keywords.
constexpr qint64 kLowestItemSearched = 500000;

bool isSearchedItemNumber(const QString &trimmed)
{
    if (trimmed.isEmpty())
        return false;
    for (const QChar c : trimmed) {
        if (c < u'0' || c > u'9')
            return false;
    }
    bool ok = false;
    const qulonglong value = trimmed.toULongLong(&ok);
    // A number too long for 64 bits is still a number above the threshold.
    return !ok || value > qulonglong(kLowestItemSearched);
}

} // namespace

QString searchOptionsText(const SearchOptions &options)
{
    QString text;
    if (options.titleDesc)
        text += u"&srchdesc=y";
    if (options.buyItNow)
        text += u"&itf=2";
    if (options.paypalOnly)
        text += u"&pt=2";
    if (options.sortText == u"Ending first")
        text += u"&SortProperty=MetaEndSort";
    else if (options.sortText == u"Newly Listed")
        text += u"&SortProperty=MetaNewSort";
    else if (options.sortText == u"Lowest price first")
        text += u"&SortProperty=MetaLowestPriceSort";
    else if (options.sortText == u"Highest price first")
        text += u"&SortProperty=MetaHighestPriceSort";
    return text;
}

QString encodeSearchText(const QString &text, bool blankAsPlus)
{
    // The blank is left for the caller's form of it.
    QByteArray result = text.toUtf8().toPercentEncoding(QByteArray(" "));
    result.replace(' ', blankAsPlus ? QByteArray("+") : QByteArray("%20"));
    return QString::fromLatin1(result);
}

SearchAddresses searchAddressesFor(
    const QString &text, const SearchOptions &options, const SearchHosts &hosts)
{
    SearchAddresses addresses;
    if (options.google)
        addresses.google = u"http://" + hosts.google + u"/search?q=" + encodeSearchText(text, false);
    const QString optionsText = searchOptionsText(options);
    const QString trimmed = text.trimmed();
    if (options.seller) {
        addresses.site = u"http://" + hosts.sellerListing
            + u"/aw-cgi/eBayISAPI.dll?MfcISAPICommand=ViewListedItems&userid="
            + encodeSearchText(trimmed, false) + optionsText + u"&include=0&since=-1&sort=3&rows=25";
    } else if (options.completed && !trimmed.isEmpty()) {
        addresses.site = u"http://" + hosts.completedSearch + u"/search/search.dll?query="
            + encodeSearchText(trimmed, false) + u"&ht=1";
    } else if (isSearchedItemNumber(trimmed)) {
        // The trimmed number: blanks around it would become part of the item number.
        addresses.site
            = u"http://" + hosts.itemPage + u"/aw-cgi/eBayISAPI.dll?ViewItem&item=" + trimmed + optionsText;
    } else {
        addresses.site = u"http://" + hosts.search + u"/search/search.dll?MfcISAPICommand=GetResult&ht=1&"
            + optionsText + u"&query=" + encodeSearchText(text, true);
    }
    return addresses;
}

} // namespace th
