#pragma once

#include <memory>

#include "platform/IBrowserSession.h"

namespace th {

// Makes browser sessions. No browser machinery runs before the first session is made.
class IBrowserFactory {
public:
    virtual ~IBrowserFactory() = default;
    virtual std::unique_ptr<IBrowserSession> createSession() = 0;
};

} // namespace th
