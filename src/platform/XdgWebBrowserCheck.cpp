#include "platform/XdgWebBrowserCheck.h"

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace th {

namespace {

constexpr int kQueryMsecs = 3000;

// A program of $BROWSER (a list separated by colons, each entry possibly with "%s") or the
// system's x-www-browser that can be found: the opener uses them when no handler is set.
bool fallbackBrowserFound()
{
    QStringList candidates = qEnvironmentVariable("BROWSER").split(u':', Qt::SkipEmptyParts);
    candidates.append(QStringLiteral("x-www-browser"));
    for (const QString &candidate : candidates) {
        const QString program = candidate.trimmed().section(u' ', 0, 0);
        if (!program.isEmpty() && !QStandardPaths::findExecutable(program).isEmpty())
            return true;
    }
    return false;
}

} // namespace

IWebBrowserCheck::Answer XdgWebBrowserCheck::httpHandler()
{
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
        { QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("x-scheme-handler/http") });
    if (!query.waitForStarted(kQueryMsecs))
        return fallbackBrowserFound() ? Answer::Present : Answer::Unknown;
    if (!query.waitForFinished(kQueryMsecs)) {
        query.kill();
        query.waitForFinished(kQueryMsecs);
        return Answer::Unknown;
    }
    if (query.exitStatus() == QProcess::NormalExit && !query.readAllStandardOutput().trimmed().isEmpty())
        return Answer::Present;
    return fallbackBrowserFound() ? Answer::Present : Answer::Missing;
}

} // namespace th
