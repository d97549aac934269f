#include "browser/BrowserLog.h"

namespace th {

Q_LOGGING_CATEGORY(lcBrowser, "tallyhawk.browser")

} // namespace th
