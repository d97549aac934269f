#pragma once

#include "platform/IShell.h"

namespace th {

// Opens addresses and files with the desktop's handlers.
class DesktopShell final : public IShell {
public:
    bool open(const QString &addressOrFile) override;
};

} // namespace th
