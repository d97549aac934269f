#pragma once

#include <QDateTime>

namespace th {

// Where every "now" of the program comes from, so that tests can set and advance time.
class IClock {
public:
    virtual ~IClock() = default;
    // The current local date-time.
    virtual QDateTime now() const = 0;
};

} // namespace th
