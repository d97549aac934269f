#include "watchlist/WatchListLog.h"

namespace th {

Q_LOGGING_CATEGORY(lcWatchList, "tallyhawk.watchlist")

} // namespace th
