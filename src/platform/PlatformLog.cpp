#include "platform/PlatformLog.h"

namespace th {

Q_LOGGING_CATEGORY(lcPlatform, "tallyhawk.platform")

} // namespace th
