#include "engine/SequentialPass.h"

#include <QTcpSocket>

#include "common/Formats.h"
#include "common/Timers.h"
#include "engine/EngineRequest.h"
#include "engine/HttpAnswer.h"
#include "engine/ItemPageParser.h"
#include "engine/PageApplier.h"
#include "engine/SingleItemFetch.h"
#include "platform/IClock.h"
#include "watchlist/WatchListModel.h"

namespace th {

SequentialPass::SequentialPass(WatchListModel &model, PageApplier &applier, IClock &clock, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_applier(applier)
    , m_clock(clock)
{
    setUpTimer(tmrSequentialWait, "tmrSequentialWait", SingleItemFetch::kDeadlineMsecs, false, true);
    connect(&tmrSequentialWait, &QTimer::timeout, this, &SequentialPass::timeOut);
    Winsock1 = new QTcpSocket(this);
    Winsock1->setObjectName(QStringLiteral("Winsock1"));
    connect(Winsock1, &QTcpSocket::connected, this, [this] {
        // This socket names the host it is connected to; it asks the motors path only after
        // the site pointed the item there.
        Winsock1->write(
            buildItemRequest(itemQuery(m_items.value(m_index)), m_motors, m_itemPage.text, m_main.text));
    });
    connect(Winsock1, &QTcpSocket::readyRead, this, [this] {
        appendCapped(m_buffer, Winsock1->readAll());
        if (httpAnswerState(m_buffer) != AnswerState::Incomplete)
            finishItem(false);
    });
    connect(Winsock1, &QTcpSocket::disconnected, this, [this] { finishItem(false); });
    connect(Winsock1, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        // The server closing is reported as an error too; the close itself ends the wait.
        if (error != QAbstractSocket::RemoteHostClosedError)
            finishItem(false);
    });
}

SequentialPass::~SequentialPass()
{
    stop();
}

void SequentialPass::setHosts(const HostPort &itemPage, const HostPort &main)
{
    m_itemPage = itemPage;
    m_main = main;
}

bool SequentialPass::start()
{
    if (running() || m_model.rowCount() == 0)
        return false;
    m_items.clear();
    for (int row = 0; row < m_model.rowCount(); ++row)
        m_items.append(m_model.rowText(row));
    ++m_serial;
    m_index = 0;
    m_motors = false;
    startItem();
    return true;
}

void SequentialPass::stop()
{
    ++m_serial;
    m_index = -1;
    m_waiting = false;
    disableTimer(tmrSequentialWait);
    const bool blocked = Winsock1->blockSignals(true);
    Winsock1->abort();
    Winsock1->blockSignals(blocked);
}

void SequentialPass::startItem()
{
    // Items that left the list meanwhile are passed over.
    while (m_index < m_items.size() && m_model.findRow(m_items[m_index]) < 0) {
        ++m_index;
        m_motors = false;
    }
    if (m_index >= m_items.size()) {
        Q_EMIT statusChanged(1, u"Last Update: " + formatDate(m_clock.now(), DateFormat::LongYear));
        stop();
        Q_EMIT finished(true);
        return;
    }
    Q_EMIT statusChanged(1, QStringLiteral("Updating #%1/%2").arg(m_index + 1).arg(m_items.size()));
    const bool blocked = Winsock1->blockSignals(true);
    Winsock1->abort();
    Winsock1->blockSignals(blocked);
    m_buffer.clear();
    m_waiting = true;
    tmrSequentialWait.start();
    Winsock1->connectToHost(m_itemPage.host, m_itemPage.port);
}

void SequentialPass::timeOut()
{
    finishItem(true);
}

void SequentialPass::finishItem(bool timedOut)
{
    if (!m_waiting)
        return;
    m_waiting = false;
    disableTimer(tmrSequentialWait);
    const bool blocked = Winsock1->blockSignals(true);
    Winsock1->abort();
    Winsock1->blockSignals(blocked);
    const QString item = m_items.value(m_index);
    const QByteArray page = std::exchange(m_buffer, {});
    // The page is applied and the next item started from the event loop, never inside the
    // socket's notification.
    const quint64 serial = m_serial;
    QMetaObject::invokeMethod(
        this,
        [this, serial, item, page, timedOut] {
            if (m_serial == serial)
                applyItem(item, page, timedOut);
        },
        Qt::QueuedConnection);
}

void SequentialPass::applyItem(const QString &item, const QByteArray &raw, bool timedOut)
{
    // The page reader counts its positions on the headers and the joined body.
    const QByteArray page = httpAnswerJoined(raw);
    if (!timedOut && !m_motors && isMotorsAnswer(page)) {
        // The same item once more, under the motors path.
        m_motors = true;
        startItem();
        return;
    }
    // Nothing of the item can be read from an answer that is missing, broken, the server's
    // failure, or a second pointer to the motors section: the row keeps what it showed.
    if (timedOut || !answerFault(raw, page).isEmpty() || isMotorsAnswer(page)) {
        const int row = m_model.findRow(item);
        if (row >= 0)
            m_model.setSubItem(row, WatchListModel::Price, QStringLiteral("Err."));
    } else {
        const quint64 serial = m_serial;
        const Result<PageApplier::Outcome> outcome
            = m_applier.apply(ParseItemPage(page), item, PageApplier::Variant::Sequential);
        if (m_serial != serial)
            return; // the pass was stopped while a window was open
        if (!outcome.ok()) {
            // Any error ends the pass at once, without a message.
            stop();
            Q_EMIT finished(false);
            return;
        }
    }
    ++m_index;
    m_motors = false;
    startItem();
}

} // namespace th
