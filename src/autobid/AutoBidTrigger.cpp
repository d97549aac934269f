#include "autobid/AutoBidTrigger.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QTimer>

#include "autobid/AutoBidLog.h"
#include "autobid/BidSequence.h"
#include "clock/AutoClockCheck.h"
#include "common/DateTimeMath.h"
#include "common/Formats.h"
#include "config/AppSettings.h"
#include "engine/UpdateEngine.h"
#include "platform/IClock.h"
#include "store/RegistryFunctions.h"
#include "store/RegistryStore.h"
#include "watchlist/WatchItems.h"
#include "watchlist/WatchStore.h"

namespace th {

namespace {

QString itemText(double itemNumber)
{
    return QString::number(qint64(itemNumber));
}

} // namespace

AutoBidTrigger::AutoBidTrigger(Context context, QObject *parent)
    : QObject(parent)
    , m_ctx(context)
{
}

void AutoBidTrigger::attachTimer(QTimer &timer)
{
    m_timer = &timer;
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, this, &AutoBidTrigger::onTick);
}

void AutoBidTrigger::startTicking()
{
    if (m_timer && !m_timer->isActive())
        m_timer->start(msecsToNextTick(m_ctx.clock.now()));
}

void AutoBidTrigger::onTick()
{
    tmrChkAutoBid_Timer();
    // Realigned at every tick, on the clock the check compares with; a timer switched off
    // meanwhile stays off.
    if (m_timer && m_timer->isActive())
        m_timer->start(msecsToNextTick(m_ctx.clock.now()));
}

int AutoBidTrigger::msecsToNextTick(const QDateTime &now)
{
    return kTickMsecs - now.time().msec() + kAfterSecondMsecs;
}

void AutoBidTrigger::tmrChkAutoBid_Timer()
{
    // A tick that outlasts a second would otherwise start the next one inside itself.
    if (m_ticking)
        return;
    m_ticking = true;
    const auto done = qScopeGuard([this] { m_ticking = false; });

    int active = 0;
    bool quieted = false;
    // Instants are compared, read once for the whole list: nothing else runs until an item
    // acts.
    qint64 now = m_ctx.clock.now().toMSecsSinceEpoch();
    for (int i = 1; i <= m_ctx.records.count(); ++i) {
        WatchItemRecord &record = m_ctx.records.at(i);
        const qint64 secondsLeft = secondBoundaries(now, record.recEndDate.instant());
        if (record.recMaxAutoBid > Money {} && secondsLeft > 0)
            ++active;
        // Outbid beyond the maximum, or nothing to buy: this item is done with.
        if (record.recMaxAutoBid < record.recCurrentPrice + record.recBidIncrement
            || record.recMaxQuantity < 1)
            continue;
        if (record.recAutoBidState == 0 && secondsLeft > 0 && secondsLeft <= record.recMaxTimeLeft) {
            record.recAutoBidState = 1;
            record.recAutoBidFiredAt = m_ctx.clock.now();
            const QString item = itemText(record.recItemNumber);
            qCInfo(lcAutoBid, "automatic bid for item %s fires with %lld seconds left", qPrintable(item),
                secondsLeft);
            Q_EMIT bidFired(item);
            StartRealBid(i);
            // The moment goes under the key of the item that fired, not the selected row's.
            SaveRegString(m_ctx.store, RegRoot::CurrentUser, itemKeyPath(item),
                QString::fromUtf16(ItemValue::AutoBidAt), dateTimeText(m_ctx.clock.now()).trimmed());
            restartPeriodicWork();
        } else if (secondsLeft > 0 && secondsLeft <= qint64(record.recMaxTimeLeft) + kQuietSeconds) {
            quietWindow();
            quieted = true;
        } else {
            continue;
        }
        // An item acted: the window and the network have their turn before the next item. Rows
        // may be removed or re-sorted meanwhile, so the records are read afresh, and so is now.
        QCoreApplication::processEvents();
        now = m_ctx.clock.now().toMSecsSinceEpoch();
    }
    // The last item's quiet window is over (its end has passed, or it went from the list):
    // the periodic work runs again, also when its bid window never reached the sign-in page
    // that would have started it.
    if (m_quietWindowOn && !quieted)
        restartPeriodicWork();
    m_quietWindowOn = quieted;
    Q_EMIT autoBidStatusChanged(
        active < 1 ? QStringLiteral("No Auto-Bid") : u"Auto-Bid (" + QString::number(active) + u')');
}

void AutoBidTrigger::quietWindow()
{
    if (m_ctx.settings.AutoAdjustTimeB4Bid != 0)
        m_ctx.clockCheck.RunAutoClockCheck();
    m_ctx.clockCheck.pause();
    m_ctx.engine.quietUpdates();
    Q_EMIT alertChecksQuieted();
}

bool AutoBidTrigger::StartRealBid(int index)
{
    if (!m_ctx.records.contains(index))
        return false;
    const WatchItemRecord record = m_ctx.records.at(index);
    const QString item = itemText(record.recItemNumber);
    if (m_ctx.settings.EBayID.isEmpty() && m_ctx.settings.EBayPWD.isEmpty()) {
        const QString reason = u"The bid for item " + item
            + u" could not be placed: no auction-site account is set (Settings, eBay's Account).";
        qCWarning(lcAutoBid, "%s", qPrintable(reason));
        Q_EMIT bidCouldNotStart(item, reason);
        return false;
    }
    BidSequence &sequence = m_ctx.sequence;
    // One browser window is driven at a time: a real bid still on its way is cut off by this one.
    if ((sequence.blnAutoBid || sequence.blnAutoBidStep2) && sequence.IE() && sequence.item != item) {
        const QString reason = u"The bid for item " + sequence.item
            + u" may not have been placed: the bid for item " + item
            + u" started before its pages were done. Check item " + sequence.item + u" on the site.";
        qCWarning(lcAutoBid, "%s", qPrintable(reason));
        Q_EMIT bidCouldNotStart(sequence.item, reason);
    }
    sequence.intBidQuantity = qint16(qBound<qint32>(0, record.recMaxQuantity, 32767));
    sequence.curBidAmount = record.recMaxAutoBid;
    if (!sequence.openItemPage(item)) {
        const QString reason
            = u"The bid for item " + item + u" could not be placed: the browser window could not be opened.";
        qCWarning(lcAutoBid, "%s", qPrintable(reason));
        Q_EMIT bidCouldNotStart(item, reason);
        ResumeUpdates();
        return false;
    }
    sequence.blnAutoBid = true;
    sequence.blnAutoBidStep2 = false;
    // The updates run while the pages load.
    ResumeUpdates();
    return true;
}

void AutoBidTrigger::ResumeUpdates()
{
    m_ctx.engine.ResumeUpdates();
}

void AutoBidTrigger::restartPeriodicWork()
{
    ResumeUpdates();
    Q_EMIT alertChecksResumed();
    m_ctx.clockCheck.restartCounting();
}

} // namespace th
