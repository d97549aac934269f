#include "app/UpdateCommands.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>

#include "app/WatchListCommands.h"
#include "app/frmResource.h"
#include "app/frmWatch.h"
#include "clock/ClockSync.h"
#include "common/Formats.h"
#include "common/Timers.h"
#include "config/AppSettings.h"
#include "engine/UpdateEngine.h"
#include "platform/IClock.h"
#include "platform/IPrompter.h"
#include "platform/ITray.h"
#include "watchlist/WatchListModel.h"
#include "watchlist/ui/RowIcons.h"
#include "watchlist/ui/WatchListView.h"

namespace th {

namespace {

// A label given a picture repaints even when it is the one it shows; the lights are set
// every second, and change only when an engine starts or ends its work.
void showLight(QLabel *light, const QPixmap &image)
{
    if (light->pixmap().cacheKey() != image.cacheKey())
        light->setPixmap(image);
}

} // namespace

UpdateCommands::UpdateCommands(Context context, QObject *parent)
    : QObject(parent)
    , m_ctx(context)
{
    frmWatch &w = m_ctx.window;
    UpdateEngine &engine = m_ctx.engine;
    ListMenu &menu = w.listMenu;

    for (QAction *action : { menu.mnuUpdateCurrentItem, menu.mnuUpdate, menu.mnuAutoUpdate })
        action->setEnabled(true);
    m_ctx.resource.mnuGetItemInfo->setEnabled(true);

    connect(m_ctx.resource.mnuGetItemInfo, &QAction::triggered, &engine, &UpdateEngine::subActive2);
    connect(menu.mnuUpdate, &QAction::triggered, this, &UpdateCommands::updateAllNow);
    connect(w.ui.Command1, &QPushButton::clicked, this, &UpdateCommands::updateAllNow);
    connect(
        menu.mnuUpdateCurrentItem, &QAction::triggered, this, &UpdateCommands::mnuUpdateCurrentItem_Click);
    connect(w.ui.cmdUpdateOneItem, &QPushButton::clicked, this, &UpdateCommands::cmdUpdateOneItem_Click);
    connect(&w.tmrUpdateCurrentItem, &QTimer::timeout, this, &UpdateCommands::tmrUpdateCurrentItem_Timer);
    connect(menu.mnuAutoUpdate, &QAction::triggered, this, &UpdateCommands::mnuAutoUpdate_Click);
    connect(&w.tmShowSysClock, &QTimer::timeout, this, &UpdateCommands::tmShowSysClock_Timer);

    connect(&engine, &UpdateEngine::statusChanged, this, [this](int panel, const QString &text) {
        if (panel >= 1 && panel <= 5) {
            m_ctx.window.ui.panels[panel]->setText(text);
            // A text longer than its panel can still be read whole.
            m_ctx.window.ui.panels[panel]->setToolTip(text);
        }
    });
    connect(&engine, &UpdateEngine::engineLabelChanged, this,
        [this](int index, const QString &text) { m_ctx.window.ui.chkSockStatus[index]->setText(text); });
    connect(&engine, &UpdateEngine::commandsChanged, this, &UpdateCommands::applyCommandState);
    connect(&engine, &UpdateEngine::countdownCaptionChanged, this,
        [this](const QString &caption) { m_ctx.window.ui.frmeAddSort->setTitle(caption); });
    connect(&engine, &UpdateEngine::reSortRequested, &m_ctx.list, &WatchListCommands::subReSortItemByDate);
    connect(&engine, &UpdateEngine::applyFailed, this, [this](const QString &message) {
        m_ctx.prompter.message(message, QStringLiteral("Tallyhawk"), PromptIcon::None, PromptButtons::Ok);
    });
    connect(&engine, &UpdateEngine::passPagesNotApplied, this, &UpdateCommands::tellPassFailures);
    engine.setSelectedRowSource([this] { return m_ctx.window.ui.lstWatching->selectedRow(); });
}

void UpdateCommands::applyCommandState(const CommandState &state)
{
    frmWatch &w = m_ctx.window;
    // A button that locks while it has the focus would pass the focus on down the window,
    // to "Close", which a Space then presses: the list takes it instead.
    const QWidget *focus = w.focusWidget();
    const bool focusLocks = (focus == w.ui.cmdAddItem && !state.addRemove)
        || (focus == w.ui.cmdRemove && !state.addRemove)
        || (focus == w.ui.cmdUpdateOneItem && !state.updateOne)
        || (focus == w.ui.Command1 && !state.updateAll);
    if (focusLocks)
        w.ui.lstWatching->setFocus();
    m_ctx.resource.mnuSetUpWatch->setEnabled(state.trayUpdate);
    m_ctx.resource.mnuGetItemInfo->setEnabled(state.trayUpdate);
    w.ui.cmdAddItem->setEnabled(state.addRemove);
    w.ui.cmdRemove->setEnabled(state.addRemove);
    w.listMenu.mnuLVPopup->setEnabled(state.addRemove);
    w.ui.cmdUpdateOneItem->setEnabled(state.updateOne);
    w.ui.Command1->setEnabled(state.updateAll);
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
    m_ctx.engine.updateOneBids();
    m_ctx.list.reSortPending = false;
    m_ctx.list.subReSortItemByDate();
}

void UpdateCommands::cmdUpdateOneItem_Click()
{
    if (m_ctx.window.ui.lstWatching->model()->rowCount() == 0)
        return;
    if (!m_ctx.list.IsItemSelected()) {
        m_ctx.prompter.message(QStringLiteral("Please select an item you would like to update"),
            QStringLiteral("Error: No item found"), PromptIcon::Information, PromptButtons::Ok);
        return;
    }
    m_ctx.engine.updateOneBids();
    m_ctx.list.reSortPending = true;
    m_ctx.list.subReSortItemByDate();
}

void UpdateCommands::tmrUpdateCurrentItem_Timer()
{
    disableTimer(m_ctx.window.tmrUpdateCurrentItem);
    m_ctx.engine.updateOneBids();
    m_ctx.list.reSortPending = false;
    m_ctx.list.subReSortItemByDate();
}

void UpdateCommands::mnuAutoUpdate_Click()
{
    QAction *action = m_ctx.window.listMenu.mnuAutoUpdate;
    // The action has already flipped its check mark when this runs.
    const bool on = action->isChecked();
    action->setText(on ? QStringLiteral("Automatic Update (ON)") : QStringLiteral("Automatic Update (OFF)"));
    m_ctx.engine.setAutomaticUpdate(on);
}

void UpdateCommands::tmShowSysClock_Timer()
{
    WatchWindowUi &ui = m_ctx.window.ui;
    const qint64 fineTune = m_ctx.settings.TimeFinetune.msecs();
    ui.panels[4]->setText(u"Time: " + formatClock(m_ctx.clock.now().addMSecs(fineTune).time()));
    m_ctx.clockSync.GetPacificOffsetHours();
    ui.panels[5]->setText(
        u"Ebay: " + formatClock(m_ctx.clockSync.auctionSiteNow().addMSecs(fineTune).time()));
    for (int i = 0; i < UpdateEngine::kEngines; ++i) {
        if (m_ctx.engine.tmrSockTimeOut[i].isActive()) {
            showLight(ui.picSockStatus[i], engineLight(kLightBusy));
        } else {
            ui.chkSockStatus[i]->setText(QStringLiteral("Engine-%1").arg(i + 1));
            showLight(ui.picSockStatus[i], engineLight(kLightIdle));
        }
    }
    const int rows = m_ctx.window.ui.lstWatching->model()->rowCount();
    ui.panels[3]->setText(QStringLiteral("Total Item(s): %1").arg(rows));
}

} // namespace th
