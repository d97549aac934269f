#include "app/WatchListCommands.h"

#include <QApplication>
#include <QClipboard>
#include <QHash>

#include "app/frmWatch.h"
#include "common/Timers.h"
#include "platform/IClock.h"
#include "platform/IPrompter.h"
#include "platform/IShell.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListActions.h"
#include "watchlist/WatchListModel.h"
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
    connect(&m_window, &frmWatch::commandChosen, this, [this](WatchCommand command) {
        switch (command) {
        case WatchCommand::AddItem:
            return cmdAddItem_Click();
        case WatchCommand::RemoveItem:
            return cmdRemove_Click();
        case WatchCommand::OpenItemPage:
            return cmdGoTo_Click();
        case WatchCommand::CopyItemNumber:
            return mnuCopyItem2Clipboard_Click();
        default:
            return;
        }
    });
    connect(&m_window, &frmWatch::rowClicked, this, &WatchListCommands::lstWatching_Click);
    // A click on any header gives the end-date order, earliest first.
    connect(&m_window, &frmWatch::headerClicked, this, [this] { m_model.sortByEndDate(); });
}

bool WatchListCommands::IsItemSelected() const
{
    const int row = m_window.selectedRow();
    return row >= 0 && !m_model.rowText(row).isEmpty();
}

QString WatchListCommands::selectedItemText() const
{
    return m_window.selectedItem();
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
        // The user reads the message and types the number into the same dialog.
        return false;
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
    m_window.selectRow(m_model.findRow(outcome.itemNumber));
    enableTimer(m_window.tmrUpdateCurrentItem);
    Q_EMIT itemAdded(outcome.itemNumber);
    return true;
}

void WatchListCommands::cmdRemove_Click()
{
    if (m_model.rowCount() == 0)
        return;
    const int row = m_window.selectedRow();
    const QString item = m_model.rowText(row);
    if (item.isEmpty()) {
        m_ctx.prompter.message(QStringLiteral("Please select an item"), QStringLiteral("No further action"),
            PromptIcon::Critical, PromptButtons::Ok);
        return;
    }
    if (m_window.asksBeforeRemoving()) {
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
    Q_EMIT itemRemoved(item.trimmed());
    m_window.selectRow(m_actions.removeItem(position));
    Q_EMIT listChanged();
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
    const int row = m_window.selectedRow();
    if (m_model.rowCount() == 0 || row < 0)
        return;
    if (m_model.rowText(row).isEmpty()) {
        m_window.setListToolTip(QStringLiteral("Right click to Update Menu"));
        return;
    }
    m_window.AcknowledgeAlerts();
    const WatchListActions::Feedback feedback = m_actions.selectionFeedback(row, m_ctx.clock.now());
    const QString note = bidNote ? bidNote(m_model.rowText(row).trimmed()) : QString();
    m_window.setListToolTip(note.isEmpty() ? feedback.toolTip : feedback.toolTip + u'\n' + note);
    m_model.setIcon(row, feedback.icon);
    gintAutoBidIndex = feedback.autoBidIndex;
}

void WatchListCommands::SelectRowByItemNumber(const QString &itemText)
{
    constexpr int kItemTextLength = 32;
    const QString wanted = itemText.trimmed();
    for (int row = 0; row < m_model.rowCount(); ++row) {
        if (m_model.rowText(row).left(kItemTextLength).trimmed() == wanted) {
            m_window.selectRow(row);
            return; // the list selects one row at a time
        }
    }
}

void WatchListCommands::subReSortItemByDate()
{
    const QString selected = selectedItemText().trimmed();
    m_model.sortByEndDate();
    if (!selected.isEmpty())
        m_window.selectRow(m_model.findRow(selected));
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
    Q_EMIT listChanged();
}

void WatchListCommands::reloadListKeepingRecords()
{
    // No answer of a pass dealt over the old rows may land while the list is filled again.
    if (passStop)
        passStop();
    // What the program knows of each item stays with it: an automatic bid already started
    // must never start again because the list was reloaded.
    WatchItems &records = m_ctx.records;
    QHash<double, WatchItemRecord> known;
    for (int i = 1; i <= records.count(); ++i) {
        if (records.at(i).recItemNumber != 0)
            known.insert(records.at(i).recItemNumber, records.at(i));
    }
    listReloadFlag = true;
    updateItems();
    for (int i = 1; i <= records.count(); ++i) {
        const auto kept = known.constFind(m_model.rowText(i - 1).trimmed().toDouble());
        if (kept != known.constEnd())
            records.at(i) = *kept;
    }
    subReSortItemByDate();
    Q_EMIT listChanged();
}

} // namespace th
