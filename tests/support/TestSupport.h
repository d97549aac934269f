#pragma once

#include <QString>

namespace th::test {

// The folder of the test data files kept in the repository.
inline QString testDataFolder()
{
#ifdef TALLYHAWK_TEST_DATA
    return QStringLiteral(TALLYHAWK_TEST_DATA);
#else
    return {};
#endif
}

// The resource folder of the build tree (sounds, font, images).
inline QString resourceFolder()
{
#ifdef TALLYHAWK_RESOURCE_DIR
    return QStringLiteral(TALLYHAWK_RESOURCE_DIR);
#else
    return {};
#endif
}

// Sets the process's time zone for the rest of the test (TZ and the C library's view).
void setTimeZone(const char *ianaId);

} // namespace th::test
