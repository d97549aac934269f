#include "autobid/AutoBidLog.h"

namespace th {

Q_LOGGING_CATEGORY(lcAutoBid, "tallyhawk.autobid")

} // namespace th
