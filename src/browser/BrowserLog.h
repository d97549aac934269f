#pragma once

#include <QByteArray>
#include <QLoggingCategory>

namespace th {

// Log of the browser window that places automatic bids.
Q_DECLARE_LOGGING_CATEGORY(lcBrowser)

// Set to 1, it lets the web engine write its own log to the terminal again: its start-up
// report (graphics, parameters) and the engine's messages.
inline constexpr char kWebEngineLogVariable[] = "TALLYHAWK_WEBENGINE_LOG";

// The engine's command-line flags with its log held to fatal errors, unless `engineLogWanted`
// or the flags name a log level of their own.
QByteArray quietWebEngineFlags(const QByteArray &flags, bool engineLogWanted);

// Quiets the web engine's log for the run unless the variable above asks for it; called
// before the engine starts (the flags are read once, at its start). A logging rule of the
// environment (QT_LOGGING_RULES) still turns the start-up report back on.
void quietWebEngineLog();

} // namespace th
