#include "platform/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace th::AppPaths {

QString dataFolder()
{
    const QString home = qEnvironmentVariable("TALLYHAWK_HOME");
    if (!home.isEmpty())
        return QDir::cleanPath(QFileInfo(home).absoluteFilePath());
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

Result<QString> ensureDataFolder()
{
    const QString folder = dataFolder();
    if (folder.isEmpty())
        return makeError(1, QStringLiteral("No data folder is available"));
    if (!QDir().mkpath(folder + u"/IntelliSense"))
        return makeError(2, QStringLiteral("Cannot create the data folder %1").arg(folder));
    return folder;
}

QString resourceFolder()
{
    const QString override = qEnvironmentVariable("TALLYHAWK_RESOURCES");
    if (!override.isEmpty())
        return QDir::cleanPath(override);
    const QString appDir = QCoreApplication::applicationDirPath();
    if (QFileInfo::exists(appDir + u"/default.wav"))
        return appDir;
    return QDir::cleanPath(appDir + u"/../share/tallyhawk");
}

QString join(const QString &folder, const QString &fileName)
{
    QString path = folder + u'/' + fileName;
    while (path.contains(u"//"))
        path.replace(QStringLiteral("//"), QStringLiteral("/"));
    return path;
}

} // namespace th::AppPaths
