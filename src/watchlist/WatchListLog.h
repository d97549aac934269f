#pragma once

#include <QLoggingCategory>

namespace th {

// Log of the watch list: its items and what is done to them.
Q_DECLARE_LOGGING_CATEGORY(lcWatchList)

} // namespace th
