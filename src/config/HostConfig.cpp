#include "config/HostConfig.h"

#include "config/IniDocument.h"

namespace th {

namespace {

struct HostEntry {
    const char16_t *key;
    const char16_t *host;
};

// The auction site's own servers and the public pages the shortcuts open.
constexpr HostEntry kHostDefaults[HostConfig::kHostCount] = {
    { u"ItemPage", u"cgi.ebay.com" },
    { u"Main", u"www.ebay.com" },
    { u"BidHistory", u"offer.ebay.com" },
    { u"Search", u"search.ebay.com" },
    { u"CompletedSearch", u"search-completed.ebay.com" },
    { u"SellerListing", u"cgi6.ebay.com" },
    { u"Google", u"www.google.com" },
    { u"Hotmail", u"www.hotmail.com" },
    { u"YahooMail", u"mail.yahoo.com" },
    { u"Paypal", u"www.paypal.com" },
};

// Public servers that still answer the daytime protocol on port 13, in the order of the
// time-server table's locations.
constexpr const char16_t *kTimeServerDefaults[HostConfig::kTimeServerCount] = {
    u"time-a-g.nist.gov",
    u"time-b-g.nist.gov",
    u"time-a-b.nist.gov",
    u"time-b-b.nist.gov",
    u"time-c-b.nist.gov",
    u"utcnist.colorado.edu",
    u"utcnist2.colorado.edu",
    u"time-a-wwv.nist.gov",
    u"time-b-wwv.nist.gov",
    u"time-c-g.nist.gov",
    u"time-d-g.nist.gov",
    u"time.nist.gov",
};

HostPort plainHost(const char16_t *host, quint16 port)
{
    const QString name = QString::fromUtf16(host);
    return HostPort { name, port, name };
}

HostPort configured(const std::optional<IniDocument> &ini, QStringView section, const QString &key,
    quint16 defaultPort, const HostPort &fallback)
{
    const std::optional<QString> text = ini ? ini->value(section, key) : std::nullopt;
    if (!text)
        return fallback;
    return parseHostPort(*text, defaultPort).value_or(fallback);
}

} // namespace

HostConfig::HostConfig()
{
    for (int i = 0; i < kHostCount; ++i)
        m_hosts[i] = defaultHost(Host(i));
    for (int i = 0; i < kTimeServerCount; ++i)
        m_timeServers[i] = defaultTimeServer(i);
}

HostConfig HostConfig::load(const QString &iniPath)
{
    HostConfig config;
    const std::optional<IniDocument> ini = IniDocument::load(iniPath);
    for (int i = 0; i < kHostCount; ++i)
        config.m_hosts[i] = configured(ini, u"Hosts", keyName(Host(i)), kHttpPort, config.m_hosts[i]);
    for (int i = 0; i < kTimeServerCount; ++i)
        config.m_timeServers[i] = configured(
            ini, u"TimeServers", QStringLiteral("Server%1").arg(i), kDaytimePort, config.m_timeServers[i]);
    return config;
}

HostPort HostConfig::host(Host which) const
{
    return m_hosts[int(which)];
}

HostPort HostConfig::timeServer(int index) const
{
    Q_ASSERT(index >= 0 && index < kTimeServerCount);
    return m_timeServers[qBound(0, index, kTimeServerCount - 1)];
}

QString HostConfig::keyName(Host which)
{
    return QString::fromUtf16(kHostDefaults[int(which)].key);
}

HostPort HostConfig::defaultHost(Host which)
{
    return plainHost(kHostDefaults[int(which)].host, kHttpPort);
}

HostPort HostConfig::defaultTimeServer(int index)
{
    return plainHost(kTimeServerDefaults[qBound(0, index, kTimeServerCount - 1)], kDaytimePort);
}

} // namespace th
