#pragma once

#include <QJsonDocument>
#include <QProcess>
#include <QString>
#include <QTest>

namespace th::test {

// The readers in this folder: a real iCalendar library and Python's csv module, each
// printing what it read as JSON.
inline QString readerScript(const char *name)
{
    return QStringLiteral(TALLYHAWK_READERS_DIR "/") + QLatin1String(name);
}

// Runs `script` on `file` with the system's python3 (the one the Debian package of the
// iCalendar library installs for, whatever other interpreter comes first in PATH) and gives
// what it printed; a reader that fails, or is missing, fails the running test with what it said.
inline QJsonDocument readWithPython(const char *script, const QString &file)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), { readerScript(script), file });
    if (!python.waitForFinished(60000) || python.exitStatus() != QProcess::NormalExit
        || python.exitCode() != 0) {
        QTest::qFail(qPrintable(QStringLiteral("%1 could not read %2: %3 %4")
                                    .arg(QLatin1String(script), file, python.errorString(),
                                        QString::fromUtf8(python.readAllStandardError()))),
            __FILE__, __LINE__);
        return {};
    }
    return QJsonDocument::fromJson(python.readAllStandardOutput());
}

} // namespace th::test
