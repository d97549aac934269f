#pragma once

#include <QString>

namespace th {

struct AppParts;

// Builds the commands over the main window and the tray menu from the parts start-up has
// made (store, engine, windows, notifier), each class wiring its own controls.
void buildCommands(AppParts &parts, const QString &dataFolder, const QString &resourceFolder);

} // namespace th
