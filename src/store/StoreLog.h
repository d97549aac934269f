#pragma once

#include <QLoggingCategory>

namespace th {

// Log of the store: opening it, failed writes and its rolling backups.
Q_DECLARE_LOGGING_CATEGORY(lcStore)

} // namespace th
