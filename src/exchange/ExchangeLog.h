#pragma once

#include <QLoggingCategory>

namespace th {

// Log of the registry-script backups: export and import.
Q_DECLARE_LOGGING_CATEGORY(lcExchange)

} // namespace th
