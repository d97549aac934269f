#include "app/Application.h"

#include <QTimer>

#include "app/frmWatch.h"
#include "platform/AppPaths.h"
#include "platform/ISingleInstance.h"

namespace th {

Application::Application(QString commandLine, QObject *parent)
    : QObject(parent)
    , m_commandLine(std::move(commandLine))
{
}

Application::~Application() = default;

bool Application::start()
{
    const Result<QString> folder = AppPaths::ensureDataFolder();
    if (!folder.ok()) {
        qCritical("%s", qPrintable(folder.errorMessage()));
        return false;
    }
    // One program per data folder, decided before anything else is touched.
    m_instance = std::make_unique<LockFileSingleInstance>(folder.value());
    if (!m_instance->tryAcquire())
        return false;

    m_main = std::make_unique<frmWatch>();
    if (m_commandLine.compare(u"/show", Qt::CaseInsensitive) == 0)
        m_main->show();
    scheduleScreenshot();
    return true;
}

void Application::scheduleScreenshot()
{
    // The demo on a machine without a display asks for a picture of the main window.
    const QString path = qEnvironmentVariable("TALLYHAWK_SCREENSHOT");
    if (path.isEmpty())
        return;
    const int delay = qEnvironmentVariableIntValue("TALLYHAWK_SCREENSHOT_DELAY");
    QTimer::singleShot(delay > 0 ? delay : 3000, this, [this, path] {
        if (m_main && m_main->grab().save(path))
            qInfo("Screenshot of the main window saved to %s", qPrintable(path));
        else
            qWarning("Could not save a screenshot to %s", qPrintable(path));
    });
}

} // namespace th
