#pragma once

#include <QLoggingCategory>

namespace th {

// Log of the clock subsystem: time-server queries and clock corrections.
Q_DECLARE_LOGGING_CATEGORY(lcClock)

} // namespace th
