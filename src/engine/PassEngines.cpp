#include "engine/PassEngines.h"

#include <QTcpSocket>

#include "common/DateTimeMath.h"
#include "common/Timers.h"
#include "engine/EngineRequest.h"
#include "engine/HttpAnswer.h"
#include "engine/ItemPageParser.h"
#include "engine/PageApplier.h"
#include "platform/IClock.h"
#include "watchlist/WatchListModel.h"

namespace th {

namespace {
// A page arrives in many pieces; the buffer grows once to this size.
constexpr qsizetype kTypicalPageBytes = 96 * 1024;
} // namespace

PassEngines::PassEngines(WatchListModel &model, PageApplier &applier, IClock &clock, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_applier(applier)
    , m_clock(clock)
{
    for (int i = 0; i < kEngines; ++i) {
        setUpTimer(tmrSockTimeOut[i], "tmrSockTimeOut", kTimeOutTickMsecs, false);
        connect(&tmrSockTimeOut[i], &QTimer::timeout, this, [this, i] { tmrSockTimeOut_Timer(i); });
        auto *socket = new QTcpSocket(this);
        socket->setObjectName(QStringLiteral("wSockBayChk%1").arg(i));
        wSockBayChk[i] = socket;
        connect(socket, &QTcpSocket::connected, this, [this, i] { onConnected(i); });
        connect(socket, &QTcpSocket::readyRead, this, [this, i] { onReadyRead(i); });
        // Only a close the server started reaches here: our own closes run with the
        // socket's signals blocked.
        connect(socket, &QTcpSocket::disconnected, this, [this, i] { finishAnswer(i); });
        // Errors are left to the time-out; the reason is kept for the status bar.
        connect(socket, &QTcpSocket::errorOccurred, this,
            [this, i](QAbstractSocket::SocketError error) { m_slots[i].lastError = error; });
    }
}

PassEngines::~PassEngines()
{
    for (int i = 0; i < kEngines; ++i)
        closeSocket(i);
}

void PassEngines::setHosts(const HostPort &itemPage, const HostPort &main)
{
    m_itemPage = itemPage;
    m_main = main;
}

void PassEngines::subSplitToEngines()
{
    const int rows = m_model.rowCount();
    if (rows == 0)
        return;
    for (EngineSlot &slot : m_slots) {
        slot.gEngineQueue.clear();
        slot.queueItems.clear();
    }
    for (int i = 1; i <= rows; ++i) {
        EngineSlot &slot = m_slots[(i - 1) % kEngines];
        slot.gEngineQueue.append(i);
        slot.queueItems.append(m_model.rowText(i - 1));
    }
}

bool PassEngines::start()
{
    // Answers still on their way for an earlier pass belong to nobody now.
    ++m_passSerial;
    subSplitToEngines();
    for (int i = 0; i < kEngines; ++i) {
        closeSocket(i);
        disableTimer(tmrSockTimeOut[i]);
        EngineSlot fresh;
        fresh.gEngineQueue = std::move(m_slots[i].gEngineQueue);
        fresh.queueItems = std::move(m_slots[i].queueItems);
        m_slots[i] = std::move(fresh);
    }
    const int rows = m_model.rowCount();
    if (rows == 0)
        return false;
    Q_EMIT statusChanged(3, QStringLiteral("Total Item(s): %1").arg(rows));
    m_passTotal = rows;
    m_updatedCount = 0;
    m_passEnded = false;
    m_passNotes.clear();
    QStringList sizes;
    for (const EngineSlot &slot : m_slots)
        sizes.append(QString::number(slot.gEngineQueue.size()));
    Q_EMIT statusChanged(1, u"Updating......stay cool....(" + sizes.join(u',') + u")");
    for (int i = 0; i < kEngines; ++i) {
        if (!m_slots[i].gEngineQueue.isEmpty())
            startNextEntry(i);
    }
    return true;
}

void PassEngines::stop()
{
    ++m_passSerial;
    m_passEnded = true;
    for (int i = 0; i < kEngines; ++i) {
        disableTimer(tmrSockTimeOut[i]);
        closeSocket(i);
        m_slots[i].applying = false;
    }
}

void PassEngines::closeSocket(int index)
{
    QTcpSocket *socket = wSockBayChk[index];
    const bool blocked = socket->blockSignals(true);
    socket->abort();
    socket->blockSignals(blocked);
}

void PassEngines::connectEngine(int index)
{
    closeSocket(index);
    wSockBayChk[index]->connectToHost(m_itemPage.host, m_itemPage.port);
}

void PassEngines::scheduleConnect(int index)
{
    // Never connect inside a socket's own notification; a connection asked for by a pass
    // that has been replaced meanwhile is dropped.
    const quint64 serial = m_passSerial;
    QMetaObject::invokeMethod(
        this,
        [this, index, serial] {
            if (serial == m_passSerial && !m_slots[index].applying)
                connectEngine(index);
        },
        Qt::QueuedConnection);
}

void PassEngines::onConnected(int index)
{
    EngineSlot &slot = m_slots[index];
    wSockBayChk[index]->write(
        buildItemRequest(slot.gstrEngineQuery, slot.intMotorsRetry, m_main.text, m_main.text));
    // The time-out counts from here, whatever arrives meanwhile: a server that drips its
    // answer byte by byte is cut off like one that sends nothing. The reconnects are counted
    // for the entry, not for the connection, so that a server that accepts and never answers
    // cannot hold the engine for ever.
    slot.dteRequestStarted = m_clock.now();
    slot.connectedForEntry = true;
    enableTimer(tmrSockTimeOut[index]);
}

void PassEngines::onReadyRead(int index)
{
    QTcpSocket *socket = wSockBayChk[index];
    if (socket->state() != QAbstractSocket::ConnectedState)
        return;
    QByteArray &buffer = m_slots[index].gstrEngineBuffer;
    if (buffer.capacity() < kTypicalPageBytes)
        buffer.reserve(kTypicalPageBytes);
    appendCapped(buffer, socket->readAll());
    // A server that keeps the connection open has answered once all it announced is here; an
    // answer whose framing is broken will not get better by waiting.
    if (httpAnswerState(buffer) != AnswerState::Incomplete)
        finishAnswer(index);
}

void PassEngines::finishAnswer(int index)
{
    EngineSlot &slot = m_slots[index];
    if (slot.applying)
        return;
    closeSocket(index);
    // The time-out stays off while the answer is applied: applying may wait in a window, and
    // a reconnect meanwhile would fetch and count the same item again.
    disableTimer(tmrSockTimeOut[index]);
    if (!slot.hasEntry())
        return;
    const quint64 serial = m_passSerial;
    const QString item = slot.currentItem();
    const QByteArray raw = std::exchange(slot.gstrEngineBuffer, {});
    slot.stalledBefore = false; // the site answers
    // The page reader counts its positions on the headers and the joined body.
    const QByteArray answer = httpAnswerJoined(raw);
    bool again = false; // the same entry is asked for once more
    if (const QString fault = answerFault(raw, answer); !fault.isEmpty()) {
        failEntry(item, fault);
    } else if (isMotorsAnswer(answer)) {
        // The item again, under the motors path; a motors answer to that request too would
        // send the engine round for ever.
        again = !slot.intMotorsRetry;
        if (again)
            slot.intMotorsRetry = true;
        else
            failEntry(item, QStringLiteral("site kept pointing to the motors section"));
    } else {
        const bool repeat = subExtractData(index + 1, item, answer);
        if (serial != m_passSerial)
            return;
        slot.lngRetryCount = repeat ? slot.lngRetryCount + 1 : 0;
        again = slot.lngRetryCount > 0 && slot.lngRetryCount < kRepeatsPerEntry;
    }
    if (serial != m_passSerial)
        return;
    if (!again)
        nextEntry(slot);
    startNextEntry(index);
}

void PassEngines::nextEntry(EngineSlot &slot)
{
    ++slot.glngEnginePos;
    // What was counted for the entry ends with it: its motors path and its reconnects.
    slot.intMotorsRetry = false;
    slot.lngReconnectCount = 0;
}

void PassEngines::failEntry(const QString &item, const QString &why)
{
    if (!m_passNotes.contains(why))
        m_passNotes.append(why);
    markErr(item);
    countAnswer();
}

bool PassEngines::subExtractData(int ListIndexIn, const QString &item, const QByteArray &answer)
{
    EngineSlot &slot = m_slots[ListIndexIn - 1];
    const quint64 serial = m_passSerial;
    auto superseded = [this, serial] { return serial != m_passSerial; };
    slot.applying = true;
    ++m_updatedCount;
    Q_EMIT statusChanged(1, QStringLiteral("Updating : %1/%2").arg(m_updatedCount).arg(m_passTotal));
    const ItemPageData page = ParseItemPage(answer);
    if (!httpErrorStatus(answer))
        Q_EMIT pageAnswered(item, page);
    const Result<PageApplier::Outcome> outcome = m_applier.apply(page, item, PageApplier::Variant::Pass);
    if (!outcome.ok() && !superseded())
        Q_EMIT applyFailed(outcome.errorMessage());
    if (superseded())
        return false;
    slot.applying = false;
    if (m_passEnded) {
        // The pass ended while this page was being applied (behind a window): the list's
        // end-date order must take it in too.
        Q_EMIT lateAnswerApplied();
    } else if (m_updatedCount >= m_passTotal) {
        m_passEnded = true;
        Q_EMIT passCompleted(m_passNotes.join(u"; "));
    }
    const int row = m_model.findRow(item);
    return row >= 0 && m_model.subItem(row, WatchListModel::Price).contains(u"Updating");
}

void PassEngines::countAnswer()
{
    ++m_updatedCount;
    if (!m_passEnded && m_updatedCount >= m_passTotal) {
        m_passEnded = true;
        Q_EMIT passCompleted(m_passNotes.join(u"; "));
    }
}

void PassEngines::markErr(const QString &item)
{
    const int row = m_model.findRow(item);
    if (row >= 0)
        m_model.setSubItem(row, WatchListModel::Price, QStringLiteral("Err."));
}

void PassEngines::startNextEntry(int index)
{
    EngineSlot &slot = m_slots[index];
    const quint64 serial = m_passSerial;
    // An entry whose item left the list counts without a request; so does every entry of
    // an engine that could not connect at all, with "Err." on its row.
    while (slot.hasEntry() && (slot.unreachable || m_model.findRow(slot.currentItem()) < 0)) {
        if (slot.unreachable)
            markErr(slot.currentItem());
        countAnswer();
        if (serial != m_passSerial)
            return;
        nextEntry(slot);
    }
    if (!slot.hasEntry()) {
        slot.glngEnginePos = 1;
        return;
    }
    const QString item = slot.currentItem();
    enableTimer(tmrSockTimeOut[index]);
    slot.connectedForEntry = false;
    Q_EMIT entryStarted(index + 1, m_model.findRow(item) + 1);
    slot.gstrEngineQuery = itemQuery(item);
    slot.gstrEngineBuffer.clear();
    scheduleConnect(index);
}

void PassEngines::tmrSockTimeOut_Timer(int index)
{
    EngineSlot &slot = m_slots[index];
    // Only an armed time-out acts: an idle engine, or one applying its answer, has none.
    if (!tmrSockTimeOut[index].isActive() || slot.applying || !slot.hasEntry())
        return;
    const QDateTime started = slot.dteRequestStarted;
    if (started.isValid() && secondBoundaries(started, m_clock.now()) <= kStalledAfterSeconds)
        return;
    // After an entry that the site never answered, the next one gets a single chance: a site
    // that accepts connections and answers nothing would otherwise hold the pass for
    // minutes per item.
    if (slot.lngReconnectCount >= kReconnectsPerEntry || slot.stalledBefore) {
        giveUpEntry(index);
        return;
    }
    ++slot.lngReconnectCount;
    Q_EMIT engineLabelChanged(
        index, QStringLiteral("Engine-%1- (R%2)").arg(index + 1).arg(slot.lngReconnectCount));
    // A cut-off answer must not stand in front of the next one: the page is always one answer.
    closeSocket(index);
    slot.gstrEngineBuffer.clear();
    scheduleConnect(index);
}

void PassEngines::giveUpEntry(int index)
{
    EngineSlot &slot = m_slots[index];
    closeSocket(index);
    disableTimer(tmrSockTimeOut[index]);
    slot.gstrEngineBuffer.clear();
    QString why = QStringLiteral("site did not answer in time");
    if (!slot.connectedForEntry) {
        slot.unreachable = true;
        const QString reason = slot.lastError == QAbstractSocket::ConnectionRefusedError
            ? QStringLiteral("connection refused")
            : QStringLiteral("no answer");
        why = u"not reached: " + m_itemPage.text + u", " + reason;
    } else if (slot.stalledBefore) {
        // Two entries in a row connected and got no whole answer: the site is not answering
        // this pass, and the engine's other entries would only wait in turn.
        slot.unreachable = true;
    }
    slot.stalledBefore = true;
    const quint64 serial = m_passSerial;
    failEntry(slot.currentItem(), why);
    if (serial != m_passSerial)
        return;
    nextEntry(slot);
    startNextEntry(index);
}

} // namespace th
