#pragma once

#include <array>
#include <functional>

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include "common/HostPort.h"
#include "engine/SingleItemFetch.h"

class QTcpSocket;

namespace th {

class ClockSync;
class IClock;
class ItemPageData;
struct StoredItem;
class RegistryStore;
class WatchItems;
class WatchListModel;
struct AppSettings;

// Which commands the update engine lets the user reach; it locks them while it works.
struct CommandState {
    bool trayUpdate = true; // tray "Update Item Info" and the hidden "Set-Up Watch Items"
    bool addRemove = true; // "Add Item", "Remove Item" and the list menu
    bool updateOne = true; // "Update Item"
    bool updateAll = true; // "Update All"
    bool operator==(const CommandState &) const = default;
};

// One of the five page engines of an all-items pass.
struct EngineSlot {
    QList<int> gEngineQueue; // list rows (1-based) to fetch; position 1 is the first entry
    // The item of each entry, as dealt: rows may move while a pass runs (a sort by the
    // user, a notification window letting the pass end), items do not.
    QStringList queueItems;
    int glngEnginePos = 1;
    QByteArray gstrEngineBuffer;
    QString gstrEngineQuery;
    bool intMotorsRetry = false;
    int lngRetryCount = 0;
    // Of the engine's socket.
    int lngReconnectCount = 0;
    QDateTime dteRequestStarted;
};

// The item update engine: the five parallel page engines of an all-items pass, the
// single-item update, the sequential pass, the minute counter of the automatic update and
// the countdown, and the step that applies a fetched page to its row, its run-time record
// and the store. Everything runs on the GUI thread, driven by socket events and timers.
class UpdateEngine final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(UpdateEngine)

public:
    static constexpr int kEngines = 5;

    struct Context {
        WatchListModel &model;
        WatchItems &records;
        RegistryStore &store;
        AppSettings &settings;
        ClockSync &clockSync;
        IClock &clock;
        QTimer &tmrChkItemAlert; // the ending-item check, locked with the update
        QTimer &tmrChkAutoBid; // the auto-bid trigger, switched on by the first pass
    };

    explicit UpdateEngine(Context context, QObject *parent = nullptr);
    ~UpdateEngine() override;

    // The servers: where the engines connect, and the name the Host and Referer headers give.
    void setHosts(const HostPort &itemPage, const HostPort &main);
    // How long the single-item update waits for its page (tests shorten it).
    void setSingleFetchDeadline(int msecs) { m_fetchDeadline = msecs; }
    // The selected row of the list (0-based, -1 for none); the single-item update works on it.
    void setSelectedRowSource(std::function<int()> source) { m_selectedRow = std::move(source); }

    // Starts an all-items pass.
    void subActive2();
    // Deals the rows into the five engine queues.
    void subSplitToEngines();
    // Marks row `ItemID` as being fetched by engine `ListIndexIn` and locks the commands.
    void subInitial(int ListIndexIn, int ItemID);
    // The single-item update of the selected row.
    void updateOneBids();
    // The sequential pass over all rows, one at a time.
    void updateBids();
    // The idle state: commands unlocked, the automatic update counting again.
    void restoreIdleState();
    // The end of the program: every timer off, every transfer cancelled.
    void shutDown();
    // "Automatic Update": switches the minute counter and the countdown on or off.
    void setAutomaticUpdate(bool on);

    // Timer handlers, public so that tests can tick them.
    void tmrCheckBids_Timer();
    void tmNextUpdate_Timer();
    void tmrSockTimeOut_Timer(int index);
    void tmrDelayUpdateBid_Timer();
    // The sequential pass gave up waiting for the current row.
    void sequentialTimeout();

    // Applies one page to row `ItemID` (1-based): the all-items pass's step. `engine` is the
    // engine number 1..5 whose buffer held the page.
    void subExtractData(int ListIndexIn, int ItemID);

    const EngineSlot &engine(int k) const { return m_engines[k - 1]; }
    int glngUpdatedCount() const { return m_updatedCount; }
    int lngMinutes() const { return m_minutes; }
    QDateTime dteNextUpdateDate() const { return m_nextUpdate; }
    bool gblnNotifyReady() const { return m_notifyReady; }
    void setNotifyReady(bool ready) { m_notifyReady = ready; }
    bool gblnAutoBidStarted() const { return m_autoBidStarted; }
    const CommandState &commands() const { return m_commands; }
    bool sequentialPassRunning() const { return m_seqRow > 0; }
    bool sequentialWaiting() const { return m_seqWaiting; }
    QTcpSocket *socket(int index) const { return wSockBayChk[index]; }

    // Timers of the engine, under the names the program has always used.
    QTimer tmrCheckBids;
    QTimer tmNextUpdate;
    std::array<QTimer, kEngines> tmrSockTimeOut;
    QTimer tmrDelayUpdateBid;
    // The sequential pass's bound on the wait for one row.
    QTimer tmrSequentialWait;

Q_SIGNALS:
    // A status-bar panel (1..5) gets a new text.
    void statusText(int panel, const QString &text);
    // The label of engine socket `index` (0..4).
    void engineLabel(int index, const QString &text);
    void commandsChanged(const CommandState &state);
    // The search frame's title with the countdown.
    void countdownCaption(const QString &caption);
    // The list must be sorted by end date, keeping the selected item selected.
    void reSortRequested();
    // Row `row` (0-based) has received a new bid: the sound is due when `playSound`, the
    // notification window when `showWindow`, in that order. The handler may be modal; the
    // engine finds its row again afterwards.
    void newBidAnnounced(int row, bool playSound, bool showWindow);
    // Applying a page failed; the user is told with `message`.
    void applyFailed(const QString &message);
    // An all-items pass has counted its last response.
    void passFinished();

private:
    enum class Variant { Pass, Single, Sequential };

    // Page engines.
    void connectEngine(int index);
    // Connects engine socket `index` from the event loop, for the pass running now.
    void scheduleConnect(int index);
    void closeSocket(QTcpSocket *socket);
    void onConnected(int index);
    void onReadyRead(int index);
    void onClosedByPeer(int index);
    void startEngineRequest(int k, int row);
    // Applying.
    bool applyPage(const ItemPageData &data, int row, Variant variant);
    void applyRecord(
        const ItemPageData &data, int recordIndex, int row, const QDateTime &end, const StoredItem &stored);
    void endOfPassCheck();
    void passEnd();
    // Scheduler.
    void setCommands(const CommandState &state);
    // Locks the commands and quiets the automatic update and the ending-item check.
    void lock(const CommandState &locked);
    void markRowUpdating(int row, const QString &priceText);
    void startSequentialRow();
    void finishSequentialRow(bool timedOut);
    void finishSequentialPass();
    int rowCount() const;
    QString rowItem(int row) const;
    // The row (1-based) that holds the engine's current entry now, 0 when it is gone.
    int currentItemId(const EngineSlot &slot) const;

    Context m_ctx;
    HostPort m_itemPage;
    HostPort m_main;
    std::function<int()> m_selectedRow;
    std::array<QTcpSocket *, kEngines> wSockBayChk {};
    std::array<EngineSlot, kEngines> m_engines;
    int m_updatedCount = 0;
    int m_minutes = 0;
    QDateTime m_nextUpdate;
    bool m_notifyReady = false;
    bool m_autoBidStarted = false;
    quint64 m_passSerial = 0;
    CommandState m_commands;
    SingleItemFetch m_fetch;
    int m_fetchDeadline = SingleItemFetch::kDeadlineMsecs;
    // Sequential pass.
    QTcpSocket *Winsock1 = nullptr;
    QByteArray m_seqBuffer;
    int m_seqRow = 0;
    bool m_seqWaiting = false;
};

} // namespace th
