#include "clock/TimeServerTable.h"

namespace th {

namespace {

constexpr quint16 kDaytimePort = 13;

// Public servers that answer the daytime service today. The labels keep the places the
// user has always chosen from; where the original operator no longer runs a daytime
// service, a server of the national time service stands in for it.
constexpr const char *kDefaultHosts[TimeServerTable::kCount] = {
    "time-a-g.nist.gov",
    "time-b-g.nist.gov",
    "time-a-b.nist.gov",
    "time-b-b.nist.gov",
    "time-c-b.nist.gov",
    "utcnist.colorado.edu",
    "utcnist2.colorado.edu",
    "time-a-wwv.nist.gov",
    "time-b-wwv.nist.gov",
    "time-c-g.nist.gov",
    "time-d-g.nist.gov",
    "time.nist.gov",
};

constexpr const char *kLocations[TimeServerTable::kCount] = {
    "NIST, Gaithersburg, Maryland",
    "NIST, Gaithersburg, Maryland",
    "NIST, Boulder, Colorado",
    "NIST, Boulder, Colorado",
    "NIST, Boulder, Colorado",
    "University of Colorado, Boulder",
    "NCAR, Boulder, Colorado",
    "Microsoft, Redmond, Washington",
    "Datum, San Jose, California",
    "Abovnet, Virginia",
    "Abovnet, New York City",
    "Abovenet, San Jose, California",
};

} // namespace

TimeServerTable::TimeServerTable(const QStringList &configured)
{
    for (int i = 0; i < kCount; ++i) {
        const QString value = i < configured.size() ? configured.at(i) : QString();
        std::optional<HostPort> address = parseHostPort(value, kDaytimePort);
        if (!address)
            address = parseHostPort(defaultHost(i), kDaytimePort);
        Q_ASSERT(address);
        m_servers[i] = TimeServer { *address, QString::fromLatin1(kLocations[i]) };
    }
}

const TimeServer &TimeServerTable::at(int index) const
{
    Q_ASSERT(index >= 0 && index < kCount);
    return m_servers[std::size_t(index)];
}

QString TimeServerTable::configKey(int index)
{
    return QStringLiteral("Server%1").arg(index);
}

QString TimeServerTable::defaultHost(int index)
{
    Q_ASSERT(index >= 0 && index < kCount);
    return QString::fromLatin1(kDefaultHosts[index]);
}

} // namespace th
