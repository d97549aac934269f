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

SettingsCommands::SettingsCommands(Context context, QObject *parent)
    : QObject(parent)
    , m_ctx(std::move(context))
{
}

void SettingsCommands::connectMenus(frmResource &resource, frmWatch &window)
{
    connect(resource.mnuSystemSetting, &QAction::triggered, this, [this] { openSettings(nullptr); });
    QPointer<frmWatch> owner(&window);
    connect(&window, &frmWatch::commandChosen, this, [this, owner](WatchCommand command) {
        if (command == WatchCommand::OpenSettings)
            openSettings(owner);
    });
}

void SettingsCommands::openSettings(QWidget *owner)
{
    if (m_dialog) {
        m_dialog->raise();
        m_dialog->activateWindow();
        return;
    }
    ISoundPlayer &sound = m_ctx.sound;
    const QString defaultSound = AppPaths::join(m_ctx.resourceFolder, QStringLiteral("default.wav"));
    m_dialog = new frmEmailWebBased(
        SettingsEditor::Context { m_ctx.settings, m_ctx.store, m_ctx.prompter, m_ctx.startupEntry,
            m_ctx.resourceFolder,
            [&sound, defaultSound](const QString &path) { PlaySoundFile(sound, path, defaultSound); },
            m_ctx.configPath },
        owner);
    connect(
        m_dialog, &frmEmailWebBased::updateIntervalChanged, this, &SettingsCommands::updateIntervalChanged);
    LiveTimeLeft &live = m_ctx.liveTimeLeft;
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
    enableTimer(m_ctx.engine.tmrDelayUpdateBid);
    m_ctx.model.switchOwnSortingOn();
}

} // namespace th
