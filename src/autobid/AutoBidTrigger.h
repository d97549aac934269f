#pragma once

#include <QObject>
#include <QString>

namespace th {

struct AppSettings;
class AutoClockCheck;
class BidSequence;
class IClock;
class RegistryStore;
class UpdateEngine;
class WatchItems;

// Decides when an automatic bid is placed: every second it looks at each item with a
// maximum bid, quiets the periodic updates, the ending alerts and the automatic clock check
// during an item's last seconds before its bid (checking the clock first when the user asked
// for it), and starts the real bid once the seconds left reach the item's lead. Each item
// gets at most one real bid per load of the list.
class AutoBidTrigger final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AutoBidTrigger)

public:
    // The quiet time before an item's bid, on top of its lead.
    static constexpr int kQuietSeconds = 120;

    struct Context {
        WatchItems &records;
        RegistryStore &store;
        const AppSettings &settings;
        IClock &clock;
        UpdateEngine &engine;
        AutoClockCheck &clockCheck;
        BidSequence &sequence;
    };

    explicit AutoBidTrigger(Context context, QObject *parent = nullptr);

    // The tick of tmrChkAutoBid. It lets other events run between items and is safe against
    // being entered again meanwhile and against the list changing under it.
    void tmrChkAutoBid_Timer();
    // Starts a real bid for record `index` (1-based) with its stored amount and quantity.
    // False when none could start; the user has been told why.
    bool StartRealBid(int index);
    // The periodic updates run again, counting their interval from now.
    void ResumeUpdates();
    // Everything a bid paused runs again: updates, ending alerts and the clock check.
    void restartPeriodicWork();

Q_SIGNALS:
    // The ending-item check pauses for a bid, and runs again after it.
    void alertChecksQuieted();
    void alertChecksResumed();
    // "No Auto-Bid" or "Auto-Bid (n)": the items with an automatic bid still to come.
    void autoBidStatus(const QString &text);
    // A real bid started, for the log and the measurements.
    void bidFired(const QString &item);
    // A real bid could not start; `reason` says why, naming the item.
    void bidCouldNotStart(const QString &item, const QString &reason);

private:
    void quietWindow();

    Context m_ctx;
    bool m_ticking = false;
};

} // namespace th
