#pragma once

#include <QLoggingCategory>

namespace th {

// Log of the browser window that places automatic bids.
Q_DECLARE_LOGGING_CATEGORY(lcBrowser)

} // namespace th
