#pragma once

#include "platform/IWebBrowserCheck.h"

namespace th {

// The freedesktop way: the default handler of x-scheme-handler/http (`xdg-mime query
// default`), then the browsers the desktop's opener falls back on ($BROWSER, x-www-browser).
class XdgWebBrowserCheck final : public IWebBrowserCheck {
public:
    Answer httpHandler() override;
};

} // namespace th
