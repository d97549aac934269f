#pragma once

#include <functional>

#include "common/Result.h"

namespace th {

// Moves the PC's clock. The request may need the user's authorisation and so finishes
// later; `done` is called on the GUI thread with the outcome, which is never pretended.
class IClockSetter {
public:
    // The error code of a refusal because the system keeps its clock itself (network time
    // synchronisation is on); its message says exactly that.
    static constexpr int kKeptByNetworkTime = 3;

    virtual ~IClockSetter() = default;
    // Moves the whole date-time by `offsetMsecs` (positive: forward). Only a request the
    // user has just asked for is `interactive`: it may make the desktop ask for the user's
    // authorisation. Automatic corrections never do; without a standing authorisation
    // they fail instead.
    virtual void adjustBy(qint64 offsetMsecs, bool interactive, std::function<void(Result<void>)> done) = 0;
};

} // namespace th
