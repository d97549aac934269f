#pragma once

#include <array>

#include <QDateTime>
#include <QObject>
#include <QSet>
#include <QTimer>

#include "common/HostPort.h"
#include "engine/CommandState.h"
#include "engine/PageApplier.h"
#include "engine/ParserWatchdog.h"
#include "engine/PassEngines.h"
#include "engine/SequentialPass.h"
#include "engine/SingleItemFetch.h"

class QTcpSocket;

namespace th {

class ClockSync;
class IClock;
class RegistryStore;
class WatchItems;
class WatchListModel;
struct AppSettings;

// The item update engine: when the items are fetched and what the user may do meanwhile.
// It runs the all-items pass (PassEngines), the single-item update, the sequential pass
// (SequentialPass), the minute counter of the automatic update and the countdown, and locks
// the commands while it works. Pages are applied by PageApplier. The ending-item check and
// the auto-bid trigger hear from it through signals; it never touches their timers.
class UpdateEngine final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(UpdateEngine)

public:
    static constexpr int kEngines = PassEngines::kEngines;
    // The automatic update counts whole minutes; the countdown shows every second.
    static constexpr int kMinuteTickMsecs = 60000;
    static constexpr int kCountdownTickMsecs = 1000;
    // The sequential pass starts this long after the update interval was changed.
    static constexpr int kDelayedPassMsecs = 2000;
    // The single-item update fetches only an item number above this.
    static constexpr double kSingleUpdateMinimumItem = 50000;

    struct Context {
        WatchListModel &model;
        WatchItems &records;
        RegistryStore &store;
        AppSettings &settings;
        ClockSync &clockSync;
        IClock &clock;
    };

    explicit UpdateEngine(Context context, QObject *parent = nullptr);
    ~UpdateEngine() override;

    // The servers: where the engines connect, and the name the Host and Referer headers give.
    void setHosts(const HostPort &itemPage, const HostPort &main);
    // How long the single-item update and one item of the sequential pass wait for their page
    // (tests shorten it).
    void setSingleFetchDeadline(int msecs);
    int singleFetchDeadline() const { return m_fetchDeadline; }
    SingleItemFetch &singleFetch() { return m_fetch; }

    // Starts an all-items pass.
    void subActive2();
    // Deals the rows into the five engine queues.
    void subSplitToEngines() { m_pass.subSplitToEngines(); }
    // The single-item update of `row` (0-based; -1, no row, does nothing), the one the user
    // has selected.
    void updateOneBids(int row);
    // The sequential pass over all rows, one at a time.
    void updateBids();
    // The end of the program: every timer off, every transfer cancelled.
    void shutDown();
    // The all-items pass running now stops: nothing more of it is applied or counted. The
    // next pass start gives the commands back when it ends.
    void stopPass() { m_pass.stop(); }
    // "Automatic Update": switches the minute counter and the countdown on or off.
    void setAutomaticUpdate(bool on);
    // Around an automatic bid: the periodic updates stop, and start again counting from now.
    void quietUpdates();
    void ResumeUpdates();
    // Whether the periodic updates are stopped for an automatic bid (and not started again
    // since).
    bool updatesQuietedForBid() const { return m_quietForBid; }
    // The periodic update, now: an all-items pass, the next one counted from now.
    void updateNow();

    // Timer handlers, public so that tests can tick them.
    void tmrCheckBids_Timer();
    void tmNextUpdate_Timer();
    void tmrSockTimeOut_Timer(int index) { m_pass.tmrSockTimeOut_Timer(index); }
    void tmrDelayUpdateBid_Timer();
    void sequentialTimeout() { m_sequential.timeOut(); }

    const EngineSlot &engine(int k) const { return m_pass.slot(k); }
    QTcpSocket *socket(int index) const { return m_pass.socket(index); }
    int glngUpdatedCount() const { return m_pass.glngUpdatedCount(); }
    int lngMinutes() const { return m_minutes; }
    QDateTime dteNextUpdateDate() const { return m_nextUpdate; }
    bool gblnNotifyReady() const { return m_notifyReady; }
    void setNotifyReady(bool ready) { m_notifyReady = ready; }
    bool gblnAutoBidStarted() const { return m_autoBidStarted; }
    const CommandState &commands() const { return m_commands; }
    bool sequentialPassRunning() const { return m_sequential.running(); }
    bool passRunning() const { return m_pass.running(); }
    bool singleUpdateBusy() const { return m_fetch.busy(); }
    bool sequentialWaiting() const { return m_sequential.waiting(); }

    // Timers of the engine, under the names the program has always used.
    QTimer tmrCheckBids;
    QTimer tmNextUpdate;
    QTimer tmrDelayUpdateBid;

private:
    PageApplier m_applier;
    PassEngines m_pass;
    SequentialPass m_sequential;

public:
    std::array<QTimer, kEngines> &tmrSockTimeOut;
    QTimer &tmrSequentialWait;

Q_SIGNALS:
    // A status-bar panel (1..5) gets a new text.
    void statusChanged(int panel, const QString &text);
    // The label of engine socket `index` (0..4).
    void engineLabelChanged(int index, const QString &text);
    void commandsChanged(const CommandState &state);
    // The search frame's title with the countdown.
    void countdownCaptionChanged(const QString &caption);
    // The list must be sorted by end date, keeping the selected item selected.
    void reSortRequested();
    // Row `row` (0-based) has received a new bid while its item has time enough left for the
    // news to matter; the alerts decide what the user gets. The handler may be modal; the
    // engine finds its row again afterwards.
    void newBidAnnounced(int row);
    // Applying the page of the single-item update failed; the user, who asked for it, is told
    // at once with `message`.
    void applyFailed(const QString &message);
    // Pages of the all-items pass that just ended could not be applied: `message` tells how
    // many and the first error, once for the pass (each failure is also in the log). A pass
    // runs unattended, and a site that changed its pages fails every item the same way.
    void passPagesNotApplied(const QString &message);
    // Most pages of an all-items pass read empty: the site has most likely changed its pages.
    // `message` tells the user so and names the armed automatic bids that cannot fire now;
    // it comes once until the pages read again or another armed bid's page stops reading.
    void pagesReadEmpty(const QString &message);
    // Every row's page has been read: an all-items pass has counted its last answer, or a
    // sequential pass has read its last row.
    void passFinished();
    // The single-item update of `item` has applied its page.
    void oneItemUpdated(const QString &item);
    // The first all-items pass of the run has ended: the auto-bid trigger may start.
    void firstPassFinished();
    // The engine has started work that the ending-item check must not run beside, or has
    // ended it.
    void checksQuieted();
    void checksResumed();

private:
    // Which commands an idle state gives back: the end of a pass all of them, the end of a
    // single-item update only those it took.
    enum class IdleScope { PassEnd, SingleUpdate };

    // subInitial: row `ItemID` (1-based) is being fetched by engine `ListIndexIn`; the
    // commands lock.
    void subInitial(int ListIndexIn, int ItemID);
    void setCommands(const CommandState &state);
    // Locks the commands and quiets the automatic update and the ending-item check.
    void lock(const CommandState &locked);
    void restoreIdleState(IdleScope scope);
    // `siteNotes`: what went wrong with the site during the pass, for the status bar.
    void passEnd(const QString &siteNotes);
    // Tells the failures gathered during the pass that ended, if any.
    void tellApplyFailures();
    // The watchdog's verdict on the pass that ended: the status-bar note, naming the armed
    // bids whose pages read empty (empty when the pages read), with the message to the user
    // sent when it is news.
    QString checkPagesRead();
    void sequentialPassEnded(bool completed);
    QString rowItem(int row) const;

    Context m_ctx;
    int m_minutes = 0;
    QDateTime m_nextUpdate;
    bool m_notifyReady = false;
    bool m_autoBidStarted = false;
    bool m_quietForBid = false;
    CommandState m_commands;
    SingleItemFetch m_fetch;
    int m_fetchDeadline = SingleItemFetch::kDeadlineMsecs;
    HostPort m_itemPage;
    // Items already named as not found: each is named once a run.
    QSet<QString> m_notFoundNamed;
    // The pages of the running all-items pass that could not be applied, and the first error.
    int m_applyFailures = 0;
    QString m_firstApplyError;
    ParserWatchdog m_watchdog;
};

} // namespace th
