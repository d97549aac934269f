#include "platform/TimedatedClockSetter.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace th {

namespace {
constexpr int kNoBus = 1;
constexpr int kRefused = 2;
// What timedated answers while network time synchronisation keeps the clock.
constexpr char kNetworkTimeError[] = "org.freedesktop.timedate1.AutomaticTimeSyncEnabled";
} // namespace

TimedatedClockSetter::TimedatedClockSetter(QObject *parent)
    : QObject(parent)
{
}

void TimedatedClockSetter::adjustBy(
    qint64 offsetMsecs, bool interactive, std::function<void(Result<void>)> done)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        done(makeError(kNoBus, QStringLiteral("The clock cannot be set: no system bus is available")));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.timedate1"),
        QStringLiteral("/org/freedesktop/timedate1"), QStringLiteral("org.freedesktop.timedate1"),
        QStringLiteral("SetTime"));
    // Relative: the whole date-time moves by the offset, however long authorisation takes.
    call << qlonglong(offsetMsecs * 1000) << true << interactive;
    call.setInteractiveAuthorizationAllowed(interactive);
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 120000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
        [done = std::move(done)](QDBusPendingCallWatcher *w) {
            w->deleteLater();
            const QDBusPendingReply<> reply = *w;
            if (reply.isError() && reply.error().name() == QLatin1String(kNetworkTimeError)) {
                done(makeError(IClockSetter::kKeptByNetworkTime,
                    QStringLiteral("The clock cannot be set: the system clock is kept by network time "
                                   "synchronisation")));
                return;
            }
            if (reply.isError()) {
                done(makeError(
                    kRefused, QStringLiteral("The clock cannot be set: %1").arg(reply.error().message())));
                return;
            }
            done({});
        });
}

} // namespace th
