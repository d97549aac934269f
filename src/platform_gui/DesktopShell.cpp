#include "platform_gui/DesktopShell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace th {

bool DesktopShell::open(const QString &addressOrFile)
{
    const QUrl url = QFileInfo::exists(addressOrFile) ? QUrl::fromLocalFile(addressOrFile)
                                                      : QUrl::fromUserInput(addressOrFile);
    if (!url.isValid())
        return false;
    return QDesktopServices::openUrl(url);
}

} // namespace th
