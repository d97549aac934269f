#pragma once

#include <QLoggingCategory>

namespace th {

// Log of the application shell: start-up, daily copies and what the user is told.
Q_DECLARE_LOGGING_CATEGORY(lcApp)

} // namespace th
