#pragma once

#include <optional>

#include <QString>
#include <QStringView>

namespace th {

// A configured server address: "host" or "host:port".
struct HostPort {
    QString host;
    quint16 port = 0;
    // The value exactly as configured, for the places that must repeat it verbatim
    // (the Host and Referer headers).
    QString text;

    bool operator==(const HostPort &) const = default;
};

// Reads "host[:port]"; the port is `defaultPort` when omitted. A value that is not a valid
// host name or address, or whose port is not 1..65535, gives nothing (the caller falls
// back to its default).
std::optional<HostPort> parseHostPort(QStringView value, quint16 defaultPort);

} // namespace th
