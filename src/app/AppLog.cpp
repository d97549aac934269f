#include "app/AppLog.h"

namespace th {

Q_LOGGING_CATEGORY(lcApp, "tallyhawk.app")

} // namespace th
