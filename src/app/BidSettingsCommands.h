#pragma once

#include <functional>
#include <optional>

#include <QObject>
#include <QPointer>

#include "autobid/BidSettings.h"

namespace th {

class BidGroupBook;
class IClock;
class IPrompter;
class RegistryStore;
class WatchItems;
class WatchListModel;
class frmWatch;
struct AppSettings;
class frmBidGroups;

// The list menu's commands on one item's bid settings: set and remove the automatic bid,
// set and remove the reminder note of the highest price, and the window of the bid groups. After every window
// or question the item's row and record are found again by its number: a pass may have sorted the list
// meanwhile.
class BidSettingsCommands final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BidSettingsCommands)

public:
    struct Context {
        frmWatch &window;
        WatchListModel &model;
        WatchItems &records;
        RegistryStore &store;
        AppSettings &settings;
        IPrompter &prompter;
        IClock &clock;
        BidGroupBook &groups;
        // Shows the settings dialog (when no account of the auction site is set).
        std::function<void()> openSettings;
        // Shows the automatic-bid dialog; the confirmed values, or nothing.
        std::function<std::optional<AutoBidEntry>(const AutoBidDialogValues &)> askAutoBid;
    };

    explicit BidSettingsCommands(Context context, QObject *parent = nullptr);

    void mnuSetAutoBid_Click();
    void mnuRemoveAutoBid_Click();
    void mnuRemarkPrice_Click();
    void mnuRemoveMaxbid_Click();
    // The one "Bid Groups" window, opened or brought to the front.
    void mnuBidGroups_Click();

Q_SIGNALS:
    // An automatic bid was set or removed on `item`.
    void autoBidChanged(const QString &item);

private:
    QString selectedItem() const;
    void setToolTip(const QString &text);
    // The record of `item`, or none.
    WatchItemRecord *recordOf(const QString &item) const;
    // Stores the dialog's group and limit beside the automatic bid just stored, and tells
    // the user when the item ends too close to another member for both to count on results.
    void storeGroupChoice(const QString &item, const AutoBidEntry &entry);
    // Some of the bid's values did not reach the store (a full disk): the user is told, and a
    // bid whose group was lost is not left armed.
    void tellNotStored(const QString &item, const AutoBidEntry &entry);

    Context m_ctx;
    QPointer<frmBidGroups> m_groupsWindow;
};

} // namespace th
