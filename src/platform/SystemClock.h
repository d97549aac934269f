#pragma once

#include "platform/IClock.h"

namespace th {

// The PC's own clock.
class SystemClock final : public IClock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

} // namespace th
