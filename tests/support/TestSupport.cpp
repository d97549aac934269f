#include "TestSupport.h"

#include <ctime>

#include <QtGlobal>

namespace th::test {

void setTimeZone(const char *ianaId)
{
    qputenv("TZ", ianaId);
    tzset();
}

} // namespace th::test
