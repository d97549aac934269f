#include "app/SettingsCommands.h"

#include <QAction>

#include "alerts/PlaySoundFile.h"
#include "app/frmResource.h"
#include "app/frmWatch.h"
#include "common/Timers.h"
#include "engine/UpdateEngine.h"
#include "platform/AppPaths.h"
#include "settings/ui/frmEmailWebBased.h"
#include "watchlist/LiveTimeLeft.h"
#include "watchlist/WatchListModel.h"

namespace th {

SettingsCommands::SettingsCommands(Parts parts, QObject *parent)
    : QObject(parent)
    , m_p(std::move(parts))
{
}

void SettingsCommands::connectMenus(frmResource &resource, frmWatch &window)
{
    connect(resource.mnuSystemSetting, &QAction::triggered, this, [this] { openSettings(nullptr); });
    QPointer<frmWatch> owner(&window);
    for (QAction *entry : { window.listMenu.mnuEbaySetting, window.listMenu.mnuEmailSetting })
        connect(entry, &QAction::triggered, this, [this, owner] { openSettings(owner); });
}

void SettingsCommands::openSettings(QWidget *owner)
{
    if (m_dialog) {
        m_dialog->raise();
        m_dialog->activateWindow();
        return;
    }
    ISoundPlayer &sound = m_p.sound;
    const QString defaultSound = AppPaths::join(m_p.resourceFolder, QStringLiteral("default.wav"));
    m_dialog = new frmEmailWebBased(
        SettingsEditor::Context { m_p.settings, m_p.store, m_p.prompter, m_p.startupEntry, m_p.resourceFolder,
            [&sound, defaultSound](const QString &path) { PlaySoundFile(sound, path, defaultSound); },
            m_p.configPath },
        owner);
    connect(
        m_dialog, &frmEmailWebBased::updateIntervalChanged, this, &SettingsCommands::updateIntervalChanged);
    LiveTimeLeft &live = m_p.liveTimeLeft;
    connect(
        m_dialog, &frmEmailWebBased::liveTimeLeftChanged, this, [&live](bool on) { live.setEnabled(on); });
    m_dialog->exec();
    // The program may have ended meanwhile and taken the owner, and the dialog, with it.
    delete m_dialog.data();
}

frmEmailWebBased *SettingsCommands::dialog() const
{
    return m_dialog;
}

void SettingsCommands::updateIntervalChanged()
{
    enableTimer(m_p.engine.tmrDelayUpdateBid);
    m_p.model.switchOwnSortingOn();
}

} // namespace th
