#pragma once

#include <memory>

#include "platform/IBrowserFactory.h"

namespace th {

// The browser of the bid windows: top-level web views driven through their forms. The web
// engine starts with the first session, not before. Only this library sees the web engine;
// everything else knows the browser through the session interface.
std::unique_ptr<IBrowserFactory> makeBrowserFactory();

} // namespace th
