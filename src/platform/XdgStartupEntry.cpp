#include "platform/XdgStartupEntry.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "common/AtomicFile.h"

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
    // An entry holds one command line: a line break (or another control character) in the
    // program's path or its data folder's would cut the Exec= line, and the desktop refuses
    // such an entry.
    if (std::any_of(
            command.cbegin(), command.cend(), [](QChar c) { return c.category() == QChar::Other_Control; }))
        return makeError(4,
            QStringLiteral("The command %1 holds a line break or another control character, which a "
                           "start-up entry cannot hold. Move the program or its data folder to a path "
                           "without one.")
                .arg(command.simplified()));
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return makeError(2, QStringLiteral("Cannot create the folder of %1").arg(path));
    const QString entry = QStringLiteral("[Desktop Entry]\nType=Application\nName=Tallyhawk\n"
                                         "Exec=%1\nIcon=tallyhawk\nX-GNOME-Autostart-enabled=true\n")
                              .arg(command);
    return writeFileAtomically(path, entry.toUtf8());
}

} // namespace th
