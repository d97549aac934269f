#include "clock/SyncTexts.h"

#include <QTime>

#include "platform/IConnectionState.h"

namespace th {

namespace {
// Flags the connection test reports on other systems; here they never show, but the text
// keeps its place for them.
constexpr quint32 kModemBusy = 0x08;
constexpr qint64 kHalfDaySecs = 12 * 3600;
} // namespace

QStringList gmtChoices()
{
    QStringList choices;
    for (int hours = 12; hours >= 1; --hours)
        choices.append(QStringLiteral("[GMT -%1 h.]").arg(hours));
    choices.append(QStringLiteral("[GMT +0]"));
    for (int hours = 1; hours <= 12; ++hours)
        choices.append(QStringLiteral("[GMT +%1 h.]").arg(hours));
    return choices;
}

QStringList fineTuneChoices()
{
    return { QStringLiteral("-5"), QStringLiteral("-4"), QStringLiteral("-3"), QStringLiteral("-2"),
        QStringLiteral("-1"), QStringLiteral(" 0"), QStringLiteral("+1"), QStringLiteral("+2"),
        QStringLiteral("+3"), QStringLiteral("+4"), QStringLiteral("+5") };
}

QString fineTuneText(const FixedSeconds &fineTune)
{
    const qint64 units = fineTune.units();
    QString number = QString::number(units / 10000);
    if (const qint64 fraction = qAbs(units % 10000); fraction != 0) {
        if (units < 0 && units > -10000)
            number = QStringLiteral("-0");
        QString decimals = QStringLiteral("%1").arg(fraction, 4, 10, QLatin1Char('0'));
        while (decimals.endsWith(u'0'))
            decimals.chop(1);
        number += u'.' + decimals;
    }
    return units > 0 ? u'+' + number : number;
}

QString atomicTimeText(QStringView reply, int gmtHours)
{
    const QString field = reply.mid(16, 8).toString();
    bool ok = false;
    const int hour = field.left(2).toInt(&ok);
    const int shifted = (((ok ? hour : 0) + gmtHours) % 24 + 24) % 24;
    return QStringLiteral("%1").arg(shifted, 2, 10, QLatin1Char('0')) + field.mid(2);
}

QDateTime nearestWithTimeOfDay(const QDateTime &now, QStringView timeOfDay)
{
    const QTime time = QTime::fromString(timeOfDay.toString(), QStringLiteral("hh:mm:ss"));
    if (!time.isValid())
        return {};
    QDateTime candidate(now.date(), time, now.timeSpec());
    const qint64 secs = now.secsTo(candidate);
    if (secs > kHalfDaySecs)
        candidate = QDateTime(now.date().addDays(-1), time, now.timeSpec());
    else if (secs < -kHalfDaySecs)
        candidate = QDateTime(now.date().addDays(1), time, now.timeSpec());
    return candidate;
}

QString connectionDescription(quint32 flags, bool connected)
{
    if (!connected)
        return QStringLiteral("You are NOT connected to the internet, please recheck your connection before "
                              "using our software");
    QString text;
    if (flags & ConnectionFlag::Configured)
        text += QStringLiteral("You have a network connection configured.\n");
    if (flags & ConnectionFlag::Lan)
        text += QStringLiteral(
            "Your system connects to the Internet via a LAN, Cable Modem, or any services that "
            "use Internet via Ethernet Card");
    text += (flags & ConnectionFlag::Proxy) ? QStringLiteral(", and uses a proxy server. ")
                                            : QStringLiteral(".  ");
    if (flags & ConnectionFlag::Modem)
        text += QStringLiteral("Your system uses a modem to connect to the Internet. ");
    if (flags & ConnectionFlag::Offline)
        text += QStringLiteral("The connection is currently OFFLINE. ");
    if (flags & kModemBusy)
        text += QStringLiteral("Your system's modem is so busy with a non-Internet connection. ");
    if (flags & ConnectionFlag::Ras)
        text += QStringLiteral("Remote Access Services are installed on this system.");
    return text;
}

} // namespace th
