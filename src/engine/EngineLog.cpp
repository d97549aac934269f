#include "engine/EngineLog.h"

namespace th {

Q_LOGGING_CATEGORY(lcEngine, "tallyhawk.engine")

} // namespace th
