#pragma once

#include <QString>

#include "platform/IStartupEntry.h"

namespace th {

// An XDG autostart entry: $XDG_CONFIG_HOME/autostart/tallyhawk.desktop.
class XdgStartupEntry final : public IStartupEntry {
public:
    bool isEnabled() const override;
    Result<void> setEnabled(bool enabled, const QString &command) override;
    static QString entryPath();
};

} // namespace th
