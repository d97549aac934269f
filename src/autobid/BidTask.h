#pragma once

#include <functional>
#include <memory>

#include <QObject>
#include <QString>
#include <QUrl>

#include "autobid/BidRecord.h"
#include "common/HostPort.h"

namespace th {

class IBrowserSession;
class IClock;

// What a bid is to do: which item, which kind, how much of it.
struct BidOrder {
    QString item; // plain digits
    QString title;
    BidKind kind = BidKind::Automatic;
    Money amount;
    int quantity = 1;
    int leadSeconds = 0; // an automatic bid's seconds before the end
    QString group; // the bid group of an automatic bid; "" for none
};

// The auction-site account, read when a sign-in page is filled.
struct BidAccount {
    QString user;
    QString password;
};

// One bid walked through the auction site's pages in a browser window of its own: on the
// item page the bid form gets the amount and quantity and is sent; on the sign-in page that
// follows the account is filled in and, for a real or automatic bid, sent too, which places
// the bid; the page after it is the site's answer. A fill-in bid stops at the filled sign-in
// page and leaves the last click to the user.
//
// Everything it acts on is its own: its item's page, its window, its state. No other bid
// changes what it does. It ends in exactly one outcome, at the latest at its deadline.
// Values go only into pages of the configured item-page host, and a form is sent only when
// it posts back to that host (see BidAddresses.h).
class BidTask final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BidTask)

public:
    static constexpr int kDeadlineSeconds = 60;

    struct Context {
        IClock &clock;
        std::function<BidAccount()> account;
        HostPort itemPage;
    };

    BidTask(Context context, const BidOrder &order, quint64 serial, QObject *parent = nullptr);
    ~BidTask() override;

    // Opens `session`'s window on the item's page; the clock starts now. A null session ends
    // the bid at once as not started.
    void start(std::unique_ptr<IBrowserSession> session);
    // The item left the watch list: a bid that has not sent its sign-in stops here, sending
    // nothing more. One whose sign-in is sent waits for its answer.
    void itemRemoved();
    // Ends the bid as timed out once its deadline has passed.
    void checkDeadline();
    // Ends the bid before it starts (no account, for instance).
    void refuse(const QString &reason);

    const BidRecord &record() const { return m_record; }
    const QString &item() const { return m_record.item; }
    bool finished() const { return m_record.finished(); }
    QDateTime deadline() const;
    IBrowserSession *IE() const { return m_ie.get(); }
    // Hands the window over once the bid has ended (null before, or when it never had one).
    std::unique_ptr<IBrowserSession> takeWindow();

    // The step it waits for, by the names the bid flow has always used.
    bool blnFillOnly() const { return isFillIn() && m_stage == Stage::ItemPage; }
    bool blnFillOnlyStep2() const { return isFillIn() && m_stage == Stage::SignIn; }
    bool blnAutoBid() const { return !isFillIn() && m_stage == Stage::ItemPage; }
    bool blnAutoBidStep2() const { return !isFillIn() && m_stage == Stage::SignIn; }
    Money curBidAmount() const { return m_record.amount; }
    qint16 intBidQuantity() const { return qint16(m_record.quantity); }

Q_SIGNALS:
    // A step was reached: the bid form or the sign-in was sent.
    void progressed(const BidRecord &record);
    // The outcome is known; nothing follows.
    void ended(const BidRecord &record);

private:
    enum class Stage { ItemPage, SignIn, Answer, Done };

    bool isFillIn() const { return m_record.kind == BidKind::FillIn; }
    void IE_DocumentComplete(const QUrl &url, bool topLevel);
    void itemPageStep(const QUrl &url);
    void signInStep(const QUrl &url);
    // False, and the bid ended, when `form` would post anywhere but to the auction site.
    bool mayPost(int form, const QString &what);
    // The first of the bid forms (the second form, then the first) that has a field `name`.
    int formWith(const QString &name) const;
    int signInForm() const;
    void fillFirst(int form, const QString &name, const QString &value);
    void onLoadFailed(const QString &reason);
    void onWindowClosed();
    void finish(BidOutcome outcome, const QString &message);

    Context m_ctx;
    BidRecord m_record;
    Stage m_stage = Stage::ItemPage;
    std::unique_ptr<IBrowserSession> m_ie;
    // The last page the window showed, for a bid that ends waiting.
    QUrl m_lastPage;
};

} // namespace th
