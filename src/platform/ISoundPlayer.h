#pragma once

#include <QString>

namespace th {

// Plays wave files without waiting: a new sound replaces the one playing. A file that
// cannot be found or played plays the default sound instead. Never shows anything.
class ISoundPlayer {
public:
    virtual ~ISoundPlayer() = default;
    virtual void play(const QString &wavPath) = 0;
    virtual void stop() = 0;
};

} // namespace th
