#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QObject>
#include <QPointer>
#include <QString>

#include "common/HostPort.h"
#include "config/AppSettings.h"

namespace th {

class AlertCentre;
class AutoBidTrigger;
class BidLogModel;
class BidRunner;
class frmBidLog;
class IBrowserFactory;
class IBrowserSession;
class frmWatch;
class IClock;
class IPrompter;
class IShell;
class RegistryStore;
class SleepGuardPolicy;
class UpdateEngine;
class UserNotifier;
class WatchItems;
class WatchListModel;

// The two bids the user starts by hand on the selected item: a real bid now with the
// automatic bid's stored amount and quantity, and a fill-in bid whose amount the user types,
// which stops at the filled sign-in page so that the user confirms it in the browser window.
// Each runs as a bid of its own beside any other. The web-mail shortcuts open their start
// page in a plain window that has nothing to do with the bids. The
// automatic bids' trigger ticks on the main window's timer once the first pass is complete
// and shows its state there; the computer is kept awake for the bids as the list changes.
class BidCommands final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BidCommands)

public:
    struct Context {
        frmWatch &window;
        WatchListModel &model;
        WatchItems &records;
        RegistryStore &store;
        const AppSettings &settings;
        IPrompter &prompter;
        IShell &shell;
        IClock &clock;
        AutoBidTrigger &trigger;
        BidRunner &runner;
        BidLogModel &bidLog;
        IBrowserFactory &browser;
        UpdateEngine &engine;
        SleepGuardPolicy &sleepGuard;
        AlertCentre &alerts;
        UserNotifier &notifier;
        HostPort bidHistory;
        HostPort hotmail;
        HostPort yahooMail;
        // The settings dialog, modal; it may change the account.
        std::function<void()> openSettings;
    };

    explicit BidCommands(Context context, QObject *parent = nullptr);
    ~BidCommands() override;

    void cmdTestAutoBid_Click();
    void cmdBidReady_Click();
    void mnuHotmail_Click();
    void mnuYahoo_Click();
    // The bid log window, opened once and brought to the front after that.
    void openBidLog();
    frmBidLog *bidLogWindow() const;

private:
    void connectTrigger();
    QString selectedItem() const;
    // The error that ends a fill-in bid which went wrong.
    void fillInFailed();
    // Opens a web-mail start page once the service's account is set; the settings come first
    // when it is not.
    void openWebMail(
        const QString AppSettings::*id, const QString AppSettings::*password, const HostPort &host);

    Context m_ctx;
    // The web-mail windows: the user's from the start, kept until the program ends.
    std::vector<std::unique_ptr<IBrowserSession>> m_webMail;
    QPointer<frmBidLog> m_bidLogWindow;
};

} // namespace th
