#include "app/WatchListCommands.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QMenu>
#include <QPushButton>

#include "app/frmWatch.h"
#include "common/Timers.h"
#include "platform/IClock.h"
#include "platform/IPrompter.h"
#include "platform/IShell.h"
#include "watchlist/WatchListActions.h"
#include "watchlist/WatchListModel.h"
#include "watchlist/ui/WatchListView.h"
#include "watchlist/ui/frmAddItemAth.h"

namespace th {

WatchListCommands::WatchListCommands(
    frmWatch &window, WatchListModel &model, WatchListActions &actions, Context context, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_model(model)
    , m_actions(actions)
    , m_ctx(context)
{
    WatchWindowUi &ui = m_window.ui;
    connect(ui.cmdAddItem, &QPushButton::clicked, this, &WatchListCommands::cmdAddItem_Click);
    connect(ui.cmdRemove, &QPushButton::clicked, this, &WatchListCommands::cmdRemove_Click);
    connect(ui.cmdGoTo, &QPushButton::clicked, this, &WatchListCommands::cmdGoTo_Click);
    connect(m_window.listMenu.mnuOpenItem, &QAction::triggered, this, &WatchListCommands::cmdGoTo_Click);
    connect(m_window.listMenu.mnuCopyItem2Clipboard, &QAction::triggered, this,
        &WatchListCommands::mnuCopyItem2Clipboard_Click);
    connect(ui.lstWatching, &WatchListView::enterPressed, this, &WatchListCommands::cmdGoTo_Click);
    connect(ui.lstWatching, &WatchListView::itemClicked, this, &WatchListCommands::lstWatching_Click);
    connect(ui.lstWatching, &WatchListView::rightButtonDown, this,
        &WatchListCommands::lstWatching_RightButtonDown);
    // A click on any header gives the end-date order, earliest first.
    connect(ui.lstWatching, &WatchListView::headerClicked, this, [this] { m_model.sortByEndDate(); });
}

bool WatchListCommands::IsItemSelected() const
{
    const int row = m_window.ui.lstWatching->selectedRow();
    return row >= 0 && !m_model.rowText(row).isEmpty();
}

QString WatchListCommands::selectedItemText() const
{
    return m_model.rowText(m_window.ui.lstWatching->selectedRow());
}

void WatchListCommands::cmdAddItem_Click()
{
    frmAddItemAth dialog([this](const QString &typed) { return addItemFromDialog(typed); }, &m_window);
    dialog.exec();
}

bool WatchListCommands::addItemFromDialog(const QString &typed)
{
    const WatchListActions::AddOutcome outcome = m_actions.addItem(typed);
    switch (outcome.result) {
    case WatchListActions::AddResult::Empty:
        m_ctx.prompter.message(QStringLiteral("Please enter eBay's Item number or click Cancel"),
            QStringLiteral("Error: No information is entered"), PromptIcon::Information, PromptButtons::Ok);
        return true;
    case WatchListActions::AddResult::NotAnItemNumber:
        m_ctx.prompter.message(QStringLiteral("Please enter eBay Item# (numeric only)"),
            QStringLiteral("Error: Incorrect Data"), PromptIcon::Critical, PromptButtons::Ok);
        return false;
    case WatchListActions::AddResult::AlreadyStored:
        m_ctx.prompter.message(
            QStringLiteral(
                "You already have this item in the watch list\nPlease re-enter item or click cancel"),
            QStringLiteral("Already have item"), PromptIcon::Information, PromptButtons::Ok);
        return false;
    case WatchListActions::AddResult::Added:
        break;
    }
    reSortPending = true;
    m_window.ui.lstWatching->selectRow(m_model.findRow(outcome.itemNumber));
    enableTimer(m_window.tmrUpdateCurrentItem);
    Q_EMIT itemAdded(outcome.itemNumber);
    return true;
}

void WatchListCommands::cmdRemove_Click()
{
    if (m_model.rowCount() == 0)
        return;
    const int row = m_window.ui.lstWatching->selectedRow();
    const QString item = m_model.rowText(row);
    if (item.isEmpty()) {
        m_ctx.prompter.message(QStringLiteral("Please select an item"), QStringLiteral("No further action"),
            PromptIcon::Critical, PromptButtons::Ok);
        return;
    }
    if (!m_window.ui.ChkDeleteConfirm->isChecked()) {
        const QString question = u"Do you want to delete selected item from your watch list?\n\n> '"
            + m_model.subItem(row, WatchListModel::ItemName) + u"'";
        if (m_ctx.prompter.message(
                question, QStringLiteral("Save Watch List"), PromptIcon::Question, PromptButtons::YesNo)
            != PromptAnswer::Yes)
            return;
    }
    // The list may have changed while the question was open: find the item again.
    const int position = m_model.findRow(item);
    if (position < 0)
        return;
    m_window.ui.lstWatching->selectRow(m_actions.removeItem(position));
}

void WatchListCommands::cmdGoTo_Click()
{
    if (!IsItemSelected())
        return;
    m_ctx.shell.open(itemPageAddress(m_itemPageHost, selectedItemText()));
}

void WatchListCommands::mnuCopyItem2Clipboard_Click()
{
    if (m_model.rowCount() == 0 || selectedItemText().isEmpty())
        return;
    QGuiApplication::clipboard()->setText(selectedItemText());
    m_ctx.prompter.message(
        QStringLiteral("Copy Item# to clipboard successfully,\nPlease use Ctrl-V to paste/get the Item#"),
        QStringLiteral("Copy Item# to Clipboard"), PromptIcon::None, PromptButtons::Ok);
}

void WatchListCommands::lstWatching_Click()
{
    WatchListView *list = m_window.ui.lstWatching;
    const int row = list->selectedRow();
    if (m_model.rowCount() == 0 || row < 0)
        return;
    if (m_model.rowText(row).isEmpty()) {
        list->setToolTip(QStringLiteral("Right click to Update Menu"));
        return;
    }
    m_window.AcknowledgeAlerts();
    const WatchListActions::Feedback feedback = m_actions.selectionFeedback(row, m_ctx.clock.now());
    list->setToolTip(feedback.toolTip);
    m_model.setIcon(row, feedback.icon);
    gintAutoBidIndex = feedback.autoBidIndex;
}

void WatchListCommands::lstWatching_RightButtonDown(const QPoint &globalPos)
{
    QMenu *menu = m_window.listMenu.mnuLVPopup;
    if (menu->isEnabled())
        menu->popup(globalPos);
}

void WatchListCommands::SelectRowByItemNumber(const QString &itemText)
{
    constexpr int kItemTextLength = 32;
    const QString wanted = itemText.trimmed();
    for (int row = 0; row < m_model.rowCount(); ++row) {
        if (m_model.rowText(row).left(kItemTextLength).trimmed() == wanted) {
            m_window.ui.lstWatching->selectRow(row);
            return; // the list selects one row at a time
        }
    }
}

void WatchListCommands::subReSortItemByDate()
{
    const QString selected = selectedItemText().trimmed();
    m_model.sortByEndDate();
    if (!selected.isEmpty())
        m_window.ui.lstWatching->selectRow(m_model.findRow(selected));
}

void WatchListCommands::updateItems()
{
    m_actions.fillFromStore(listReloadFlag);
    listReloadFlag = false;
    // Let the new rows paint before the update of all items starts.
    QCoreApplication::processEvents();
    if (passStart)
        passStart();
    m_model.switchOwnSortingOn();
}

} // namespace th
