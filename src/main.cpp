#include <unistd.h>

#include <QApplication>
#include <QStringList>

#include "app/Application.h"
#include "common/Version.h"

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
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(th::kProgramTitle));
    QApplication::setApplicationVersion(QString::fromLatin1(th::kVersionText));
    QApplication::setQuitOnLastWindowClosed(false);

    int status = 0;
    {
        th::Application application(commandLine);
        if (!application.start())
            return 0;
        status = QApplication::exec();
    }
    return status;
}
