#include "app/Application.h"

#include <QApplication>
#include <QSessionManager>

#include "alerts/AlertCentre.h"
#include "alerts/ui/BidNotifier.h"
#include "app/AlertCommands.h"
#include "app/ClockCommands.h"
#include "app/ColumnWidthMemory.h"
#include "app/CommandWiring.h"
#include "app/Platform.h"
#include "app/StoreOpening.h"
#include "app/UserNotifier.h"
#include "app/WatchListCommands.h"
#include "app/frmAbout.h"
#include "app/frmResource.h"
#include "app/frmWatch.h"
#include "clock/ClockSync.h"
#include "common/Timers.h"
#include "config/AppSettings.h"
#include "config/HostConfig.h"
#include "config/UserConfig.h"
#include "config/cIniFile.h"
#include "engine/UpdateEngine.h"
#include "platform/AppPaths.h"
#include "platform/ITray.h"
#include "store/RegistryStore.h"
#include "watchlist/LiveTimeLeft.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListActions.h"
#include "watchlist/WatchListModel.h"

namespace th {

Application::Application(QString commandLine, std::unique_ptr<Platform> platform, QString dataFolder,
    QString resourceFolder, QObject *parent)
    : QObject(parent)
    , m_commandLine(std::move(commandLine))
    , m_dataFolder(std::move(dataFolder))
    , m_resourceFolder(std::move(resourceFolder))
    , m_parts(std::move(platform))
{
    keepRecordsWithRows(*m_parts.listModel, *m_parts.records, this);
}

Application::~Application() = default;

Application::StartResult Application::start()
{
    AppParts &p = m_parts;
    Platform &os = *p.platform;
    // One program per data folder, decided before the store or the tray is touched. A start
    // with "/show" first asks the running program to bring its window forward; an automatic
    // start ends silently.
    const bool showOption = m_commandLine.compare(u"/show", Qt::CaseInsensitive) == 0;
    if (!os.instance->tryAcquire()) {
        if (showOption)
            os.instance->askHolderToShow();
        return StartResult::AnotherInstance;
    }
    p.mainWindow = std::make_unique<frmWatch>(*p.listModel, *p.alerts);
    p.notifier = std::make_unique<UserNotifier>(*os.tray, *p.mainWindow);
    p.listModel->ensureRuntimeColumns();
    // The settings. A store that cannot be opened is reported once and left as it is.
    if (!openStore())
        return StartResult::Failed;
    p.listActions = std::make_unique<WatchListActions>(*p.store, *p.listModel, *p.records);
    p.listCommands = std::make_unique<WatchListCommands>(*p.mainWindow, *p.listModel, *p.listActions,
        WatchListCommands::Context { *p.records, *os.prompter, *os.shell, *os.clock });
    p.listCommands->setItemPageHost(p.hosts->host(HostConfig::Host::ItemPage).text);
    // The column widths the user left, where there are any.
    p.columnWidths
        = std::make_unique<ColumnWidthMemory>(p.mainWindow->listView(), configIniPath(m_dataFolder));
    p.columnWidths->restore();
    connect(p.columnWidths.get(), &ColumnWidthMemory::widthsNotSaved, p.notifier.get(),
        &UserNotifier::tellFileNotSaved);

    // The resource window: alert lists, tray image, tray icon, time servers.
    p.resources = std::make_unique<frmResource>(*os.tray,
        AlertCentre::Context { *p.alerts, *p.records, *p.listModel, *p.settings, *os.clock, *os.sound,
            AppPaths::join(m_resourceFolder, QStringLiteral("default.wav")) },
        m_resourceFolder);
    const bool hasTray = os.tray->isAvailable();
    p.mainWindow->setHasTray(hasTray);
    connect(
        os.tray.get(), &ITray::availabilityChanged, p.mainWindow.get(), &frmWatch::notificationAreaChanged);
    p.resources->load(
        QApplication::windowIcon(), frmWatch::captionText(), ClockCommands::configuredTimeServers(*p.hosts));
    createEngine();
    buildCommands(p, m_dataFolder, m_resourceFolder);
    connectWindows();

    // The command line: "/show" in any capitals, and nothing else, shows the window.
    // Without a notification area the window is the only way in, so it is always shown.
    if (showOption || !hasTray)
        p.mainWindow->show();
    // From now on a later start with "/show" brings the window forward.
    os.instance->listenForShowRequests([this] {
        if (m_parts.mainWindow && !m_exiting)
            m_parts.mainWindow->showWatchWindow();
    });

    // The watch list from the store, then sorted by end date. Filling lets pending events
    // run: an exit asked for meanwhile ends start-up here.
    p.listCommands->updateItems();
    if (m_exiting)
        return StartResult::Exited;
    p.listCommands->subReSortItemByDate();
    // The countdown of the time left, where the user asked for it.
    p.liveTimeLeft->setEnabled(UserConfig::liveTimeLeft(configIniPath(m_dataFolder)));
    // The minute counter of the automatic update.
    enableTimer(p.engine->tmrCheckBids);
    return StartResult::Running;
}

bool Application::openStore()
{
    AppParts &p = m_parts;
    p.store = openStoreOrTell(m_dataFolder, *p.platform->prompter);
    if (!p.store)
        return false;
    takeDailyCopy(*p.store, p.platform->clock->now(), *p.notifier);
    p.hosts = std::make_unique<HostConfig>(HostConfig::load(m_dataFolder + u"/config.ini"));
    *p.settings = loadAppSettings(*p.store, m_resourceFolder);
    return true;
}

void Application::createEngine()
{
    AppParts &p = m_parts;
    Platform &os = *p.platform;
    p.clockSync = std::make_unique<ClockSync>(*p.clockState, *os.clock, *os.timeZone, *os.clockSetter);
    p.clockSync->GetPacificOffsetHours();
    p.engine = std::make_unique<UpdateEngine>(
        UpdateEngine::Context { *p.listModel, *p.records, *p.store, *p.settings, *p.clockSync, *os.clock });
    UpdateEngine *engine = p.engine.get();
    engine->setHosts(p.hosts->host(HostConfig::Host::ItemPage), p.hosts->host(HostConfig::Host::Main));
    // The ending-item check pauses while the engine works.
    AlertCentre &alerts = p.resources->alerts();
    connect(engine, &UpdateEngine::checksQuieted, &alerts, &AlertCentre::pauseChecks);
    connect(engine, &UpdateEngine::checksResumed, &alerts, &AlertCentre::resumeChecks);
    connect(engine, &UpdateEngine::pagesReadEmpty, p.notifier.get(), &UserNotifier::showTrayMessage);
    p.resources->setEngine(engine);
    p.bidNotifier = std::make_unique<BidNotifier>(*engine, *p.listModel, *p.settings, *os.sound,
        AppPaths::join(m_resourceFolder, QStringLiteral("default.wav")));
    // A freshly filled list announces no new bid before its first complete pass; a reload
    // first stops the pass running.
    p.listCommands->passStart = [this, engine] {
        // Filling the list lets pending events run: an exit may have been asked for then.
        if (m_exiting)
            return;
        engine->setNotifyReady(false);
        engine->subActive2();
    };
    p.listCommands->passStop = [engine] { engine->stopPass(); };
    p.liveTimeLeft = std::make_unique<LiveTimeLeft>(*p.listModel, *p.records, *os.clock);
}

void Application::connectWindows()
{
    AppParts &p = m_parts;
    frmWatch *window = p.mainWindow.get();
    frmResource *resources = p.resources.get();
    connect(resources, &frmResource::showMainWindowRequested, window, &frmWatch::showWatchWindow);
    connect(resources, &frmResource::aboutRequested, this, &Application::showAbout);
    connect(resources, &frmResource::exitRequested, this, &Application::exitProgram);
    connect(resources, &frmResource::closeOtherWindowsRequested, this, &Application::closeOtherWindows);
    connect(window, &frmWatch::aboutRequested, this, &Application::showAbout);
    connect(window, &frmWatch::endProgramRequested, this, &Application::exitProgram);
}

void Application::showAbout()
{
    frmWatch *window = m_parts.mainWindow.get();
    frmAbout about(window && window->isVisible() ? window : nullptr);
    about.exec();
}

void Application::exitProgram()
{
    if (m_exiting)
        return;
    m_exiting = true;
    AppParts &p = m_parts;
    if (p.liveTimeLeft)
        p.liveTimeLeft->setEnabled(false);
    if (p.columnWidths)
        p.columnWidths->saveIfChanged();
    if (p.mainWindow)
        p.mainWindow->closeByProgram();
    if (p.resources)
        p.resources->closeDown();
    // Every event loop ends, a modal dialog's included; the windows are destroyed after
    // the main loop has returned.
    QCoreApplication::exit(0);
    Q_EMIT finished();
}

void Application::closeOtherWindows()
{
    if (m_parts.bidNotifier)
        m_parts.bidNotifier->closeForExit();
    if (m_parts.alertCommands)
        m_parts.alertCommands->closeForExit();
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window != m_parts.mainWindow.get() && window->isVisible())
            window->close();
    }
}

void Application::onSessionEnd(QSessionManager &manager)
{
    if (refuseSessionEnd() && manager.allowsInteraction())
        manager.cancel();
}

bool Application::refuseSessionEnd()
{
    // Shown: the first request only puts the window away and is refused; without a
    // notification area it is minimised, so that the program stays within reach if the
    // session goes on. Put away already: the program ends without asking.
    frmWatch *window = m_parts.mainWindow.get();
    if (window && !window->isParked() && !m_exiting) {
        window->hideToTray();
        return true;
    }
    exitProgram();
    return false;
}

} // namespace th
