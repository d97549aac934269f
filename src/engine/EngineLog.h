#pragma once

#include <QLoggingCategory>

namespace th {

// Log of the update engines: item page requests and applying their data.
Q_DECLARE_LOGGING_CATEGORY(lcEngine)

} // namespace th
