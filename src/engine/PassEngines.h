#pragma once

#include <array>

#include <QAbstractSocket>
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include "common/HostPort.h"

class QTcpSocket;

namespace th {

class IClock;
class ItemPageData;
class PageApplier;
class WatchListModel;

// One of the five page engines of an all-items pass.
struct EngineSlot {
    QList<int> gEngineQueue; // list rows (1-based) as dealt; position 1 is the first entry
    // The item of each entry, as dealt: rows may move while a pass runs (a sort by the user,
    // a notification window letting the pass end), items do not.
    QStringList queueItems;
    int glngEnginePos = 1;
    QByteArray gstrEngineBuffer;
    QString gstrEngineQuery;
    // The current entry is asked for under the motors path; set once per entry at most.
    bool intMotorsRetry = false;
    int lngRetryCount = 0;
    // Time-out reconnects of the current entry, over all its connections.
    int lngReconnectCount = 0;
    QDateTime dteRequestStarted;
    // While the engine's answer is being applied nothing of the engine may run again: the
    // applying step may wait in a window for minutes.
    bool applying = false;
    // Whether any attempt for the current entry got a connection, and why the last failed.
    bool connectedForEntry = false;
    QAbstractSocket::SocketError lastError = QAbstractSocket::UnknownSocketError;
    // No connection could be made at all, or the site stopped answering: the rest of the
    // engine's entries fail without a request.
    bool unreachable = false;
    // The engine's last entry was given up because the site never finished its answer.
    bool stalledBefore = false;

    bool hasEntry() const { return glngEnginePos >= 1 && glngEnginePos <= queueItems.size(); }
    QString currentItem() const { return hasEntry() ? queueItems[glngEnginePos - 1] : QString(); }
};

// The five page engines of an all-items pass: one socket, one time-out and one queue of
// items each. An engine sends its request when connected, collects the answer until the
// server closes or all the answer announced has arrived, has it applied and moves on to its
// next item by itself. The pass ends once every entry dealt at its start has been counted.
class PassEngines final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PassEngines)

public:
    static constexpr int kEngines = 5;
    // How often an engine looks whether its request has stalled, and after how many whole
    // seconds since the connect it counts as stalled.
    static constexpr int kTimeOutTickMsecs = 15000;
    static constexpr qint64 kStalledAfterSeconds = 25;
    // Reconnects of one entry before the engine gives it up.
    static constexpr int kReconnectsPerEntry = 2;
    // Applied answers whose row still reads "Updating" before the engine moves on.
    static constexpr int kRepeatsPerEntry = 3;

    PassEngines(WatchListModel &model, PageApplier &applier, IClock &clock, QObject *parent = nullptr);
    ~PassEngines() override;

    // The server: where the engines connect, and the name the Host and Referer headers give.
    void setHosts(const HostPort &itemPage, const HostPort &main);

    // Deals the rows into the five queues, round robin; with no rows nothing changes.
    void subSplitToEngines();
    // Starts a pass over the rows: every engine is put in a known state first (sockets
    // closed, time-outs off, buffers empty), so that nothing of an earlier pass runs on.
    // False when the list is empty.
    bool start();
    // Every engine stops; nothing of the running pass is counted any more.
    void stop();
    // The time-out tick of engine socket `index`.
    void tmrSockTimeOut_Timer(int index);

    const EngineSlot &slot(int k) const { return m_slots[k - 1]; }
    QTcpSocket *socket(int index) const { return wSockBayChk[index]; }
    int glngUpdatedCount() const { return m_updatedCount; }
    // A pass has started and not yet counted all its entries.
    bool running() const { return !m_passEnded; }

    std::array<QTimer, kEngines> tmrSockTimeOut;

Q_SIGNALS:
    void statusChanged(int panel, const QString &text);
    // The label of engine socket `index` (0..4).
    void engineLabelChanged(int index, const QString &text);
    // Engine `k` (1..5) starts fetching the item of row `row` (1-based).
    void entryStarted(int k, int row);
    // Applying an answer failed; the user is told with `message`.
    void applyFailed(const QString &message);
    // Every entry of the pass has been counted. `notes` says what went wrong with the site
    // ("not reached: " and the server and the reason when an engine could not connect at
    // all, "site answered 503", ...), several joined by "; ", and is empty when nothing did.
    void passCompleted(const QString &notes);
    // A page was applied after its pass had ended.
    void lateAnswerApplied();
    // An item page of the running pass has arrived and is about to be applied: a page the
    // server sent, not its complaint about the request.
    void pageAnswered(const QString &item, const ItemPageData &page);

private:
    void connectEngine(int index);
    // Connects engine socket `index` from the event loop, for the pass running now.
    void scheduleConnect(int index);
    void closeSocket(int index);
    void onConnected(int index);
    void onReadyRead(int index);
    // The answer is complete (the server closed, or all it announced arrived).
    void finishAnswer(int index);
    // Applies the non-empty answer of engine `ListIndexIn` (1..5) to the row of `item`, and
    // ends the pass when it was the last; true when the row shows that the page was not
    // applied as far as its price, so the entry is asked for again.
    bool subExtractData(int ListIndexIn, const QString &item, const QByteArray &answer);
    void giveUpEntry(int index);
    // The entry ends without a page: "Err." on its row, counted, and `why` kept for the
    // status bar at the pass end.
    void failEntry(const QString &item, const QString &why);
    void nextEntry(EngineSlot &slot);
    // Moves the engine to its next entry that still needs a request and starts it, or
    // leaves the engine idle at the end of its queue.
    void startNextEntry(int index);
    void countAnswer();
    void markErr(const QString &item);

    WatchListModel &m_model;
    PageApplier &m_applier;
    IClock &m_clock;
    HostPort m_itemPage;
    HostPort m_main;
    std::array<QTcpSocket *, kEngines> wSockBayChk {};
    std::array<EngineSlot, kEngines> m_slots;
    int m_updatedCount = 0;
    int m_passTotal = 0;
    bool m_passEnded = true;
    // Changes with every pass start and stop: work of an older pass sees it and gives up.
    quint64 m_passSerial = 0;
    QStringList m_passNotes;
};

} // namespace th
