#include "common/ItemNumber.h"

#include <QUrl>
#include <QUrlQuery>

namespace th {

std::optional<QString> normalizeItemNumber(QStringView typed)
{
    const QStringView digits = typed.trimmed();
    if (digits.isEmpty())
        return std::nullopt;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    // Compare by magnitude without converting: leading zeros do not count, and a number
    // with more significant digits than the minimum is larger whatever its length.
    qsizetype first = 0;
    while (first < digits.size() - 1 && digits[first] == u'0')
        ++first;
    const QStringView significant = digits.mid(first);
    const QString minimum = QString::number(kMinItemNumber);
    if (significant.size() < minimum.size())
        return std::nullopt;
    if (significant.size() == minimum.size() && significant < QStringView(minimum))
        return std::nullopt;
    return digits.toString();
}

QString itemNumberOrAddress(const QString &typed)
{
    const QString trimmed = typed.trimmed();
    const QUrl address(trimmed, QUrl::StrictMode);
    if (!address.isValid() || (address.scheme() != u"http" && address.scheme() != u"https"))
        return trimmed;
    // The site's query keeps a bare command name ("?ViewItem&item=..."); only the item
    // pair counts.
    const QList<std::pair<QString, QString>> pairs = QUrlQuery(address).queryItems(QUrl::FullyDecoded);
    for (const auto &[key, value] : pairs) {
        if (key.compare(u"item", Qt::CaseInsensitive) == 0)
            return value.trimmed();
    }
    return trimmed;
}

} // namespace th
