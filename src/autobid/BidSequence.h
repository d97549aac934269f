#pragma once

#include <memory>
#include <vector>

#include <QObject>
#include <QString>
#include <QUrl>

#include "common/HostPort.h"
#include "common/Money.h"

namespace th {

struct AppSettings;
class IBrowserFactory;
class IBrowserSession;

// The browser window of a bid and the steps that walk it through the auction site's pages:
// on the item page the bid form gets the amount and quantity and is submitted; on the sign-in
// page that follows, the user's ID and password are filled in, and for a real bid that form
// is submitted too, which places the bid. A fill-in bid stops there and leaves the final
// click to the user in the open window.
//
// A sequence remembers the item it was started for and follows only that item's page,
// whatever row the list has selected meanwhile. Values go only to pages of the configured
// item-page host (see BidAddresses.h).
class BidSequence final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BidSequence)

public:
    struct Context {
        IBrowserFactory &browser;
        const AppSettings &settings; // the auction-site account, read at every page
        HostPort itemPage;
    };

    explicit BidSequence(Context context, QObject *parent = nullptr);
    ~BidSequence() override;

    // Opens a new window on `item`'s page and follows it from now on; the previous window is
    // released (it stays open for the user). False when no browser window could be made.
    bool openItemPage(const QString &item);
    // Opens a window on some other page in place of the bid window (the web-mail shortcuts):
    // the bid window is no longer followed. False when no browser window could be made.
    bool openOtherPage(const QUrl &url);
    // IE = none: the window stays open and belongs to the user.
    void releaseWindow();

    // The page handler: the four steps, in order, on every completed document.
    void IE_DocumentComplete(const QUrl &url, bool topLevel);

    const HostPort &itemPageHost() const { return m_ctx.itemPage; }
    IBrowserSession *IE() const { return m_ie.get(); }
    bool running() const { return blnFillOnly || blnFillOnlyStep2 || blnAutoBid || blnAutoBidStep2; }

    bool blnFillOnly = false;
    bool blnFillOnlyStep2 = false;
    bool blnAutoBid = false;
    bool blnAutoBidStep2 = false;
    Money curBidAmount;
    qint16 intBidQuantity = 0;
    // The item the sequence was started for: plain digits.
    QString item;

Q_SIGNALS:
    // Every page of a real bid's second step: the periodic work starts again.
    void periodicWorkRestartRequested();
    // Progress, for the log and the measurements.
    void bidFormSubmitted(const QString &item);
    void signInFilled(const QString &item, bool submitted);

private:
    // The walk over a form's elements: the first element named `name` gets `value`.
    // False when the form does not exist; `found` tells whether the element did.
    bool fillFirst(int form, const QString &name, const QString &value, bool *found = nullptr);
    // The account into `form`'s user and password fields; true when it has a password field.
    bool fillAccount(int form);
    // Amount and quantity into `form`, then the form submitted. False when the form is missing.
    bool submitBidForm(int form);
    bool itemPageStep();
    void fillInSignInStep();
    void realBidSignInStep(const QUrl &url, bool topLevel);
    bool adopt(std::unique_ptr<IBrowserSession> session);

    Context m_ctx;
    std::unique_ptr<IBrowserSession> m_ie;
    // Released windows' sessions: they drive nothing any more but are kept until the end, as a
    // session may be released while it is announcing its own page.
    std::vector<std::unique_ptr<IBrowserSession>> m_released;
};

} // namespace th
