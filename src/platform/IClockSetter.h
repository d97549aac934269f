#pragma once

#include <functional>

#include "common/Result.h"

namespace th {

// Moves the PC's clock. The request may need the user's authorisation and so finishes
// later; `done` is called on the GUI thread with the outcome, which is never pretended.
class IClockSetter {
public:
    virtual ~IClockSetter() = default;
    // Moves the whole date-time by `offsetMsecs` (positive: forward).
    virtual void adjustBy(qint64 offsetMsecs, std::function<void(Result<void>)> done) = 0;
};

} // namespace th
