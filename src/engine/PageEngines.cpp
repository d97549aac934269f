// The five page engines of an all-items pass: one socket, one time-out and one queue of
// rows each. An engine sends its request when connected, collects the answer until the
// server closes, hands it to the applying step and moves on to its next row by itself.

#include "engine/UpdateEngine.h"

#include <QTcpSocket>

#include "common/DateTimeMath.h"
#include "common/Timers.h"
#include "engine/EngineRequest.h"
#include "platform/IClock.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListModel.h"

namespace th {

namespace {
constexpr qsizetype kTypicalPageBytes = 96 * 1024;
} // namespace

UpdateEngine::UpdateEngine(Context context, QObject *parent)
    : QObject(parent)
    , m_ctx(context)
{
    setObjectName(QStringLiteral("UpdateEngine"));
    setUpTimer(tmrCheckBids, "tmrCheckBids", 60000, false);
    setUpTimer(tmNextUpdate, "tmNextUpdate", 1000, false);
    setUpTimer(tmrDelayUpdateBid, "tmrDelayUpdateBid", 2000, false, /*singleShot=*/true);
    setUpTimer(
        tmrSequentialWait, "tmrSequentialWait", SingleItemFetch::kDeadlineMsecs, false, /*singleShot=*/true);
    connect(&tmrCheckBids, &QTimer::timeout, this, &UpdateEngine::tmrCheckBids_Timer);
    connect(&tmNextUpdate, &QTimer::timeout, this, &UpdateEngine::tmNextUpdate_Timer);
    connect(&tmrDelayUpdateBid, &QTimer::timeout, this, &UpdateEngine::tmrDelayUpdateBid_Timer);
    connect(&tmrSequentialWait, &QTimer::timeout, this, &UpdateEngine::sequentialTimeout);

    for (int i = 0; i < kEngines; ++i) {
        setUpTimer(tmrSockTimeOut[i], "tmrSockTimeOut", 15000, false);
        connect(&tmrSockTimeOut[i], &QTimer::timeout, this, [this, i] { tmrSockTimeOut_Timer(i); });
        auto *socket = new QTcpSocket(this);
        socket->setObjectName(QStringLiteral("wSockBayChk%1").arg(i));
        wSockBayChk[i] = socket;
        connect(socket, &QTcpSocket::connected, this, [this, i] { onConnected(i); });
        connect(socket, &QTcpSocket::readyRead, this, [this, i] { onReadyRead(i); });
        // Only a close the server started reaches here: our own closes run with the
        // socket's signals blocked. Errors are left to the time-out.
        connect(socket, &QTcpSocket::disconnected, this, [this, i] { onClosedByPeer(i); });
    }

    // The run-time records follow their rows whenever the list is sorted.
    connect(&m_ctx.model, &WatchListModel::rowsReordered, this,
        [this](const QList<int> &oldRows) { m_ctx.records.permute(oldRows); });

    Winsock1 = new QTcpSocket(this);
    Winsock1->setObjectName(QStringLiteral("Winsock1"));
    connect(Winsock1, &QTcpSocket::connected, this, [this] {
        Winsock1->write(
            buildItemRequest(itemQuery(rowItem(m_seqRow - 1)), false, m_itemPage.text, m_main.text));
    });
    connect(
        Winsock1, &QTcpSocket::readyRead, this, [this] { appendCapped(m_seqBuffer, Winsock1->readAll()); });
    connect(Winsock1, &QTcpSocket::disconnected, this, [this] { finishSequentialRow(false); });
    connect(Winsock1, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        // The server closing is reported as an error too; the close itself ends the wait.
        if (error != QAbstractSocket::RemoteHostClosedError)
            finishSequentialRow(false);
    });
}

UpdateEngine::~UpdateEngine()
{
    for (QTcpSocket *socket : wSockBayChk)
        closeSocket(socket);
    closeSocket(Winsock1);
}

void UpdateEngine::shutDown()
{
    for (QTimer *timer : { &tmrCheckBids, &tmNextUpdate, &tmrDelayUpdateBid, &tmrSequentialWait })
        disableTimer(*timer);
    for (int i = 0; i < kEngines; ++i) {
        disableTimer(tmrSockTimeOut[i]);
        closeSocket(wSockBayChk[i]);
    }
    ++m_passSerial;
    m_seqWaiting = false;
    m_seqRow = 0;
    closeSocket(Winsock1);
}

void UpdateEngine::setHosts(const HostPort &itemPage, const HostPort &main)
{
    m_itemPage = itemPage;
    m_main = main;
}

void UpdateEngine::closeSocket(QTcpSocket *socket)
{
    if (!socket)
        return;
    const bool blocked = socket->blockSignals(true);
    socket->abort();
    socket->blockSignals(blocked);
}

void UpdateEngine::connectEngine(int index)
{
    closeSocket(wSockBayChk[index]);
    wSockBayChk[index]->connectToHost(m_itemPage.host, m_itemPage.port);
}

void UpdateEngine::scheduleConnect(int index)
{
    // A connection asked for by a pass that has been replaced meanwhile is dropped.
    const quint64 serial = m_passSerial;
    QMetaObject::invokeMethod(
        this,
        [this, index, serial] {
            if (serial == m_passSerial)
                connectEngine(index);
        },
        Qt::QueuedConnection);
}

void UpdateEngine::onConnected(int index)
{
    EngineSlot &slot = m_engines[index];
    wSockBayChk[index]->write(
        buildItemRequest(slot.gstrEngineQuery, slot.intMotorsRetry, m_main.text, m_main.text));
    slot.dteRequestStarted = m_ctx.clock.now();
    slot.lngReconnectCount = 0;
    enableTimer(tmrSockTimeOut[index]);
}

void UpdateEngine::onReadyRead(int index)
{
    QTcpSocket *socket = wSockBayChk[index];
    if (socket->state() != QAbstractSocket::ConnectedState)
        return;
    QByteArray &buffer = m_engines[index].gstrEngineBuffer;
    if (buffer.capacity() < kTypicalPageBytes)
        buffer.reserve(kTypicalPageBytes); // a page arrives in many pieces; grow once
    appendCapped(buffer, socket->readAll());
}

void UpdateEngine::onClosedByPeer(int index)
{
    const int k = index + 1;
    EngineSlot &slot = m_engines[index];
    const quint64 serial = m_passSerial;
    // 1.
    closeSocket(wSockBayChk[index]);
    slot.lngReconnectCount = 0;
    if (slot.glngEnginePos < 1 || slot.glngEnginePos > slot.gEngineQueue.size())
        return; // no request of this pass was outstanding
    const QString item = slot.queueItems[slot.glngEnginePos - 1];
    // The entry's row now: the list may have been sorted since the pass was dealt.
    const int itemId = currentItemId(slot);
    // 2-3.
    if (!slot.gstrEngineBuffer.isEmpty()) {
        if (isMotorsAnswer(slot.gstrEngineBuffer)) {
            slot.intMotorsRetry = true;
        } else if (itemId > 0) {
            slot.intMotorsRetry = false;
            subExtractData(k, itemId);
            // Applying may have let other work run (a notification window): a new pass
            // started meanwhile owns the engine now.
            if (serial != m_passSerial)
                return;
            const int row = m_ctx.model.findRow(item);
            const bool repeat
                = row >= 0 && m_ctx.model.subItem(row, WatchListModel::Price).contains(u"Updating");
            slot.lngRetryCount = repeat ? slot.lngRetryCount + 1 : 0;
        } else {
            // The item left the list meanwhile: its answer still counts for the pass.
            slot.intMotorsRetry = false;
            ++m_updatedCount;
            endOfPassCheck();
        }
    } else {
        ++m_updatedCount;
        if (itemId > 0)
            m_ctx.model.setSubItem(itemId - 1, WatchListModel::Price, QStringLiteral("Err."));
        endOfPassCheck();
    }
    // 4.
    if (!slot.intMotorsRetry && (slot.lngRetryCount == 0 || slot.lngRetryCount >= 3))
        ++slot.glngEnginePos;
    // 5-7.
    disableTimer(tmrSockTimeOut[index]);
    if (slot.gEngineQueue.size() >= slot.glngEnginePos) {
        enableTimer(tmrSockTimeOut[index]);
        const int next = currentItemId(slot);
        if (next > 0)
            subInitial(k, next);
        slot.gstrEngineQuery = itemQuery(slot.queueItems[slot.glngEnginePos - 1]);
        slot.gstrEngineBuffer.clear();
        // Never reconnect inside the socket's own close notification.
        scheduleConnect(index);
    } else {
        slot.glngEnginePos = 1;
    }
    // 8.
    slot.gstrEngineBuffer.clear();
}

void UpdateEngine::tmrSockTimeOut_Timer(int index)
{
    EngineSlot &slot = m_engines[index];
    const QDateTime started = slot.dteRequestStarted;
    if (started.isValid() && secondBoundaries(started, m_ctx.clock.now()) <= 25)
        return;
    ++slot.lngReconnectCount;
    Q_EMIT engineLabel(index, QStringLiteral("Engine-%1- (R%2)").arg(index + 1).arg(slot.lngReconnectCount));
    // The buffer stays: what arrived before stays in front of the new answer. The socket
    // is closed at once; the new connection starts from the event loop, like every other.
    closeSocket(wSockBayChk[index]);
    scheduleConnect(index);
}

} // namespace th
