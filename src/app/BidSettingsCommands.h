#pragma once

#include <functional>
#include <optional>

#include <QObject>

#include "autobid/BidSettings.h"

namespace th {

class IClock;
class IPrompter;
class RegistryStore;
class WatchItems;
class WatchListModel;
class frmWatch;
struct AppSettings;

// The list menu's commands on one item's bid settings: set and remove the automatic bid,
// set and remove the reminder note of the highest price. After every window or question the
// item's row and record are found again by its number: a pass may have sorted the list
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

Q_SIGNALS:
    // An automatic bid was set or removed on `item`.
    void autoBidChanged(const QString &item);

private:
    QString selectedItem() const;
    void setToolTip(const QString &text);
    // The record of `item`, or none.
    WatchItemRecord *recordOf(const QString &item) const;

    Context m_ctx;
};

} // namespace th
