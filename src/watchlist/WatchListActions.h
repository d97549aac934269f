#pragma once

#include <QDateTime>
#include <QString>

namespace th {

class RegistryStore;
class WatchItems;
class WatchListModel;

// What the watch list does with the store and the rows, without any window: filling the
// list, adding and removing items, and the feedback of selecting a row.
class WatchListActions final {
public:
    WatchListActions(RegistryStore &store, WatchListModel &model, WatchItems &records);

    // Steps 1 to 5 of filling the list: empty it first when `reload` is set, then one row
    // per stored item (in the store's order, blanks trimmed) with empty sub-items, and one
    // run-time record per row (existing records kept). A stored key whose name is not an
    // item number gets a log line instead of a row. Returns the number of rows.
    int fillFromStore(bool reload);

    enum class AddResult {
        Empty, // nothing typed: the dialog stays open for the number
        NotAnItemNumber, // the dialog stays open for a correction
        AlreadyStored, // the dialog stays open
        Added,
    };
    struct AddOutcome {
        AddResult result = AddResult::Empty;
        QString itemNumber; // trimmed
        int row = -1; // the new row
    };
    // Checks the typed number, then writes the item key and appends the row.
    AddOutcome addItem(const QString &typed);

    // Deletes the item of `row` from the store and the list. Returns the row to select
    // afterwards (the same position, or the new last row), -1 when the list is empty.
    int removeItem(int row);

    struct Feedback {
        QString toolTip;
        int icon = 1;
        int autoBidIndex = 0; // the item's run-time record, 0 when it has none yet
    };
    // The tool tip and icon a click on `row` gives, from the stored bid settings, the won
    // mark and the run-time record.
    Feedback selectionFeedback(int row, const QDateTime &now) const;

private:
    RegistryStore &m_store;
    WatchListModel &m_model;
    WatchItems &m_records;
};

// The line a member of a bid group adds to its row's tip: a new line naming the group; "" for
// an item in no group.
QString bidGroupTipLine(const QString &group);

// The page of an item on the auction site's item-page host ("host" or "host:port").
QString itemPageAddress(const QString &itemPageHost, const QString &itemNumber);

} // namespace th
