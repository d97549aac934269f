#include "store/StoreLog.h"

namespace th {

Q_LOGGING_CATEGORY(lcStore, "tallyhawk.store")

} // namespace th
