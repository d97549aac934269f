#pragma once

#include <QObject>
#include <QString>

#include "platform/ISoundPlayer.h"

class QSoundEffect;

namespace th {

// Plays wave files with QSoundEffect. A file that is missing, or that the sound system
// reports it cannot play, is replaced by the default sound.
class QtSoundPlayer final : public QObject, public ISoundPlayer {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QtSoundPlayer)

public:
    explicit QtSoundPlayer(const QString &defaultSoundPath, QObject *parent = nullptr);
    ~QtSoundPlayer() override;

    void play(const QString &wavPath) override;
    void stop() override;

private:
    void start(const QString &path);

    QString m_defaultSoundPath;
    QSoundEffect *m_effect = nullptr;
    bool m_playingDefault = false;
};

} // namespace th
