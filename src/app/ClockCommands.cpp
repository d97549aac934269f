#include "app/ClockCommands.h"

#include <QAction>
#include <QLabel>

#include "app/frmResource.h"
#include "app/frmWatch.h"
#include "clock/ClockSync.h"
#include "clock/TimeServerTable.h"
#include "clock/ui/frmSync.h"
#include "common/Version.h"
#include "config/AppSettings.h"
#include "config/HostConfig.h"
#include "platform/ITray.h"
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
    connect(
        m_ctx.window.listMenu.mnuSyncClock, &QAction::triggered, this, &ClockCommands::mnuSyncClock_Click);
}

void ClockCommands::mnuSyncClock_Click()
{
    if (!m_dialog) {
        // The dialog reads its own time-server table at each load.
        QStringList configured;
        for (int i = 0; i < TimeServerTable::kCount; ++i)
            configured.append(m_ctx.hosts.timeServer(i).text);
        m_dialog = new frmSync(
            frmSync::Context { m_ctx.clockSync, m_ctx.state, m_ctx.clock, m_ctx.connection, m_ctx.prompter },
            TimeServerTable(configured), m_ctx.settings.TimeFinetune, &m_ctx.window);
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
    if (m_ctx.tray.isAvailable())
        m_ctx.tray.showMessage(QString::fromLatin1(kProgramTitle), message);
    else
        m_ctx.window.ui.panels[1]->setText(message);
    if (m_dialog)
        m_dialog->showClockMessage(message);
}

} // namespace th
