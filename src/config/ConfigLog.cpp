#include "config/ConfigLog.h"

namespace th {

Q_LOGGING_CATEGORY(lcConfig, "tallyhawk.config")

} // namespace th
