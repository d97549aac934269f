#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "clock/TimeServerTable.h"

namespace th {

struct AppSettings;
struct ClockState;
class ClockSync;
class frmAlarm;
class frmResource;
class frmSync;
class frmWatch;
class HostConfig;
class IClock;
class IConnectionState;
class IPrompter;
class RegistryStore;
class UserNotifier;
class WatchItems;
class WatchListCommands;

// The clock commands of the program: the automatic clock check on the resource object,
// the clock dialog opened from the tray and the list menu, the fine tune it hands back,
// the report of an automatic correction that failed, and the countdown clock of the
// selected item.
class ClockCommands final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClockCommands)

public:
    struct Context {
        frmResource &resource;
        frmWatch &window;
        ClockSync &clockSync;
        ClockState &state;
        AppSettings &settings;
        RegistryStore &store;
        const HostConfig &hosts;
        IClock &clock;
        const IConnectionState &connection;
        UserNotifier &notifier;
        IPrompter &prompter;
        WatchListCommands &list;
        WatchItems &records;
        // config.ini of the data folder, and the folder of the sounds.
        QString configPath;
        QString resourceFolder;
    };

    explicit ClockCommands(Context context, QObject *parent = nullptr);

    // The time servers of the configuration.
    static TimeServerTable configuredTimeServers(const HostConfig &hosts);

    // Shows the clock dialog, or raises the one already open.
    void mnuSyncClock_Click();
    // The open dialog, or null.
    frmSync *dialog() const;
    // Opens the countdown clock for the selected row, or turns an open one to it.
    void cmdOpenClockDialog_Click();
    // The countdown clock, once opened (it lives as long as the main window).
    frmAlarm *clockWindow() const;

private:
    void reportCorrectionFailure(const QString &message);

    Context m_ctx;
    QPointer<frmSync> m_dialog;
    QPointer<frmAlarm> m_clockWindow;
};

} // namespace th
