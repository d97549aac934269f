#include "app/ClockCommands.h"

#include <QAction>
#include <QLabel>

#include "app/frmResource.h"
#include "app/frmWatch.h"
#include "clock/ClockSync.h"
#include "clock/TimeServerTable.h"
#include "clock/ui/frmSync.h"
#include "common/Version.h"
#include "platform/ITray.h"
#include "watchlist/AppSettings.h"
#include "watchlist/HostConfig.h"
#include "watchlist/RegistryFunctions.h"
#include "watchlist/WatchStore.h"

namespace th {

ClockCommands::ClockCommands(Parts parts, QObject *parent)
    : QObject(parent)
    , m_p(parts)
{
    AutoClockCheck &check = m_p.resource.clockCheck;
    check.attach(m_p.clockSync, [&settings = m_p.settings] { return settings.AutoAdjustTime != 0; });
    connect(
        &check, &AutoClockCheck::correctionFailureToReport, this, &ClockCommands::reportCorrectionFailure);
    connect(m_p.resource.mnuSyncClock, &QAction::triggered, this, &ClockCommands::mnuSyncClock_Click);
    connect(m_p.window.listMenu.mnuSyncClock, &QAction::triggered, this, &ClockCommands::mnuSyncClock_Click);
}

void ClockCommands::mnuSyncClock_Click()
{
    if (!m_dialog) {
        // The dialog reads its own time-server table at each load.
        QStringList configured;
        for (int i = 0; i < TimeServerTable::kCount; ++i)
            configured.append(m_p.hosts.timeServer(i).text);
        m_dialog = new frmSync(
            frmSync::Seams { m_p.clockSync, m_p.state, m_p.clock, m_p.connection, m_p.prompter },
            TimeServerTable(configured), m_p.settings.TimeFinetune, &m_p.window);
        connect(m_dialog, &frmSync::fineTuneChosen, this, [this](const FixedSeconds &fineTune) {
            m_p.settings.TimeFinetune = fineTune;
            SaveRegDword(m_p.store, RegRoot::CurrentUser, QString::fromUtf16(kSettingsKey),
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
    if (m_p.tray.isAvailable())
        m_p.tray.showMessage(QString::fromLatin1(kProgramTitle), message);
    else
        m_p.window.ui.panels[1]->setText(message);
    if (m_dialog)
        m_dialog->showClockMessage(message);
}

} // namespace th
