#include "listexport/CsvTable.h"

#include "common/Formats.h"
#include "listexport/ListEntries.h"

namespace th {

namespace {

QStringList rowFields(const ListEntry &entry)
{
    QStringList fields { entry.item, entry.title, entry.bids, entry.price, entry.reserve, entry.timeLeft,
        isoDateTimeWithOffset(entry.end), entry.sellerRating, entry.buyItNow, entry.quantity };
    if (entry.hasAutoBid())
        fields << entry.maxAutoBid.toText() << QString::number(entry.maxQuantity)
               << QString::number(entry.maxTimeLeft);
    else
        fields << QString() << QString() << QString();
    return fields;
}

void appendLine(QByteArray &table, const QStringList &fields)
{
    QStringList written;
    written.reserve(fields.size());
    for (const QString &field : fields)
        written.append(csvField(field));
    table += written.join(u',').toUtf8();
    table += "\r\n";
}

} // namespace

QStringList csvHeader()
{
    return { QStringLiteral("Item #"), QStringLiteral("Item Name"), QStringLiteral("Bids"),
        QStringLiteral("Price"), QStringLiteral("Reserve"), QStringLiteral("t-Remaining"),
        QStringLiteral("End Date"), QStringLiteral("Seller Rating"), QStringLiteral("Buy It Now"),
        QStringLiteral("Quantity"), QStringLiteral("Auto-Bid Max"), QStringLiteral("Auto-Bid Quantity"),
        QStringLiteral("Auto-Bid Seconds Before End") };
}

QString isoDateTimeWithOffset(const QDateTime &when)
{
    if (!when.isValid())
        return {};
    const int offset = when.offsetFromUtc();
    const int minutes = qAbs(offset) / 60;
    return when.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")) + (offset < 0 ? u'-' : u'+')
        + formatTwoDigits(minutes / 60) + u':' + formatTwoDigits(minutes % 60);
}

QString csvField(const QString &text)
{
    const bool quote = text.contains(u',') || text.contains(u'"') || text.contains(u'\r')
        || text.contains(u'\n') || (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()));
    if (!quote)
        return text;
    QString doubled = text;
    doubled.replace(u'"', QStringLiteral("\"\""));
    return u'"' + doubled + u'"';
}

QByteArray csvTable(const QList<ListEntry> &entries)
{
    QByteArray table;
    appendLine(table, csvHeader());
    for (const ListEntry &entry : entries)
        appendLine(table, rowFields(entry));
    return table;
}

} // namespace th
