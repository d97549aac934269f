#include "alerts/AlertsLog.h"

namespace th {

Q_LOGGING_CATEGORY(lcAlerts, "tallyhawk.alerts")

} // namespace th
