#include "listexport/CalendarFeed.h"

#include <QTimeZone>

#include "common/Formats.h"
#include "listexport/ListEntries.h"
#include "watchlist/WatchListActions.h"

namespace th {

namespace {

// The right-hand part of every event identity: fixed, so that an item keeps its identity
// from one file to the next and from one computer to another.
constexpr char16_t kIdentityDomain[] = u"items.tallyhawk.invalid";
constexpr int kFoldOctets = 75;

QString utcStamp(const QDateTime &when)
{
    return when.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
}

// Whether the byte starts a character (is not a UTF-8 continuation byte).
bool startsCharacter(char byte)
{
    return (quint8(byte) & 0xC0) != 0x80;
}

QString description(const ListEntry &entry)
{
    QStringList lines;
    lines << u"Price: " + entry.price.trimmed() << u"Bids: " + entry.bids.trimmed();
    if (entry.hasAutoBid()) {
        lines << u"Automatic bid: maximum " + formatMoney(entry.maxAutoBid)
                + QStringLiteral(", quantity %1, placed %2 seconds before the end")
                      .arg(entry.maxQuantity)
                      .arg(entry.maxTimeLeft);
    }
    return lines.join(u'\n');
}

// "Ends in 1 hour", "Ends in 10 minutes".
QString inTime(qint32 count, const QString &unit)
{
    return QStringLiteral("Ends in %1 %2%3")
        .arg(count)
        .arg(unit, count == 1 ? QString() : QStringLiteral("s"));
}

void addAlarm(QStringList &lines, const QString &trigger, const QString &what, const ListEntry &entry)
{
    lines << QStringLiteral("BEGIN:VALARM") << QStringLiteral("ACTION:DISPLAY")
          << u"DESCRIPTION:" + calendarText(what + u": " + entry.title.trimmed())
          << u"TRIGGER;RELATED=END:" + trigger << QStringLiteral("END:VALARM");
}

void addEvent(QStringList &lines, const ListEntry &entry, const CalendarOptions &options)
{
    lines << QStringLiteral("BEGIN:VEVENT")
          << u"UID:" + entry.item + u'@' + QString::fromUtf16(kIdentityDomain)
          << u"DTSTAMP:" + utcStamp(options.now)
          << u"DTSTART:" + utcStamp(entry.end)
          // An end in time, not a stretch of it. An end equal to the start is not allowed,
          // and alarms counted from the end need one: a duration of nothing says it.
          << QStringLiteral("DURATION:PT0S") << u"SUMMARY:" + calendarText(entry.title.trimmed())
          << u"URL:" + itemPageAddress(options.itemPageHost, entry.item)
          << u"DESCRIPTION:" + calendarText(description(entry));
    if (entry.hasAutoBid()) {
        if (options.firstAlertHours > 0)
            addAlarm(lines, QStringLiteral("-PT%1H").arg(options.firstAlertHours),
                inTime(options.firstAlertHours, QStringLiteral("hour")), entry);
        if (options.secondAlertMinutes > 0)
            addAlarm(lines, QStringLiteral("-PT%1M").arg(options.secondAlertMinutes),
                inTime(options.secondAlertMinutes, QStringLiteral("minute")), entry);
    }
    lines << QStringLiteral("END:VEVENT");
}

} // namespace

QString calendarText(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' || c == u';' || c == u',') {
            escaped += u'\\';
            escaped += c;
        } else if (c == u'\r' || c == u'\n') {
            // CR LF is one line break.
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            escaped += QStringLiteral("\\n");
        } else if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            escaped += c == u'\t' ? c : QChar(u' ');
        } else {
            escaped += c;
        }
    }
    return escaped;
}

QByteArray foldedCalendarLine(const QString &line)
{
    const QByteArray bytes = line.toUtf8();
    QByteArray folded;
    folded.reserve(bytes.size() + bytes.size() / 70 * 3 + 2);
    qsizetype start = 0;
    int room = kFoldOctets;
    while (bytes.size() - start > room) {
        qsizetype cut = start + room;
        while (cut > start && !startsCharacter(bytes[cut]))
            --cut;
        folded += bytes.mid(start, cut - start);
        folded += "\r\n ";
        start = cut;
        room = kFoldOctets - 1; // the leading blank counts
    }
    folded += bytes.mid(start);
    folded += "\r\n";
    return folded;
}

QByteArray calendarFile(const QList<ListEntry> &entries, const CalendarOptions &options)
{
    QStringList lines { QStringLiteral("BEGIN:VCALENDAR"), QStringLiteral("VERSION:2.0"),
        QStringLiteral("PRODID:-//Quillmarsh//Tallyhawk//EN"), QStringLiteral("CALSCALE:GREGORIAN"),
        QStringLiteral("METHOD:PUBLISH"), QStringLiteral("X-WR-CALNAME:Tallyhawk watch list") };
    for (const ListEntry &entry : entries) {
        if (entry.ended || !entry.end.isValid() || entry.end <= options.now)
            continue;
        addEvent(lines, entry, options);
    }
    lines << QStringLiteral("END:VCALENDAR");
    QByteArray file;
    for (const QString &line : std::as_const(lines))
        file += foldedCalendarLine(line);
    return file;
}

} // namespace th
