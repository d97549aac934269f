#include "app/UpdateCommands.h"

#include <QAction>
#include <QPointer>

#include "app/WatchListCommands.h"
#include "app/frmResource.h"
#include "app/frmWatch.h"
#include "clock/ClockSync.h"
#include "common/Formats.h"
#include "common/Timers.h"
#include "config/AppSettings.h"
#include "engine/CommandState.h"
#include "engine/UpdateEngine.h"
#include "platform/IClock.h"
#include "platform/IPrompter.h"
#include "platform/ITray.h"
#include "watchlist/ui/RowIcons.h"

namespace th {

UpdateCommands::UpdateCommands(Context context, QObject *parent)
    : QObject(parent)
    , m_ctx(context)
{
    frmWatch &w = m_ctx.window;
    UpdateEngine &engine = m_ctx.engine;

    w.offerInListMenu(
        { WatchCommand::UpdateSelectedFromMenu, WatchCommand::UpdateAll, WatchCommand::AutomaticUpdate });
    m_ctx.resource.mnuGetItemInfo->setEnabled(true);

    connect(m_ctx.resource.mnuGetItemInfo, &QAction::triggered, &engine, &UpdateEngine::subActive2);
    connect(&w, &frmWatch::commandChosen, this, [this](WatchCommand command) {
        switch (command) {
        case WatchCommand::UpdateAll:
            return updateAllNow();
        case WatchCommand::UpdateSelectedFromMenu:
            return mnuUpdateCurrentItem_Click();
        case WatchCommand::UpdateSelected:
            return cmdUpdateOneItem_Click();
        case WatchCommand::AutomaticUpdate:
            return mnuAutoUpdate_Click();
        default:
            return;
        }
    });
    connect(&w.tmrUpdateCurrentItem, &QTimer::timeout, this, &UpdateCommands::tmrUpdateCurrentItem_Timer);
    connect(&w.tmShowSysClock, &QTimer::timeout, this, &UpdateCommands::tmShowSysClock_Timer);

    // A text longer than its panel can still be read whole.
    connect(&engine, &UpdateEngine::statusChanged, &w, &frmWatch::setStatusPanelWithTip);
    connect(&engine, &UpdateEngine::engineLabelChanged, &w, &frmWatch::setEngineLabel);
    connect(&engine, &UpdateEngine::commandsChanged, this, &UpdateCommands::applyCommandState);
    connect(&engine, &UpdateEngine::countdownCaptionChanged, &w, &frmWatch::setCountdownCaption);
    connect(&engine, &UpdateEngine::reSortRequested, &m_ctx.list, &WatchListCommands::subReSortItemByDate);
    connect(&engine, &UpdateEngine::applyFailed, this, [this](const QString &message) {
        m_ctx.prompter.message(message, QStringLiteral("Tallyhawk"), PromptIcon::None, PromptButtons::Ok);
    });
    connect(&engine, &UpdateEngine::passPagesNotApplied, this, &UpdateCommands::tellPassFailures);
}

void UpdateCommands::applyCommandState(const CommandState &state)
{
    m_ctx.window.applyCommandState(state);
    m_ctx.resource.mnuSetUpWatch->setEnabled(state.trayUpdate);
    m_ctx.resource.mnuGetItemInfo->setEnabled(state.trayUpdate);
}

void UpdateCommands::tellPassFailures(const QString &message)
{
    const QString title = QStringLiteral("Tallyhawk");
    if (!m_ctx.window.isVisible() && m_ctx.tray.isAvailable()) {
        m_ctx.tray.showMessage(title, message);
        return;
    }
    // Passes go on behind the box; a user away from the window finds one box, not one a pass.
    if (m_failureBoxOpen)
        return;
    m_failureBoxOpen = true;
    const QPointer<UpdateCommands> self(this);
    m_ctx.prompter.message(message, title, PromptIcon::None, PromptButtons::Ok);
    if (self)
        m_failureBoxOpen = false;
}

void UpdateCommands::updateAllNow()
{
    m_ctx.engine.subActive2();
    if (m_ctx.list.reSortPending) {
        m_ctx.list.reSortPending = false;
        m_ctx.list.subReSortItemByDate();
    }
}

void UpdateCommands::mnuUpdateCurrentItem_Click()
{
    m_ctx.engine.updateOneBids(m_ctx.window.selectedRow());
    m_ctx.list.reSortPending = false;
    m_ctx.list.subReSortItemByDate();
}

void UpdateCommands::cmdUpdateOneItem_Click()
{
    if (m_ctx.window.itemCount() == 0)
        return;
    if (!m_ctx.list.IsItemSelected()) {
        m_ctx.prompter.message(QStringLiteral("Please select an item you would like to update"),
            QStringLiteral("Error: No item found"), PromptIcon::Information, PromptButtons::Ok);
        return;
    }
    m_ctx.engine.updateOneBids(m_ctx.window.selectedRow());
    m_ctx.list.reSortPending = true;
    m_ctx.list.subReSortItemByDate();
}

void UpdateCommands::tmrUpdateCurrentItem_Timer()
{
    disableTimer(m_ctx.window.tmrUpdateCurrentItem);
    m_ctx.engine.updateOneBids(m_ctx.window.selectedRow());
    m_ctx.list.reSortPending = false;
    m_ctx.list.subReSortItemByDate();
}

void UpdateCommands::mnuAutoUpdate_Click()
{
    // The entry has already flipped its check mark when this runs.
    const bool on = m_ctx.window.automaticUpdateOn();
    m_ctx.window.showAutomaticUpdate(on);
    m_ctx.engine.setAutomaticUpdate(on);
}

void UpdateCommands::tmShowSysClock_Timer()
{
    frmWatch &w = m_ctx.window;
    const qint64 fineTune = m_ctx.settings.TimeFinetune.msecs();
    w.setStatusPanel(4, u"Time: " + formatClock(m_ctx.clock.now().addMSecs(fineTune).time()));
    m_ctx.clockSync.GetPacificOffsetHours();
    w.setStatusPanel(5, u"Ebay: " + formatClock(m_ctx.clockSync.auctionSiteNow().addMSecs(fineTune).time()));
    for (int i = 0; i < UpdateEngine::kEngines; ++i) {
        if (m_ctx.engine.tmrSockTimeOut[i].isActive()) {
            w.setEngineLight(i, engineLight(kLightBusy));
        } else {
            w.setEngineLabel(i, QStringLiteral("Engine-%1").arg(i + 1));
            w.setEngineLight(i, engineLight(kLightIdle));
        }
    }
    w.setStatusPanel(3, QStringLiteral("Total Item(s): %1").arg(w.itemCount()));
}

} // namespace th
