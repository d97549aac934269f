#include "alerts/PlaySoundFile.h"

#include <QFileInfo>

#include "platform/ISoundPlayer.h"

namespace th {

void PlaySoundFile(ISoundPlayer &player, const QString &path, const QString &defaultSoundPath)
{
    const QFileInfo file(path);
    player.play(file.isFile() && file.isReadable() ? path : defaultSoundPath);
}

} // namespace th
