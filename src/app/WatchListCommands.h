#pragma once

#include <functional>

#include <QObject>
#include <QPointer>

namespace th {

class frmWatch;
class IClock;
class IPrompter;
class IShell;
class WatchItems;
class WatchListActions;
class WatchListModel;

// The main window's commands on the watch list: add, remove, open the item page, copy the
// item number, and the feedback of selecting a row. Every message goes through the prompt
// seam; rows are looked up again by item number after anything modal.
class WatchListCommands final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WatchListCommands)

public:
    struct Context {
        WatchItems &records;
        IPrompter &prompter;
        IShell &shell;
        IClock &clock;
    };

    WatchListCommands(frmWatch &window, WatchListModel &model, WatchListActions &actions, Context context,
        QObject *parent = nullptr);

    // The host (and port) of the item pages, from the configuration.
    void setItemPageHost(const QString &host) { m_itemPageHost = host; }
    QString itemPageHost() const { return m_itemPageHost; }

    // The re-sort flag: set when an item is added; the update commands that find it set
    // clear it and re-sort.
    bool reSortPending = false;
    // The current record of the auto-bid commands, set by a click.
    int gintAutoBidIndex = 0;

    bool IsItemSelected() const;
    QString selectedItemText() const;

    void cmdAddItem_Click();
    // The dialog's OK: true when the dialog closes.
    bool addItemFromDialog(const QString &typed);
    void cmdRemove_Click();
    void cmdGoTo_Click();
    void mnuCopyItem2Clipboard_Click();
    void lstWatching_Click();
    // Selects the row whose item text (its first 32 characters) is `itemText`, both trimmed.
    void SelectRowByItemNumber(const QString &itemText);
    // The end-date order, keeping the selected item selected.
    void subReSortItemByDate();
    // Fills the list from the store; its last steps start the update of all items and
    // switch the list's own sorting on.
    void updateItems();
    // Empties the list and fills it from the store again, each item keeping its record.
    void reloadListKeepingRecords();

    // Set by an import: the next fill empties the list first.
    bool listReloadFlag = false;
    // The update of all items, started at the end of every fill (the engine's pass start),
    // and stopped before a reload.
    std::function<void()> passStart;
    std::function<void()> passStop;
    // The last bid's outcome on an item, added to its row's tip; empty when it has none.
    std::function<QString(const QString &item)> bidNote;

Q_SIGNALS:
    // An item was added: the single-item update half a second later re-sorts the list.
    void itemAdded(const QString &itemNumber);
    // The user removed an item from the list: anything still running for it stops.
    void itemRemoved(const QString &itemNumber);
    // The list was filled from the store again, or lost an item: what is kept per item
    // beside the records is read afresh.
    void listChanged();

private:
    frmWatch &m_window;
    WatchListModel &m_model;
    WatchListActions &m_actions;
    Context m_ctx;
    QString m_itemPageHost;
};

} // namespace th
