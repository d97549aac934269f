#pragma once

#include <QString>

namespace th {

// The digit font of the countdown clock, registered with the program for as long as a
// window needs it.
class LcdFont final {
public:
    // Registers "LCDfont.ttf" of the resource folder; the family it provides, or an empty
    // text when the file cannot be read (the window then falls back to its own font).
    static QString LoadLcdFont(const QString &resourceFolder);
    // Unregisters it again.
    static void UnloadLcdFont();
    static bool isLoaded();
};

} // namespace th
