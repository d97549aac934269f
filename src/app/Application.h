#pragma once

#include <memory>

#include <QObject>
#include <QPointer>
#include <QString>

class QSessionManager;

namespace th {

struct AlertState;
struct AppSettings;
struct Platform;
class frmResource;
class HostConfig;
class BidNotifier;
class EndingAlertPopUp;
class SearchCommands;
class BidSettingsCommands;
class AutoBidTrigger;
class BidCommands;
class BidSequence;
class frmAlarm;
class ClockCommands;
class ClockSync;
class ColumnWidthMemory;
class LiveTimeLeft;
class UpdateCommands;
class UpdateEngine;
struct ClockState;
class frmWatch;
class RegistryStore;
class SettingsCommands;
class SleepGuardPolicy;
struct Error;
class WatchItems;
class WatchListActions;
class WatchListCommands;
class WatchListModel;

// The composition root: builds the store, the seams, the shared state and the windows,
// hands them down, and runs start-up and shutdown in their fixed order.
class Application final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Application)

public:
    enum class StartResult {
        Running, // the program is up
        AnotherInstance, // another program holds the data folder: end silently
        Failed, // the data could not be opened; the user has been told
        Exited, // an exit was asked for while starting: the program has ended its windows
    };

    // `commandLine` is the program's arguments joined with one blank.
    Application(QString commandLine, std::unique_ptr<Platform> platform, QString dataFolder,
        QString resourceFolder, QObject *parent = nullptr);
    ~Application() override;

    StartResult start();
    // "Exit": the main window unloads, then the resource window, and the event loop ends.
    void exitProgram();
    // A request of the desktop session to end.
    void onSessionEnd(QSessionManager &manager);
    // The decision behind it: true when the request is refused (the window was shown and
    // is now hidden), false when the program ends.
    bool refuseSessionEnd();

    frmWatch *mainWindow() const { return m_main.get(); }
    frmResource *resources() const { return m_resource.get(); }
    Platform &platform() const { return *m_platform; }
    AlertState &alerts() const { return *m_alerts; }
    WatchListModel &listModel() const { return *m_listModel; }
    WatchItems &records() const { return *m_records; }
    RegistryStore *store() const { return m_store.get(); }
    AppSettings &settings() const { return *m_settings; }
    WatchListCommands *listCommands() const { return m_listCommands.get(); }
    const HostConfig &hosts() const { return *m_hosts; }
    UpdateEngine *engine() const { return m_engine.get(); }
    UpdateCommands *updateCommands() const { return m_updateCommands.get(); }
    SettingsCommands *settingsCommands() const { return m_settingsCommands.get(); }
    ClockState &clockState() const { return *m_clockState; }
    ClockSync &clockSync() const { return *m_clockSync; }
    ClockCommands *clockCommands() const { return m_clockCommands.get(); }
    BidNotifier *bidNotifier() const { return m_bidNotifier.get(); }
    EndingAlertPopUp *alertPopUp() const { return m_alertPopUp.get(); }
    SearchCommands *search() const { return m_search.get(); }
    BidSettingsCommands *bidSettings() const { return m_bidSettings.get(); }
    BidSequence *bidSequence() const { return m_bidSequence.get(); }
    AutoBidTrigger *autoBidTrigger() const { return m_autoBidTrigger.get(); }
    BidCommands *bidCommands() const { return m_bidCommands.get(); }
    SleepGuardPolicy *sleepGuard() const { return m_sleepGuard.get(); }
    LiveTimeLeft *liveTimeLeft() const { return m_liveTimeLeft.get(); }
    ColumnWidthMemory *columnWidths() const { return m_columnWidths.get(); }
    frmAlarm *clockWindow() const;
    // Empties the list and fills it from the store again, each item keeping its record.
    void reloadListKeepingRecords();
    bool exiting() const { return m_exiting; }

Q_SIGNALS:
    // The program has ended its windows and asked the event loop to stop.
    void finished();

private:
    bool openStore();
    // What the user is told when the store cannot be opened: the reason, and the copy of the
    // store that could replace it, with the command that does it.
    QString storeFailureText(const Error &error) const;
    // The first start of a day keeps a copy of the store as it is.
    void takeDailyCopy();
    // A file of the data folder could not be written (it keeps what it held): the user
    // learns why.
    void tellFileNotSaved(const QString &why);
    void createEngine();
    void connectWindows();
    void connectEndingAlerts();
    void connectSearch();
    // The automatic bids, the bid commands and the browser window they drive.
    void connectBids();
    // The computer kept awake for the automatic bids, and what follows a sleep.
    void connectSleepGuard();
    // A message the user must get even with nobody at the window: beside the tray icon, or
    // in the status bar where there is no notification area.
    void tellUser(const QString &text);
    // The settings dialog, modal.
    void openSettingsDialog();
    // The backup and restore of the watch list.
    void mnuImportExport_Click();

    // Opens the countdown clock for the selected row, or turns an open one to it.
    void cmdOpenClockDialog_Click();
    void showAbout();
    void closeOtherWindows();
    void scheduleScreenshot();

    QString m_commandLine;
    std::unique_ptr<Platform> m_platform;
    QString m_dataFolder;
    QString m_resourceFolder;
    std::unique_ptr<AlertState> m_alerts;
    std::unique_ptr<WatchListModel> m_listModel;
    std::unique_ptr<WatchItems> m_records;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<RegistryStore> m_store;
    std::unique_ptr<HostConfig> m_hosts;
    std::unique_ptr<WatchListActions> m_listActions;
    std::unique_ptr<WatchListCommands> m_listCommands;
    std::unique_ptr<ClockState> m_clockState;
    std::unique_ptr<ClockSync> m_clockSync;
    std::unique_ptr<UpdateEngine> m_engine;
    std::unique_ptr<UpdateCommands> m_updateCommands;
    std::unique_ptr<SettingsCommands> m_settingsCommands;
    std::unique_ptr<ClockCommands> m_clockCommands;
    std::unique_ptr<BidNotifier> m_bidNotifier;
    std::unique_ptr<EndingAlertPopUp> m_alertPopUp;
    std::unique_ptr<SearchCommands> m_search;
    std::unique_ptr<BidSettingsCommands> m_bidSettings;
    std::unique_ptr<BidSequence> m_bidSequence;
    std::unique_ptr<AutoBidTrigger> m_autoBidTrigger;
    std::unique_ptr<BidCommands> m_bidCommands;
    std::unique_ptr<SleepGuardPolicy> m_sleepGuard;
    std::unique_ptr<LiveTimeLeft> m_liveTimeLeft;
    std::unique_ptr<ColumnWidthMemory> m_columnWidths;
    std::unique_ptr<frmWatch> m_main;
    std::unique_ptr<frmResource> m_resource;
    QPointer<frmAlarm> m_clockWindow;
    bool m_exiting = false;
};

} // namespace th
