#include "app/ClockCommands.h"

#include <QAction>

#include "alerts/CountdownClock.h"
#include "alerts/ui/frmAlarm.h"
#include "app/UserNotifier.h"
#include "app/WatchListCommands.h"
#include "app/frmResource.h"
#include "app/frmWatch.h"
#include "clock/ClockSync.h"
#include "clock/ui/frmSync.h"
#include "config/AppSettings.h"
#include "config/HostConfig.h"
#include "store/RegistryFunctions.h"
#include "watchlist/WatchStore.h"

namespace th {

ClockCommands::ClockCommands(Context context, QObject *parent)
    : QObject(parent)
    , m_ctx(context)
{
    AutoClockCheck &check = m_ctx.resource.clockCheck;
    check.attach(m_ctx.clockSync, [&settings = m_ctx.settings] { return settings.AutoAdjustTime != 0; });
    connect(
        &check, &AutoClockCheck::correctionFailureToReport, this, &ClockCommands::reportCorrectionFailure);
    connect(m_ctx.resource.mnuSyncClock, &QAction::triggered, this, &ClockCommands::mnuSyncClock_Click);
    // The countdown clock of the selected item: its button, its list-menu entry and a double
    // click in the list.
    connect(&m_ctx.window, &frmWatch::commandChosen, this, [this](WatchCommand command) {
        if (command == WatchCommand::SyncClock)
            mnuSyncClock_Click();
        else if (command == WatchCommand::OpenClock)
            cmdOpenClockDialog_Click();
    });
}

TimeServerTable ClockCommands::configuredTimeServers(const HostConfig &hosts)
{
    QStringList configured;
    for (int i = 0; i < TimeServerTable::kCount; ++i)
        configured.append(hosts.timeServer(i).text);
    return TimeServerTable(configured);
}

void ClockCommands::mnuSyncClock_Click()
{
    if (!m_dialog) {
        // The dialog reads its own time-server table at each load.
        m_dialog = new frmSync(
            frmSync::Context { m_ctx.clockSync, m_ctx.state, m_ctx.clock, m_ctx.connection, m_ctx.prompter },
            configuredTimeServers(m_ctx.hosts), m_ctx.settings.TimeFinetune, &m_ctx.window);
        connect(m_dialog, &frmSync::fineTuneChosen, this, [this](const FixedSeconds &fineTune) {
            m_ctx.settings.TimeFinetune = fineTune;
            SaveRegDword(m_ctx.store, RegRoot::CurrentUser, QString::fromUtf16(kSettingsKey),
                QString::fromUtf16(SettingName::TimeFinetune), fineTune.toStored());
        });
    }
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}

frmSync *ClockCommands::dialog() const
{
    return m_dialog;
}

void ClockCommands::reportCorrectionFailure(const QString &message)
{
    // Never a modal box: the notification area, or the status bar without one, and the
    // dialog when it is open.
    m_ctx.notifier.tellUser(message);
    if (m_dialog)
        m_dialog->showClockMessage(message);
}

void ClockCommands::cmdOpenClockDialog_Click()
{
    if (!m_ctx.list.IsItemSelected())
        return;
    const std::optional<ClockTarget> target = clockTargetFor(m_ctx.list.selectedItemText(), m_ctx.records);
    if (!target)
        return;
    if (!m_clockWindow) {
        // One window for every opening; it belongs to the main window and goes with it.
        m_clockWindow = new frmAlarm(
            m_ctx.clock, m_ctx.store, m_ctx.prompter, m_ctx.configPath, m_ctx.resourceFolder, &m_ctx.window);
    }
    m_clockWindow->openFor(*target);
}

frmAlarm *ClockCommands::clockWindow() const
{
    return m_clockWindow;
}

} // namespace th
