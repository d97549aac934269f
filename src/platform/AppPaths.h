#pragma once

#include <QString>

#include "common/Result.h"

namespace th::AppPaths {

// The writable data folder: $TALLYHAWK_HOME when set, otherwise the per-user application
// data location. Holds the store, config.ini and the search history.
QString dataFolder();

// Creates the data folder and its IntelliSense folder if missing (as an installer would).
Result<QString> ensureDataFolder();

// The read-only resource folder: beside the executable in the build tree, the installed
// share folder otherwise. Holds the sounds, the digit font and the images.
QString resourceFolder();

// The file name joined to the folder, with a doubled separator reduced to one.
QString join(const QString &folder, const QString &fileName);

} // namespace th::AppPaths
