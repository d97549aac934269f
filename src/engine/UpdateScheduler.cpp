// When the items are fetched: the all-items pass, the single-item update, the sequential
// pass, the minute counter of the automatic update, the countdown, and the locking of the
// commands while the engine works.

#include "engine/UpdateEngine.h"

#include <QTcpSocket>

#include "common/DateTimeMath.h"
#include "common/Formats.h"
#include "common/Numeric.h"
#include "common/Timers.h"
#include "engine/EngineRequest.h"
#include "engine/ItemPageParser.h"
#include "platform/IClock.h"
#include "watchlist/AppSettings.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchListModel.h"

namespace th {

int UpdateEngine::rowCount() const
{
    return m_ctx.model.rowCount();
}

QString UpdateEngine::rowItem(int row) const
{
    return m_ctx.model.rowText(row);
}

int UpdateEngine::currentItemId(const EngineSlot &slot) const
{
    if (slot.glngEnginePos < 1 || slot.glngEnginePos > slot.queueItems.size())
        return 0;
    return m_ctx.model.findRow(slot.queueItems[slot.glngEnginePos - 1]) + 1;
}

void UpdateEngine::setCommands(const CommandState &state)
{
    if (state == m_commands)
        return;
    m_commands = state;
    Q_EMIT commandsChanged(m_commands);
}

void UpdateEngine::lock(const CommandState &locked)
{
    setCommands(locked);
    disableTimer(tmrCheckBids);
    disableTimer(tmNextUpdate);
    disableTimer(m_ctx.tmrChkItemAlert);
}

void UpdateEngine::markRowUpdating(int row, const QString &priceText)
{
    // The tag keeps the bid count from before the update, the new-bid test reads it.
    const QString bids = m_ctx.model.subItem(row, WatchListModel::Bids);
    m_ctx.model.setTag(row, bids.isEmpty() ? QStringLiteral("-1") : bids);
    m_ctx.model.setSubItem(row, WatchListModel::Price, priceText);
}

void UpdateEngine::subSplitToEngines()
{
    const int rows = rowCount();
    if (rows == 0)
        return;
    for (EngineSlot &slot : m_engines) {
        slot.gEngineQueue.clear();
        slot.queueItems.clear();
    }
    for (int i = 1; i <= rows; ++i) {
        EngineSlot &slot = m_engines[(i - 1) % kEngines];
        slot.gEngineQueue.append(i);
        slot.queueItems.append(rowItem(i - 1));
    }
}

void UpdateEngine::subActive2()
{
    // Answers still on their way for an earlier pass belong to nobody now.
    ++m_passSerial;
    subSplitToEngines();
    for (int i = 0; i < kEngines; ++i) {
        closeSocket(wSockBayChk[i]);
        closeSocket(wSockBayChk[i]);
        m_engines[i].intMotorsRetry = false;
        // A half-received answer of the old pass must not stand in front of a new one.
        m_engines[i].gstrEngineBuffer.clear();
    }
    const int rows = rowCount();
    if (rows == 0)
        return;
    Q_EMIT statusText(3, QStringLiteral("Total Item(s): %1").arg(rows));
    m_ctx.records.resize(rows);
    for (EngineSlot &slot : m_engines)
        slot.glngEnginePos = 1;
    m_updatedCount = 0;
    QStringList sizes;
    for (const EngineSlot &slot : m_engines)
        sizes.append(QString::number(slot.gEngineQueue.size()));
    Q_EMIT statusText(1, u"Updating......stay cool....(" + sizes.join(u',') + u")");
    for (int k = 1; k <= kEngines; ++k) {
        EngineSlot &slot = m_engines[k - 1];
        if (slot.gEngineQueue.isEmpty())
            continue;
        slot.gstrEngineQuery = itemQuery(rowItem(slot.gEngineQueue.first() - 1));
        subInitial(k, k);
        enableTimer(tmrSockTimeOut[k - 1]);
        scheduleConnect(k - 1);
    }
}

void UpdateEngine::subInitial(int ListIndexIn, int ItemID)
{
    CommandState locked = m_commands;
    locked.trayUpdate = false;
    locked.addRemove = false;
    locked.updateOne = false;
    lock(locked);
    markRowUpdating(ItemID - 1, QStringLiteral("Updating...(%1)").arg(ListIndexIn));
}

void UpdateEngine::restoreIdleState()
{
    setCommands(CommandState {});
    m_minutes = 0;
    enableTimer(tmrCheckBids);
    m_nextUpdate = m_ctx.clock.now().addSecs(qint64(m_ctx.settings.AutoUpdateEvery) * 60);
    enableTimer(tmNextUpdate);
    enableTimer(m_ctx.tmrChkItemAlert);
    m_notifyReady = true;
}

void UpdateEngine::setAutomaticUpdate(bool on)
{
    if (on) {
        enableTimer(tmrCheckBids);
        enableTimer(tmNextUpdate);
    } else {
        disableTimer(tmrCheckBids);
        disableTimer(tmNextUpdate);
    }
}

void UpdateEngine::tmrCheckBids_Timer()
{
    ++m_minutes;
    if (m_minutes < m_ctx.settings.AutoUpdateEvery)
        return;
    m_minutes = 0;
    disableTimer(tmNextUpdate);
    subActive2();
    m_nextUpdate = m_ctx.clock.now().addSecs(qint64(m_ctx.settings.AutoUpdateEvery) * 60);
    enableTimer(tmNextUpdate);
    enableTimer(m_ctx.tmrChkItemAlert);
}

void UpdateEngine::tmNextUpdate_Timer()
{
    const QDateTime now = m_ctx.clock.now();
    if (!m_nextUpdate.isValid() || m_nextUpdate <= now)
        return;
    qint64 s = secondBoundaries(now, m_nextUpdate);
    if (s <= 0)
        return;
    s = (s % 86400) % 3600;
    if (s <= 0)
        return;
    Q_EMIT countdownCaption(u"Search   ----   [Time to the next update: " + formatTwoDigits(s / 60) + u":"
        + formatTwoDigits(s % 60) + u"]");
}

void UpdateEngine::updateOneBids()
{
    if (m_fetch.busy())
        return;
    const int row = m_selectedRow ? m_selectedRow() : -1;
    const QString item = rowItem(row);
    if (rowCount() > 0 && row >= 0 && numericValue(item) > 50000) {
        CommandState locked = m_commands;
        locked.trayUpdate = false;
        locked.updateAll = false;
        locked.updateOne = false;
        lock(locked);
        markRowUpdating(row, QStringLiteral("Updating..."));
        const Result<QByteArray> body = m_fetch.get(m_itemPage.host, m_itemPage.port, m_itemPage.text,
            u"/aw-cgi/eBayISAPI.dll?ViewItem&item=" + item, m_fetchDeadline);
        if (body.ok())
            applyPage(ParseItemPage(body.value()), row, Variant::Single);
        else
            m_ctx.model.setSubItem(row, WatchListModel::Price, QStringLiteral("Err."));
    }
    Q_EMIT reSortRequested();
    restoreIdleState();
}

void UpdateEngine::tmrDelayUpdateBid_Timer()
{
    disableTimer(tmrDelayUpdateBid);
    updateBids();
}

void UpdateEngine::updateBids()
{
    const int rows = rowCount();
    Q_EMIT statusText(3, QStringLiteral("Total Item(s): %1").arg(rows));
    if (rows == 0 || m_seqRow > 0)
        return;
    Q_EMIT statusText(1, QStringLiteral("Updating......stay cool...."));
    CommandState locked = m_commands;
    locked.trayUpdate = false;
    locked.addRemove = false;
    locked.updateAll = false;
    lock(locked);
    m_ctx.records.resize(rows);
    for (int row = 0; row < rows; ++row)
        markRowUpdating(row, QStringLiteral("Updating..."));
    m_seqRow = 1;
    startSequentialRow();
}

void UpdateEngine::startSequentialRow()
{
    Q_EMIT statusText(1, QStringLiteral("Updating #%1/%2").arg(m_seqRow).arg(rowCount()));
    closeSocket(Winsock1);
    m_seqBuffer.clear();
    m_seqWaiting = true;
    tmrSequentialWait.start();
    Winsock1->connectToHost(m_itemPage.host, m_itemPage.port);
}

void UpdateEngine::finishSequentialRow(bool timedOut)
{
    if (!m_seqWaiting)
        return;
    m_seqWaiting = false;
    tmrSequentialWait.stop();
    closeSocket(Winsock1);
    const int row = m_seqRow - 1;
    const QByteArray page = std::exchange(m_seqBuffer, {});
    // The next row starts from the event loop, never inside the socket's notification.
    QMetaObject::invokeMethod(
        this,
        [this, row, page, timedOut] {
            if (timedOut)
                m_ctx.model.setSubItem(row, WatchListModel::Price, QStringLiteral("Err."));
            else if (!applyPage(ParseItemPage(page), row, Variant::Sequential)) {
                finishSequentialPass();
                return;
            }
            if (m_seqRow >= rowCount()) {
                Q_EMIT statusText(1, u"Last Update: " + formatDate(m_ctx.clock.now(), DateFormat::LongYear));
                finishSequentialPass();
                return;
            }
            ++m_seqRow;
            startSequentialRow();
        },
        Qt::QueuedConnection);
}

void UpdateEngine::sequentialTimeout()
{
    finishSequentialRow(true);
}

void UpdateEngine::finishSequentialPass()
{
    m_seqRow = 0;
    CommandState unlocked = m_commands;
    unlocked.trayUpdate = true;
    unlocked.addRemove = true;
    unlocked.updateOne = true;
    // "Update All" comes back too: nothing else would enable it before the next pass ends.
    unlocked.updateAll = true;
    setCommands(unlocked);
    m_minutes = 0;
    m_nextUpdate = m_ctx.clock.now().addSecs(qint64(m_ctx.settings.AutoUpdateEvery) * 60);
    enableTimer(tmrCheckBids);
    enableTimer(tmNextUpdate);
    enableTimer(m_ctx.tmrChkItemAlert);
}

} // namespace th
