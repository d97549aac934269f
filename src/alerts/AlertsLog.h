#pragma once

#include <QLoggingCategory>

namespace th {

// Log of the ending alerts and their sounds.
Q_DECLARE_LOGGING_CATEGORY(lcAlerts)

} // namespace th
