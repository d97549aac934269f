#pragma once

#include <array>

#include <QString>

#include "common/HostPort.h"

namespace th {

// The servers the program talks to, from the [Hosts] and [TimeServers] sections of
// `config.ini`. Each value is "host[:port]" (port 80 for [Hosts], 13 for [TimeServers] when
// omitted); a missing key, or a value that is not a valid host[:port], means the real public
// server.
class HostConfig final {
public:
    enum class Host {
        ItemPage, // the engines, the single-item fetch, the item and sign-in pages of a bid
        Main, // the Host and Referer headers, written exactly as configured
        BidHistory,
        Search,
        CompletedSearch,
        SellerListing,
        Google,
        Hotmail,
        YahooMail,
        Paypal,
    };
    static constexpr int kHostCount = 10;
    static constexpr int kTimeServerCount = 12;
    static constexpr quint16 kHttpPort = 80;
    static constexpr quint16 kDaytimePort = 13;

    // Every server at its public default.
    HostConfig();
    // Reads `config.ini` at `iniPath` once; a missing file gives the defaults.
    static HostConfig load(const QString &iniPath);

    HostPort host(Host which) const;
    // Server0 .. Server11, in the order of the time-server table; index 0..11.
    HostPort timeServer(int index) const;

    // The key of a host in [Hosts] ("ItemPage", "Main", ...).
    static QString keyName(Host which);
    static HostPort defaultHost(Host which);
    static HostPort defaultTimeServer(int index);

private:
    std::array<HostPort, kHostCount> m_hosts;
    std::array<HostPort, kTimeServerCount> m_timeServers;
};

} // namespace th
