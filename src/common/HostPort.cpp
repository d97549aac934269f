#include "common/HostPort.h"

namespace th {

namespace {

bool isHostChar(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-'
        || c == u'.' || c == u'_';
}

} // namespace

std::optional<HostPort> parseHostPort(QStringView value, quint16 defaultPort)
{
    const QStringView text = value.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    QStringView host = text;
    quint16 port = defaultPort;
    const qsizetype colon = text.lastIndexOf(u':');
    if (colon >= 0) {
        host = text.left(colon);
        const QStringView portText = text.mid(colon + 1);
        bool ok = false;
        const uint parsed = portText.toUInt(&ok);
        if (!ok || parsed == 0 || parsed > 65535 || portText.startsWith(u'+'))
            return std::nullopt;
        port = quint16(parsed);
    }
    if (host.isEmpty() || host.startsWith(u'.') || host.startsWith(u'-'))
        return std::nullopt;
    for (const QChar c : host) {
        if (!isHostChar(c))
            return std::nullopt;
    }
    return HostPort { host.toString(), port, text.toString() };
}

} // namespace th
