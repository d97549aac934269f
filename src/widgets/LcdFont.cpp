#include "widgets/LcdFont.h"

#include <QFontDatabase>
#include <QStringList>

#include "platform/AppPaths.h"

namespace th {

namespace {
int g_fontId = -1;
QString g_family;
} // namespace

QString LcdFont::LoadLcdFont(const QString &resourceFolder)
{
    if (g_fontId >= 0)
        return g_family;
    const int id
        = QFontDatabase::addApplicationFont(AppPaths::join(resourceFolder, QStringLiteral("LCDfont.ttf")));
    if (id < 0)
        return {};
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    g_fontId = id;
    g_family = families.isEmpty() ? QString() : families.first();
    return g_family;
}

void LcdFont::UnloadLcdFont()
{
    if (g_fontId < 0)
        return;
    QFontDatabase::removeApplicationFont(g_fontId);
    g_fontId = -1;
    g_family.clear();
}

bool LcdFont::isLoaded()
{
    return g_fontId >= 0;
}

} // namespace th
