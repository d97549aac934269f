#include "exchange/ExchangeLog.h"

namespace th {

Q_LOGGING_CATEGORY(lcExchange, "tallyhawk.exchange")

} // namespace th
