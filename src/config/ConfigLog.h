#pragma once

#include <QLoggingCategory>

namespace th {

// Log of the configuration: the files beside the program, the settings and window places.
Q_DECLARE_LOGGING_CATEGORY(lcConfig)

} // namespace th
