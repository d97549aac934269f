#pragma once

#include <QString>

#include "common/Result.h"

namespace th {

// Starting the program with the desktop session.
class IStartupEntry {
public:
    virtual ~IStartupEntry() = default;
    virtual bool isEnabled() const = 0;
    // `command` is the full command line to start with.
    virtual Result<void> setEnabled(bool enabled, const QString &command) = 0;
};

} // namespace th
