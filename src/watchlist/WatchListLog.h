#pragma once

#include <QLoggingCategory>

namespace th {

// Log of the watch list and the store that keeps it.
Q_DECLARE_LOGGING_CATEGORY(lcWatchList)

} // namespace th
