#pragma once

#include <QString>

namespace th {

// Opens an address or a file with the desktop's "open" action (the web browser for an
// address). Returns false when the desktop refused.
class IShell {
public:
    virtual ~IShell() = default;
    virtual bool open(const QString &addressOrFile) = 0;
};

} // namespace th
