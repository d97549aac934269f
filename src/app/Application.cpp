#include "app/Application.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QSessionManager>
#include <QTimer>

#include "alerts/AlertCentre.h"
#include "alerts/AlertState.h"
#include "alerts/CountdownClock.h"
#include "alerts/ui/BidNotifier.h"
#include "alerts/ui/EndingAlertPopUp.h"
#include "alerts/ui/frmAlarm.h"
#include "alerts/ui/frmEndingAlert.h"
#include "app/AppLog.h"
#include "app/BidCommands.h"
#include "app/BidSettingsCommands.h"
#include "app/ClockCommands.h"
#include "app/ColumnWidthMemory.h"
#include "app/Platform.h"
#include "app/SearchCommands.h"
#include "app/SettingsCommands.h"
#include "app/UpdateCommands.h"
#include "app/WatchListCommands.h"
#include "app/frmAbout.h"
#include "app/frmResource.h"
#include "app/frmWatch.h"
#include "autobid/AutoBidTrigger.h"
#include "autobid/BidSequence.h"
#include "autobid/SleepGuardPolicy.h"
#include "autobid/ui/frmAutoBid.h"
#include "clock/ClockState.h"
#include "clock/ClockSync.h"
#include "clock/TimeServerTable.h"
#include "common/Timers.h"
#include "common/Version.h"
#include "config/AppSettings.h"
#include "config/HostConfig.h"
#include "config/UserConfig.h"
#include "config/cIniFile.h"
#include "engine/UpdateEngine.h"
#include "exchange/RemovableMedia.h"
#include "exchange/ui/frmImportExport.h"
#include "platform/AppPaths.h"
#include "search/ui/frmPaypalVerify.h"
#include "store/RegistryStore.h"
#include "store/StoreBackups.h"
#include "watchlist/LiveTimeLeft.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListActions.h"
#include "watchlist/WatchListModel.h"
#include "watchlist/ui/WatchListView.h"

namespace th {

Application::Application(QString commandLine, std::unique_ptr<Platform> platform, QString dataFolder,
    QString resourceFolder, QObject *parent)
    : QObject(parent)
    , m_commandLine(std::move(commandLine))
    , m_platform(std::move(platform))
    , m_dataFolder(std::move(dataFolder))
    , m_resourceFolder(std::move(resourceFolder))
    , m_alerts(std::make_unique<AlertState>())
    , m_listModel(std::make_unique<WatchListModel>())
    , m_records(std::make_unique<WatchItems>())
    , m_settings(std::make_unique<AppSettings>())
    , m_clockState(std::make_unique<ClockState>())
{
    keepRecordsWithRows(*m_listModel, *m_records, this);
}

Application::~Application()
{
    // Windows and the engine go before the seams and the store they use.
    m_bidCommands.reset();
    m_autoBidTrigger.reset();
    m_bidSequence.reset();
    m_bidSettings.reset();
    m_search.reset();
    m_alertPopUp.reset();
    m_bidNotifier.reset();
    m_settingsCommands.reset();
    m_clockCommands.reset();
    m_updateCommands.reset();
    m_engine.reset();
    m_listCommands.reset();
    m_columnWidths.reset();
    m_liveTimeLeft.reset();
    m_main.reset();
    m_resource.reset();
}

Application::StartResult Application::start()
{
    // One program per data folder, decided before the store or the tray is touched. A start
    // with "/show" first asks the running program to bring its window forward; an automatic
    // start ends silently.
    const bool showOption = m_commandLine.compare(u"/show", Qt::CaseInsensitive) == 0;
    if (!m_platform->instance->tryAcquire()) {
        if (showOption)
            m_platform->instance->askHolderToShow();
        return StartResult::AnotherInstance;
    }

    // The main window with its caption and the search sort orders.
    m_main = std::make_unique<frmWatch>(*m_listModel, *m_alerts);
    m_main->ui.cboSorted->addItems({ QStringLiteral("Ending first"), QStringLiteral("Newly Listed"),
        QStringLiteral("Lowest price first"), QStringLiteral("Highest price first") });
    m_main->ui.cboSorted->setCurrentIndex(0);
    m_listModel->ensureRuntimeColumns();

    // The settings. A store that cannot be opened is reported once and left as it is.
    if (!openStore())
        return StartResult::Failed;
    m_listActions = std::make_unique<WatchListActions>(*m_store, *m_listModel, *m_records);
    m_listCommands = std::make_unique<WatchListCommands>(*m_main, *m_listModel, *m_listActions,
        WatchListCommands::Context { *m_platform->prompter, *m_platform->shell, *m_platform->clock });
    m_listCommands->setItemPageHost(m_hosts->host(HostConfig::Host::ItemPage).text);
    // The column widths the user left, where there are any.
    m_columnWidths
        = std::make_unique<ColumnWidthMemory>(*m_main->ui.lstWatching, configIniPath(m_dataFolder));
    m_columnWidths->restore();
    connect(m_columnWidths.get(), &ColumnWidthMemory::widthsNotSaved, this, &Application::tellFileNotSaved);

    // The resource window: alert lists, tray image, tray icon, time servers.
    m_resource = std::make_unique<frmResource>(*m_platform->tray,
        AlertCentre::Context { *m_alerts, *m_records, *m_listModel, *m_settings, *m_platform->clock,
            *m_platform->sound, AppPaths::join(m_resourceFolder, QStringLiteral("default.wav")) },
        m_resourceFolder);
    const bool hasTray = m_platform->tray->isAvailable();
    m_main->setHasTray(hasTray);
    QStringList timeServers;
    for (int i = 0; i < TimeServerTable::kCount; ++i)
        timeServers.append(m_hosts->timeServer(i).text);
    m_resource->load(QApplication::windowIcon(), frmWatch::captionText(), TimeServerTable(timeServers));
    createEngine();
    connectWindows();

    // The command line: "/show" in any capitals, and nothing else, shows the window.
    // Without a notification area the window is the only way in, so it is always shown.
    if (showOption || !hasTray)
        m_main->show();
    // From now on a later start with "/show" brings the window forward.
    m_platform->instance->listenForShowRequests([this] {
        if (m_main && !m_exiting)
            m_main->showWatchWindow();
    });

    // The watch list from the store, then sorted by end date. Filling lets pending events
    // run: an exit asked for meanwhile ends start-up here.
    m_listCommands->updateItems();
    if (m_exiting)
        return StartResult::Exited;
    m_listCommands->subReSortItemByDate();
    // The countdown of the time left, where the user asked for it.
    m_liveTimeLeft->setEnabled(UserConfig::liveTimeLeft(configIniPath(m_dataFolder)));

    // The minute counter of the automatic update.
    enableTimer(m_engine->tmrCheckBids);

    scheduleScreenshot();
    return StartResult::Running;
}

bool Application::openStore()
{
    Result<std::unique_ptr<RegistryStore>> store = RegistryStore::openInFolder(m_dataFolder);
    if (!store.ok()) {
        m_platform->prompter->message(storeFailureText(store.error()), QString::fromLatin1(kProgramTitle),
            PromptIcon::Critical, PromptButtons::Ok);
        return false;
    }
    m_store = std::move(store).value();
    takeDailyCopy();
    m_hosts = std::make_unique<HostConfig>(HostConfig::load(m_dataFolder + u"/config.ini"));
    *m_settings = loadAppSettings(*m_store, m_resourceFolder);
    return true;
}

QString Application::storeFailureText(const Error &error) const
{
    // A store that is damaged or not a store at all can be replaced by a sound copy; one
    // that is locked or newer than this program must not be.
    const int code = error.code;
    if (code != StoreError::Damaged && code != StoreError::NotAStore && code != StoreError::CannotRead)
        return error.message;
    const std::optional<StoreCopy> copy = StoreBackups::newestSound(
        StoreBackups::folderFor(AppPaths::join(m_dataFolder, QString::fromUtf16(RegistryStore::kFileName))));
    if (!copy)
        return error.message;
    const QString path = QDir::toNativeSeparators(copy->path);
    return error.message + u"\n\nThe newest sound copy of the store is " + path
        + u". To put it in the store's place, run:\n\n    tallyhawk-cli restore " + path;
}

void Application::takeDailyCopy()
{
    const Result<QString> copy = StoreBackups::takeDailyCopy(*m_store, m_platform->clock->now());
    if (copy)
        return;
    // The program runs on without it; the user learns that the watch list has no fresh copy.
    qCWarning(lcApp, "%s", qPrintable(copy.errorMessage()));
    QTimer::singleShot(0, this, [this, message = copy.errorMessage()] {
        m_platform->tray->showMessage(QString::fromLatin1(kProgramTitle), message);
    });
}

void Application::createEngine()
{
    m_clockSync = std::make_unique<ClockSync>(
        *m_clockState, *m_platform->clock, *m_platform->timeZone, *m_platform->clockSetter);
    m_clockSync->GetPacificOffsetHours();
    m_engine = std::make_unique<UpdateEngine>(UpdateEngine::Context {
        *m_listModel, *m_records, *m_store, *m_settings, *m_clockSync, *m_platform->clock });
    m_engine->setHosts(m_hosts->host(HostConfig::Host::ItemPage), m_hosts->host(HostConfig::Host::Main));
    // The ending-item check pauses while the engine works; the auto-bid trigger starts after
    // the first complete pass.
    AlertCentre &alerts = m_resource->alerts();
    connect(m_engine.get(), &UpdateEngine::checksQuieted, &alerts, &AlertCentre::pauseChecks);
    connect(m_engine.get(), &UpdateEngine::checksResumed, &alerts, &AlertCentre::resumeChecks);
    connect(m_engine.get(), &UpdateEngine::firstPassFinished, m_main.get(), [this] {
        if (m_autoBidTrigger)
            m_autoBidTrigger->startTicking();
    });
    connect(m_engine.get(), &UpdateEngine::pagesReadEmpty, this, [this](const QString &message) {
        m_platform->tray->showMessage(QString::fromLatin1(kProgramTitle), message);
    });
    m_resource->setEngine(m_engine.get());
    m_bidNotifier = std::make_unique<BidNotifier>(*m_engine, *m_listModel, *m_settings, *m_platform->sound,
        AppPaths::join(m_resourceFolder, QStringLiteral("default.wav")));
    m_updateCommands = std::make_unique<UpdateCommands>(
        UpdateCommands::Context { *m_main, *m_resource, *m_engine, *m_listCommands, *m_clockSync, *m_settings,
            *m_platform->prompter, *m_platform->clock, *m_platform->tray });
    // A freshly filled list announces no new bid before its first complete pass.
    m_listCommands->passStart = [this] {
        // Filling the list lets pending events run: an exit may have been asked for then.
        if (m_exiting)
            return;
        m_engine->setNotifyReady(false);
        m_engine->subActive2();
    };
    m_updateCommands->tmShowSysClock_Timer();
    m_liveTimeLeft = std::make_unique<LiveTimeLeft>(*m_listModel, *m_records, *m_platform->clock);
    m_settingsCommands = std::make_unique<SettingsCommands>(SettingsCommands::Context { *m_settings, *m_store,
        *m_platform->prompter, *m_platform->sound, *m_platform->startupEntry, *m_engine, *m_listModel,
        *m_liveTimeLeft, m_resourceFolder, configIniPath(m_dataFolder) });
    m_settingsCommands->connectMenus(*m_resource, *m_main);
    m_clockCommands = std::make_unique<ClockCommands>(ClockCommands::Context { *m_resource, *m_main,
        *m_clockSync, *m_clockState, *m_settings, *m_store, *m_hosts, *m_platform->clock,
        *m_platform->connection, *m_platform->tray, *m_platform->prompter });
}

void Application::connectWindows()
{
    connect(
        m_resource.get(), &frmResource::showMainWindowRequested, m_main.get(), &frmWatch::showWatchWindow);
    connect(m_resource.get(), &frmResource::aboutRequested, this, &Application::showAbout);
    connect(m_resource.get(), &frmResource::exitRequested, this, &Application::exitProgram);
    connect(
        m_resource.get(), &frmResource::closeOtherWindowsRequested, this, &Application::closeOtherWindows);
    connect(m_main.get(), &frmWatch::aboutRequested, this, &Application::showAbout);
    connectEndingAlerts();
    connectSearch();
    m_bidSettings = std::make_unique<BidSettingsCommands>(BidSettingsCommands::Context {
        *m_main,
        *m_listModel,
        *m_records,
        *m_store,
        *m_settings,
        *m_platform->prompter,
        *m_platform->clock,
        [this] { openSettingsDialog(); },
        [this](const AutoBidDialogValues &values) -> std::optional<AutoBidEntry> {
            frmAutoBid dialog(values, *m_platform->prompter, m_main.get());
            dialog.exec();
            return dialog.entry();
        },
    });
    connectBids();
    connect(m_main->listMenu.mnuImportExport, &QAction::triggered, this, &Application::mnuImportExport_Click);
    connect(m_main->listMenu.mnuPaypalVerify, &QAction::triggered, this, [this] {
        frmPaypalVerify dialog(
            frmPaypalVerify::Context { *m_platform->browser, *m_platform->shell,
                m_hosts->host(HostConfig::Host::Hotmail).text, m_hosts->host(HostConfig::Host::Paypal).text },
            m_main.get());
        dialog.exec();
    });
    // The countdown clock of the selected item: its button, its list-menu command and a
    // double click in the list.
    connect(
        m_main->ui.cmdOpenClockDialog, &QPushButton::clicked, this, &Application::cmdOpenClockDialog_Click);
    connect(m_main->listMenu.mnuClock, &QAction::triggered, this, &Application::cmdOpenClockDialog_Click);
    connect(m_main->ui.lstWatching, &WatchListView::itemDoubleClicked, this,
        &Application::cmdOpenClockDialog_Click);
    connect(m_main.get(), &frmWatch::endProgramRequested, this, &Application::exitProgram);
    connect(m_main.get(), &frmWatch::firstHiddenToTray, this, [this] {
        m_platform->tray->showMessage(QString::fromLatin1(kProgramTitle),
            QStringLiteral(
                "Tallyhawk keeps watching your items here. Double-click the icon to open the list; "
                "Exit is in the icon's menu."));
    });
}

void Application::connectBids()
{
    m_bidSequence = std::make_unique<BidSequence>(BidSequence::Context {
        *m_platform->browser, *m_settings, m_hosts->host(HostConfig::Host::ItemPage) });
    m_autoBidTrigger = std::make_unique<AutoBidTrigger>(AutoBidTrigger::Context { *m_records, *m_store,
        *m_settings, *m_platform->clock, *m_engine, m_resource->clockCheck, *m_bidSequence });
    m_bidCommands = std::make_unique<BidCommands>(BidCommands::Context {
        *m_main,
        *m_listModel,
        *m_records,
        *m_store,
        *m_settings,
        *m_platform->prompter,
        *m_platform->shell,
        *m_platform->clock,
        *m_autoBidTrigger,
        *m_bidSequence,
        m_hosts->host(HostConfig::Host::BidHistory),
        m_hosts->host(HostConfig::Host::Hotmail),
        m_hosts->host(HostConfig::Host::YahooMail),
        [this] { openSettingsDialog(); },
    });
    AlertCentre &alerts = m_resource->alerts();
    AutoBidTrigger *trigger = m_autoBidTrigger.get();
    trigger->attachTimer(m_main->tmrChkAutoBid);
    connect(trigger, &AutoBidTrigger::alertChecksQuieted, &alerts, &AlertCentre::pauseChecks);
    connect(trigger, &AutoBidTrigger::alertChecksResumed, &alerts, &AlertCentre::resumeChecks);
    connect(m_bidSequence.get(), &BidSequence::periodicWorkRestartRequested, trigger,
        &AutoBidTrigger::restartPeriodicWork);
    connect(trigger, &AutoBidTrigger::autoBidStatusChanged, m_main.get(),
        [this](const QString &text) { m_main->ui.panels[2]->setText(text); });
    // A bid that cannot start is never silent, even with nobody at the window.
    connect(trigger, &AutoBidTrigger::bidCouldNotStart, this,
        [this](const QString &, const QString &reason) { tellUser(reason); });
    connectSleepGuard();
}

void Application::connectSleepGuard()
{
    m_sleepGuard = std::make_unique<SleepGuardPolicy>(SleepGuardPolicy::Context {
        *m_records, *m_platform->clock, *m_platform->sleepGuard, *m_engine, *m_autoBidTrigger });
    SleepGuardPolicy *guard = m_sleepGuard.get();
    // A bid set or removed, a row added, removed or moved: the lock follows at once.
    WatchListModel *model = m_listModel.get();
    connect(model, &QAbstractItemModel::dataChanged, guard, &SleepGuardPolicy::reviewSoon);
    connect(model, &QAbstractItemModel::rowsRemoved, guard, &SleepGuardPolicy::reviewSoon);
    connect(model, &QAbstractItemModel::modelReset, guard, &SleepGuardPolicy::reviewSoon);
    connect(model, &QAbstractItemModel::layoutChanged, guard, &SleepGuardPolicy::reviewSoon);
    connect(guard, &SleepGuardPolicy::userNotice, this, &Application::tellUser);
}

void Application::tellUser(const QString &text)
{
    if (m_platform->tray->isAvailable())
        m_platform->tray->showMessage(QString::fromLatin1(kProgramTitle), text);
    else
        m_main->ui.panels[1]->setText(text);
}

void Application::connectEndingAlerts()
{
    AlertCentre &alerts = m_resource->alerts();
    m_alertPopUp = std::make_unique<EndingAlertPopUp>(alerts, m_main.get(),
        EndingAlertPopUp::Context {
            [this](const QString &item) { m_listCommands->SelectRowByItemNumber(item); },
            [this] { return m_main->MainWindowActive; },
        });
    connect(m_main.get(), &frmWatch::painted, m_alertPopUp.get(), &EndingAlertPopUp::mainWindowPainted);
    connect(&m_main->tmrShowAlermWhileBrowse, &QTimer::timeout, m_alertPopUp.get(),
        &EndingAlertPopUp::tmrShowAlermWhileBrowse_Timer);
    if (m_platform->tray->isAvailable())
        return;
    // Without a notification area the main window's own icon blinks, and the window asks
    // the desktop for attention.
    connect(&alerts, &AlertCentre::flashPhaseChanged, m_main.get(), [this](bool blank) {
        m_main->setWindowIcon(blank ? m_resource->trayImage() : QApplication::windowIcon());
        if (blank)
            QApplication::alert(m_main.get());
    });
}

void Application::openSettingsDialog()
{
    m_settingsCommands->openSettings(m_main.get());
}

void Application::mnuImportExport_Click()
{
    frmImportExport dialog(frmImportExport::Context {
                               *m_store,
                               *m_platform->prompter,
                               *m_platform->clock,
                               m_dataFolder,
                               [] { return removableFolders(readMountTable(), isRemovableDevice); },
                               [this] { reloadListKeepingRecords(); },
                           },
        m_main.get());
    dialog.exec();
}

void Application::reloadListKeepingRecords()
{
    // No answer of a pass dealt over the old rows may land while the list is filled again.
    m_engine->stopPass();
    // What the program knows of each item stays with it: an automatic bid already started
    // must never start again because the list was reloaded.
    QHash<double, WatchItemRecord> known;
    for (int i = 1; i <= m_records->count(); ++i) {
        if (m_records->at(i).recItemNumber != 0)
            known.insert(m_records->at(i).recItemNumber, m_records->at(i));
    }
    m_listCommands->listReloadFlag = true;
    m_listCommands->updateItems();
    for (int i = 1; i <= m_records->count(); ++i) {
        const auto kept = known.constFind(m_listModel->rowText(i - 1).trimmed().toDouble());
        if (kept != known.constEnd())
            m_records->at(i) = *kept;
    }
    m_listCommands->subReSortItemByDate();
}

void Application::connectSearch()
{
    const SearchHosts hosts { m_hosts->host(HostConfig::Host::Search).text,
        m_hosts->host(HostConfig::Host::CompletedSearch).text,
        m_hosts->host(HostConfig::Host::SellerListing).text, m_hosts->host(HostConfig::Host::ItemPage).text,
        m_hosts->host(HostConfig::Host::Google).text };
    m_search = std::make_unique<SearchCommands>(
        *m_main, *m_platform->shell, *m_platform->browser, hosts, m_dataFolder + u"/IntelliSense/iSense.dat");
    m_search->LoadSearchHistory();
    connect(m_search.get(), &SearchCommands::historyNotSaved, this, &Application::tellFileNotSaved);
}

void Application::tellFileNotSaved(const QString &why)
{
    qCWarning(lcApp, "%s", qPrintable(why));
    tellUser(why);
}

frmAlarm *Application::clockWindow() const
{
    return m_clockWindow;
}

void Application::cmdOpenClockDialog_Click()
{
    if (!m_listCommands->IsItemSelected())
        return;
    const std::optional<ClockTarget> target = clockTargetFor(m_listCommands->selectedItemText(), *m_records);
    if (!target)
        return;
    if (!m_clockWindow) {
        // One window for every opening; it belongs to the main window and goes with it.
        m_clockWindow = new frmAlarm(*m_platform->clock, *m_store, *m_platform->prompter,
            m_dataFolder + u"/config.ini", m_resourceFolder, m_main.get());
    }
    m_clockWindow->openFor(*target);
}

void Application::showAbout()
{
    frmAbout about(m_main && m_main->isVisible() ? m_main.get() : nullptr);
    about.exec();
}

void Application::exitProgram()
{
    if (m_exiting)
        return;
    m_exiting = true;
    if (m_liveTimeLeft)
        m_liveTimeLeft->setEnabled(false);
    if (m_columnWidths)
        m_columnWidths->saveIfChanged();
    if (m_main)
        m_main->closeByProgram();
    if (m_resource)
        m_resource->closeDown();
    // Every event loop ends, a modal dialog's included; the windows are destroyed after
    // the main loop has returned.
    QCoreApplication::exit(0);
    Q_EMIT finished();
}

void Application::closeOtherWindows()
{
    if (m_bidNotifier)
        m_bidNotifier->closeForExit();
    if (m_alertPopUp)
        m_alertPopUp->closeForExit();
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window != m_main.get() && window->isVisible())
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
    if (m_main && !m_main->isParked() && !m_exiting) {
        m_main->hideToTray();
        return true;
    }
    exitProgram();
    return false;
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
            qCInfo(lcApp, "Screenshot of the main window saved to %s", qPrintable(path));
        else
            qCWarning(lcApp, "Could not save a screenshot to %s", qPrintable(path));
        if (qEnvironmentVariableIntValue("TALLYHAWK_SCREENSHOT_QUIT") == 1)
            exitProgram();
    });
}

} // namespace th
