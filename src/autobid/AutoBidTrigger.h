#pragma once

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

#include "autobid/BidMoment.h"
#include "autobid/BidRecord.h"

class QTimer;

namespace th {

struct AppSettings;
class AutoClockCheck;
class BidGroupBook;
class BidRunner;
class IClock;
class RegistryStore;
class UpdateEngine;
class WatchItems;
struct WatchItemRecord;

// Decides when an automatic bid is placed: every second it looks at each item with a
// maximum bid, quiets the periodic updates, the ending alerts and the automatic clock check
// during an item's last seconds before its bid (checking the clock first when the user asked
// for it), and starts the real bid once the seconds left reach the item's lead. Each item
// gets at most one real bid per load of the list. A moment that went by unseen (the clock
// jumped, the program was busy) still fires while a second is left, and is told otherwise.
class AutoBidTrigger final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AutoBidTrigger)

public:
    // The quiet time before an item's bid, on top of its lead.
    static constexpr int kQuietSeconds = 120;
    // The tick lands this long after each whole second of the PC clock: the site's ends are
    // whole seconds, so a tick just past a second sees the full lead the user set, where a
    // tick anywhere inside the second would lose up to a second of it.
    static constexpr int kTickMsecs = 1000;
    static constexpr int kAfterSecondMsecs = 5;

    struct Context {
        WatchItems &records;
        RegistryStore &store;
        const AppSettings &settings;
        IClock &clock;
        UpdateEngine &engine;
        AutoClockCheck &clockCheck;
        BidRunner &runner;
        // The bid groups: a member fires only when its group lets it. None: no groups.
        BidGroupBook *groups = nullptr;
    };

    explicit AutoBidTrigger(Context context, QObject *parent = nullptr);

    // Drives `timer` (tmrChkAutoBid): each of its ticks runs the check and sets the next one
    // just after the coming whole second, so that its phase never drifts.
    void attachTimer(QTimer &timer);
    // Switches the tick on, first landing just after the next whole second, unless it runs.
    void startTicking();
    // One tick of the timer: the check, then the next tick aligned again.
    void onTick();
    // From `now` to just after its next whole second.
    static int msecsToNextTick(const QDateTime &now);

    // The check of every item. It lets other events run after each item that acts (its bid
    // fires, or its quiet window holds the periodic work) and is safe against being entered
    // again meanwhile and against the list changing under it.
    void tmrChkAutoBid_Timer();
    // Starts a bid of `kind` for record `index` (1-based) with its stored amount and quantity,
    // beside any other bid still running. A bid that cannot start ends at once with its reason.
    bool StartRealBid(int index, BidKind kind = BidKind::Automatic);
    // The periodic updates run again, counting their interval from now.
    void ResumeUpdates();
    // Everything a bid paused runs again: updates, ending alerts and the clock check.
    void restartPeriodicWork();
    // The group member `item` must never fire: its automatic bid is removed as the user's
    // "Remove Auto-Bid" would, the group learns it, and the log hears `reason`. The user is
    // told of it unless `tellUser` is false (a group tells its cancellations once).
    void cancelGroupMember(const QString &item, const QString &reason, bool tellUser = true);

Q_SIGNALS:
    // The ending-item check pauses for a bid, and runs again after it.
    void alertChecksQuieted();
    void alertChecksResumed();
    // "No Auto-Bid" or "Auto-Bid (n)": the items with an automatic bid still to come.
    void autoBidStatusChanged(const QString &text);
    // A real bid started, for the log and the measurements.
    void bidFired(const QString &item);
    // An armed item's moment went by unseen and too late to fire; `reason` names the item.
    void bidMissed(const QString &item, const QString &reason);
    // A group member was held back (told once) or cancelled: `record` says which and why;
    // `tellUser` when the user is to hear of it beside the tray icon.
    void groupMemberNoted(const BidRecord &record, bool tellUser);

private:
    void quietWindow();
    void fire(int index, qint64 secondsLeft);
    void tellMissed(const WatchItemRecord &record);
    // At the member's moment: fires it, cancels it or lets it wait, as its group decides.
    // False when it waits.
    bool fireIfGroupLets(int index, qint64 secondsLeft);
    // In the member's quiet window: tells once that it is held back, or cancels it when its
    // group has all its wins. False when it was cancelled.
    bool checkGroupBeforeMoment(const WatchItemRecord &record);
    BidRecord groupRecord(const WatchItemRecord &record, BidOutcome outcome, const QString &reason) const;

    Context m_ctx;
    QPointer<QTimer> m_timer;
    bool m_ticking = false;
    // The last tick left the periodic work quiet for an item's bid.
    bool m_quietWindowOn = false;
    BidMomentWatch m_moments;
    // Members already told as held back.
    QSet<QString> m_heldBackTold;
};

} // namespace th
