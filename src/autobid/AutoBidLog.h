#pragma once

#include <QLoggingCategory>

namespace th {

// Log of automatic bids and of keeping the computer awake for them.
Q_DECLARE_LOGGING_CATEGORY(lcAutoBid)

} // namespace th
