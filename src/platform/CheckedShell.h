#pragma once

#include <functional>
#include <memory>

#include "platform/IShell.h"

namespace th {

class IPrompter;
class IWebBrowserCheck;

// The desktop's "open" action with a check: a web address that no browser can open is not
// handed to the desktop (which would report success and do nothing); the user is told
// which address it was and may copy it. Files and other addresses go through unchanged.
class CheckedShell final : public IShell {
public:
    CheckedShell(std::unique_ptr<IShell> desktop, std::unique_ptr<IWebBrowserCheck> browserCheck,
        IPrompter &prompter, std::function<void(const QString &)> copyToClipboard);
    ~CheckedShell() override;

    bool open(const QString &addressOrFile) override;

    // The message shown for an address that cannot be opened.
    static QString unopenedMessage(const QString &address);

private:
    void reportUnopened(const QString &address);

    std::unique_ptr<IShell> m_desktop;
    std::unique_ptr<IWebBrowserCheck> m_browserCheck;
    IPrompter &m_prompter;
    std::function<void(const QString &)> m_copyToClipboard;
};

} // namespace th
