#include "config/UserConfig.h"

#include <QDir>

#include "common/AtomicFile.h"
#include "config/IniDocument.h"
#include "config/cIniFile.h"

namespace th::UserConfig {

namespace {

QString widthKey(int column)
{
    return QStringLiteral("Width%1").arg(column);
}

// A file that cannot be read is never replaced: the entries the program cannot see would be
// lost.
Error unreadable(const QString &configPath)
{
    return makeError(kFileWriteFailed,
        QStringLiteral("Cannot write %1: it cannot be read").arg(QDir::toNativeSeparators(configPath)));
}

} // namespace

bool liveTimeLeft(const QString &configPath)
{
    cIniFile ini;
    ini.Path = configPath;
    ini.Section = QStringLiteral("User");
    ini.Key = QStringLiteral("LiveTimeLeft");
    ini.Default = QStringLiteral("0");
    return ini.Value().trimmed() == u"1";
}

Result<void> setLiveTimeLeft(const QString &configPath, bool on)
{
    std::optional<IniDocument> document = IniDocument::load(configPath);
    if (!document)
        return unreadable(configPath);
    document->setValue(QStringLiteral("User"), QStringLiteral("LiveTimeLeft"),
        on ? QStringLiteral("1") : QStringLiteral("0"));
    return document->save(configPath);
}

QList<int> columnWidths(const QString &configPath)
{
    QList<int> widths(kColumnCount, -1);
    const std::optional<IniDocument> document = IniDocument::load(configPath);
    if (!document)
        return widths;
    for (int i = 0; i < kColumnCount; ++i) {
        const std::optional<QString> text = document->value(u"Columns", widthKey(i));
        bool ok = false;
        const int width = text ? text->trimmed().toInt(&ok) : -1;
        if (ok && width >= 0)
            widths[i] = width;
    }
    return widths;
}

Result<void> setColumnWidths(const QString &configPath, const QList<int> &widths)
{
    // One read and one write for all of them: the file is replaced in one step.
    std::optional<IniDocument> document = IniDocument::load(configPath);
    if (!document)
        return unreadable(configPath);
    for (int i = 0; i < widths.size(); ++i)
        document->setValue(QStringLiteral("Columns"), widthKey(i), QString::number(widths[i]));
    return document->save(configPath);
}

} // namespace th::UserConfig
