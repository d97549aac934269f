#pragma once

#include <QLoggingCategory>

namespace th {

// Log of the platform services: the single running instance and its show requests.
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)

} // namespace th
