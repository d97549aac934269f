#pragma once

#include <QIcon>

namespace th {

// The small images of the watch list (index 1 Blank, 2 Up, 3 Lightning, 4 Hammer,
// 5 HammerFail, 6 HammerWin) and of the engine lights (6 idle, 8 busy), drawn by us.
QIcon rowIcon(int index);
QPixmap engineLight(int index);

inline constexpr int kLightIdle = 6;
inline constexpr int kLightBusy = 8;

// Screen twips: 15 to the pixel.
inline constexpr int twipsToPixels(int twips)
{
    return (twips + 7) / 15;
}

} // namespace th
