#include "platform_gui/QtSoundPlayer.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace th {

QtSoundPlayer::QtSoundPlayer(const QString &defaultSoundPath, QObject *parent)
    : QObject(parent)
    , m_defaultSoundPath(defaultSoundPath)
{
}

QtSoundPlayer::~QtSoundPlayer() = default;

void QtSoundPlayer::play(const QString &wavPath)
{
    const QFileInfo info(wavPath);
    if (!info.isFile() || !info.isReadable()) {
        start(m_defaultSoundPath);
        m_playingDefault = true;
        return;
    }
    m_playingDefault = false;
    start(wavPath);
}

void QtSoundPlayer::stop()
{
    if (m_effect)
        m_effect->stop();
}

void QtSoundPlayer::start(const QString &path)
{
    // A new sound replaces the playing one: the old effect is dropped whole.
    if (m_effect) {
        m_effect->stop();
        m_effect->deleteLater();
    }
    m_effect = new QSoundEffect(this);
    connect(m_effect, &QSoundEffect::statusChanged, this, [this, effect = m_effect] {
        if (effect != m_effect)
            return;
        if (effect->status() == QSoundEffect::Ready)
            effect->play();
        else if (effect->status() == QSoundEffect::Error && !m_playingDefault) {
            m_playingDefault = true;
            start(m_defaultSoundPath);
        }
    });
    m_effect->setSource(QUrl::fromLocalFile(path));
}

} // namespace th
