#pragma once

#include <QString>

namespace th {

class ISoundPlayer;

// Every sound of the program goes through here: it starts at once and replaces a sound that
// is playing. A file that cannot be found plays the default sound instead (one that cannot
// be decoded is replaced by the player itself).
void PlaySoundFile(ISoundPlayer &player, const QString &path, const QString &defaultSoundPath);

} // namespace th
