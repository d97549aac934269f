#pragma once

#include <QtGlobal>

namespace th {

// The flags of the connection-state test, with the values the program has always used.
namespace ConnectionFlag {
inline constexpr quint32 Modem = 0x01;
inline constexpr quint32 Lan = 0x02;
inline constexpr quint32 Proxy = 0x04;
inline constexpr quint32 Ras = 0x10;
inline constexpr quint32 Offline = 0x20;
inline constexpr quint32 Configured = 0x40;
} // namespace ConnectionFlag

class IConnectionState {
public:
    virtual ~IConnectionState() = default;
    virtual quint32 flags() const = 0;
    // Connected means a LAN or modem connection is up.
    bool isConnected() const { return (flags() & (ConnectionFlag::Lan | ConnectionFlag::Modem)) != 0; }
};

} // namespace th
