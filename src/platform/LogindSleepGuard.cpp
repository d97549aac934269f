#include "platform/LogindSleepGuard.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace th {

namespace {
const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
} // namespace

LogindSleepGuard::LogindSleepGuard(QObject *parent)
    : ISleepGuard(parent)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return;
    // The bus delivers its signals only to a slot named by its signature.
    bus.connect(
        kService, kPath, kManager, QStringLiteral("PrepareForSleep"), this, SLOT(onPrepareForSleep(bool)));
}

void LogindSleepGuard::hold(const QString &why)
{
    if (why.isEmpty() || why == m_why)
        return;
    const quint64 request = ++m_request;
    m_why = why;
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        m_why.clear();
        Q_EMIT unavailable(QStringLiteral("no system bus"));
        return;
    }
    if (!(bus.connectionCapabilities() & QDBusConnection::UnixFileDescriptorPassing)) {
        m_why.clear();
        Q_EMIT unavailable(QStringLiteral("the system bus passes no locks"));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kManager, QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep") << QStringLiteral("Tallyhawk") << why << QStringLiteral("block");
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, request](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *w;
        // Released or asked again meanwhile: this lock closes with the reply.
        if (request != m_request)
            return;
        if (reply.isError() || !reply.value().isValid()) {
            m_why.clear();
            Q_EMIT unavailable(
                reply.isError() ? reply.error().message() : QStringLiteral("logind gave no lock"));
            return;
        }
        // The lock of an earlier reason closes only now that the new one is held.
        m_lock = reply.value();
    });
}

void LogindSleepGuard::release()
{
    ++m_request;
    m_why.clear();
    m_lock = QDBusUnixFileDescriptor();
}

void LogindSleepGuard::onPrepareForSleep(bool goingToSleep)
{
    if (!goingToSleep)
        Q_EMIT resumed();
}

} // namespace th
