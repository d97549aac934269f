#pragma once

#include <array>

#include <QString>
#include <QStringList>

#include "common/HostPort.h"

namespace th {

// One daytime server: where to connect and the location label the user chooses by.
struct TimeServer {
    HostPort address;
    QString location;
};

// The twelve public time servers, in their fixed order. Each host comes from the
// configuration (`[TimeServers] Server0` … `Server11`, "host[:port]", port 13 when
// omitted); a missing or invalid value means the built-in public server of that place.
class TimeServerTable final {
public:
    static constexpr int kCount = 12;

    // `configured[i]` is the configured value of entry i ("" or absent when not set).
    explicit TimeServerTable(const QStringList &configured = {});

    int size() const { return kCount; }
    // `index` in 0..11.
    const TimeServer &at(int index) const;
    QString hostName(int index) const { return at(index).address.host; }
    QString location(int index) const { return at(index).location; }

    // The configuration key of entry `index`: "Server0" … "Server11".
    static QString configKey(int index);
    // The built-in host of entry `index`.
    static QString defaultHost(int index);

private:
    std::array<TimeServer, kCount> m_servers;
};

} // namespace th
