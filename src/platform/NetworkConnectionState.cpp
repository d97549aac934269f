#include "platform/NetworkConnectionState.h"

#include <QNetworkInterface>
#include <QNetworkProxyFactory>
#include <QProcessEnvironment>
#include <QUrl>

namespace th {

quint32 NetworkConnectionState::flags() const
{
    quint32 result = 0;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &iface : interfaces) {
        if (iface.type() == QNetworkInterface::Loopback)
            continue;
        result |= ConnectionFlag::Configured;
        const bool up = iface.flags().testFlag(QNetworkInterface::IsUp)
            && iface.flags().testFlag(QNetworkInterface::IsRunning);
        if (!up)
            continue;
        if (iface.type() == QNetworkInterface::Ppp) {
            result |= ConnectionFlag::Modem;
        } else if (!iface.addressEntries().isEmpty()) {
            result |= ConnectionFlag::Lan;
        }
    }
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    bool proxy = !env.value(QStringLiteral("http_proxy")).isEmpty()
        || !env.value(QStringLiteral("HTTP_PROXY")).isEmpty();
    if (!proxy) {
        const auto proxies = QNetworkProxyFactory::systemProxyForQuery(
            QNetworkProxyQuery(QUrl(QStringLiteral("http://example.invalid/"))));
        for (const QNetworkProxy &p : proxies) {
            if (p.type() != QNetworkProxy::NoProxy && p.type() != QNetworkProxy::DefaultProxy)
                proxy = true;
        }
    }
    if (proxy)
        result |= ConnectionFlag::Proxy;
    return result;
}

} // namespace th
