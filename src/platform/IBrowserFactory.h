#pragma once

#include <memory>

#include "platform/IBrowserSession.h"

namespace th {

// Makes browser sessions. No browser machinery runs before the first session is made or
// the first warm-up is asked for.
class IBrowserFactory {
public:
    virtual ~IBrowserFactory() = default;
    virtual std::unique_ptr<IBrowserSession> createSession() = 0;
    // Starts the browser machinery ahead of a bid and keeps one hidden page in the profile the
    // bid windows share, so that the next window opens without waiting for the start. Every
    // call returns the same page, owned by the factory; null when no browser can run. The page
    // is never shown, and nothing is sent from it.
    virtual IBrowserSession *warmUp() = 0;
};

} // namespace th
