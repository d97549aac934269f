#pragma once

#include <memory>

#include <QString>

class QDateTime;
class QObject;

namespace th {

class IPrompter;
class RegistryStore;
class UserNotifier;

// Opens the store of `dataFolder`. When it cannot be opened the user is told why, with the
// copy of the store that could replace it and the command that does it, and nothing is
// returned: the store is left as it is.
std::unique_ptr<RegistryStore> openStoreOrTell(const QString &dataFolder, IPrompter &prompter);

// The first start of a day keeps a copy of the store as it is. Without it the program runs
// on; the user learns, beside the tray icon once the program is up, that the watch list has
// no fresh copy.
void takeDailyCopy(RegistryStore &store, const QDateTime &now, UserNotifier &notifier);

} // namespace th
