#include <unistd.h>

#include <QApplication>
#include <QIcon>
#include <QStringList>
#include <QTimer>

#include "app/AppLog.h"
#include "app/Application.h"
#include "app/Platform.h"
#include "app/UnixSignals.h"
#include "app/frmWatch.h"
#include "browser/BrowserLog.h"
#include "common/Version.h"
#include "platform/AppPaths.h"

namespace {

// The demo on a machine without a display asks for a picture of the main window.
void scheduleScreenshot(th::Application &application)
{
    const QString path = qEnvironmentVariable("TALLYHAWK_SCREENSHOT");
    if (path.isEmpty())
        return;
    const int delay = qEnvironmentVariableIntValue("TALLYHAWK_SCREENSHOT_DELAY");
    QTimer::singleShot(delay > 0 ? delay : 3000, &application, [&application, path] {
        th::frmWatch *window = application.parts().mainWindow.get();
        if (window && window->grab().save(path))
            qCInfo(th::lcApp, "Screenshot of the main window saved to %s", qPrintable(path));
        else
            qCWarning(th::lcApp, "Could not save a screenshot to %s", qPrintable(path));
        if (qEnvironmentVariableIntValue("TALLYHAWK_SCREENSHOT_QUIT") == 1)
            application.exitProgram();
    });
}

} // namespace

int main(int argc, char **argv)
{
    // The command line as the program has always seen it: its arguments joined by one blank,
    // captured before Qt takes the options it knows.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const QString commandLine = arguments.join(u' ');

    // The web engine refuses its sandbox for root; the bid window must still open.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    th::quietWebEngineLog();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(th::kProgramTitle));
    QApplication::setApplicationVersion(QString::fromLatin1(th::kVersionText));
    QApplication::setDesktopFileName(QStringLiteral("tallyhawk"));
    QApplication::setQuitOnLastWindowClosed(false);

    const QString resources = th::AppPaths::resourceFolder();
    QIcon icon(th::AppPaths::join(resources, QStringLiteral("tallyhawk.png")));
    icon.addFile(th::AppPaths::join(resources, QStringLiteral("tallyhawk-16.png")));
    QApplication::setWindowIcon(icon);

    const th::Result<QString> folder = th::AppPaths::ensureDataFolder();
    if (!folder.ok()) {
        qCCritical(th::lcApp, "%s", qPrintable(folder.errorMessage()));
        return 1;
    }

    int status = 0;
    {
        th::Application application(
            commandLine, th::makeRealPlatform(folder.value(), resources), folder.value(), resources);
        th::UnixSignals signals;
        QObject::connect(
            &signals, &th::UnixSignals::terminationRequested, &application, &th::Application::exitProgram);
        QObject::connect(
            &app, &QGuiApplication::commitDataRequest, &application, &th::Application::onSessionEnd);
        switch (application.start()) {
        case th::Application::StartResult::AnotherInstance:
        case th::Application::StartResult::Exited:
            return 0;
        case th::Application::StartResult::Failed:
            return 1;
        case th::Application::StartResult::Running:
            break;
        }
        scheduleScreenshot(application);
        // An exit asked for at the last moment of start-up could not end a loop that was
        // not running yet.
        if (!application.exiting())
            status = QApplication::exec();
    }
    return status;
}
