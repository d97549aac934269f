#pragma once

#include "platform/IConnectionState.h"

namespace th {

// Reads the flags from the network interfaces and the proxy settings.
class NetworkConnectionState final : public IConnectionState {
public:
    quint32 flags() const override;
};

} // namespace th
