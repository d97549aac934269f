#include "platform/IStartupEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace th {

QString XdgStartupEntry::entryPath()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + u"/.config";
    return config + u"/autostart/tallyhawk.desktop";
}

bool XdgStartupEntry::isEnabled() const
{
    return QFileInfo::exists(entryPath());
}

Result<void> XdgStartupEntry::setEnabled(bool enabled, const QString &command)
{
    const QString path = entryPath();
    if (!enabled) {
        if (QFileInfo::exists(path) && !QFile::remove(path))
            return makeError(1, QStringLiteral("Cannot remove %1").arg(path));
        return {};
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return makeError(2, QStringLiteral("Cannot create the folder of %1").arg(path));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return makeError(3, QStringLiteral("Cannot write %1").arg(path));
    const QString entry = QStringLiteral("[Desktop Entry]\nType=Application\nName=Tallyhawk\n"
                                         "Exec=%1\nIcon=tallyhawk\nX-GNOME-Autostart-enabled=true\n")
                              .arg(command);
    file.write(entry.toUtf8());
    if (!file.commit())
        return makeError(3, QStringLiteral("Cannot write %1").arg(path));
    return {};
}

} // namespace th
